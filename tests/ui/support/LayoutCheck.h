// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace varnoth::test {

// What does not fit in a dialog built from a template, each as one readable line:
// - a control's text (label, button, box, list entry, group caption) wider or taller than the control,
//   measured with the font metrics of the font the control draws with;
// - two visible controls that overlap, unless one is a group box that holds the other whole;
// - a control that sticks out of the dialog.
std::vector<std::string> LayoutProblems(const QWidget& dialog);

}  // namespace varnoth::test
