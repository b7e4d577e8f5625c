// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

class QDialog;
class QWidget;

namespace varnoth {
class MainWindow;
}

// The window's groups: each control lives inside the frame drawn around it, so that a screen reader meets
// it within its group ("Effect 2", then its "HPF") and a frame's area is the frame's own widget. The two
// effects share one frame and the compressor shares the channel's: each is a group of its own inside it,
// drawn nowhere.
namespace varnoth::mainwin {

// The groups the template gives no ID of its own.
inline constexpr int kAutoSubGroup = 3001;
inline constexpr int kSubwooferGroup = 3002;
inline constexpr int kCompressorGroup = 3003;
inline constexpr int kEffect1Group = 3004;
inline constexpr int kEffect2Group = 3005;
// The frame of the master volumes.
inline constexpr int kVolumeGroup = 1153;

// Puts every control of a window built from the main window's template into the innermost group around
// its centre, keeping its place on screen, and gives the groups their IDs. Called once, after building.
void NestInGroups(QDialog& window);

// The IDs of the groups made or named by NestInGroups, for the window's table of controls.
std::span<const int> GroupIds();

// A group's name in the window's language as it stands within a sentence ("effect 1"): the channel's names
// the path the view shows, the graphic EQ's the page it shows.
std::string GroupName(const MainWindow& window, int groupId);

// Moves a widget into another, keeping whether it is shown; its geometry is the caller's.
void MoveInto(QWidget& widget, QWidget& parent);

}  // namespace varnoth::mainwin
