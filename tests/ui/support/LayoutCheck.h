// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <string>
#include <vector>

namespace varnoth::test {

// What does not fit in a dialog built from a template, each as one readable line, for every control however
// deep in group boxes it lies:
// - a control's text (label, button, box, list entry, group caption) wider or taller than the control,
//   measured with the font metrics of the font the control draws with;
// - two visible controls that overlap, unless one is a group box that holds the other whole;
// - a text (a label's, a check box's or radio button's with its box) closer than a gap to the text or frame
//   of a control beside it;
// - a control inside a group box that its title runs into or the line along its top crosses;
// - a control that sticks out of the dialog or of the group it lies in.
std::vector<std::string> LayoutProblems(const QWidget& dialog);

// Problems as an indented list, one a line, for a test's failure message.
std::string Lines(const std::vector<std::string>& problems);

}  // namespace varnoth::test
