// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace varnoth {
class MainWindow;
}

// What a screen reader says of the main window's controls, in the window's language and for the path its
// view shows: each slider's name is its parameter's title ("Mic gain", "Effect 2 HPF"); the buttons a
// picture alone tells apart get names ("Load mode 1", "Save mode 1"); the lists, boxes, graphs, meters,
// frames and groups are named; tooltips, and with them the accessible descriptions, are in the language too.
namespace varnoth::mainwin {

// Names every control anew: after a change of language, of view or of EQ page.
void NameControls(MainWindow& window);
// The compressor curve's text: its state, threshold and ratio as the sliders show them.
void DescribeCompressor(MainWindow& window);

}  // namespace varnoth::mainwin
