// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

class QDialog;

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

// Gives the template's frames without an ID theirs and makes the groups inside a frame, taking their
// controls into them. Called once, after building.
void MakeGroups(QDialog& window);

// The IDs of the groups made or named by NestInGroups, for the window's table of controls.
std::span<const int> GroupIds();

// A group's name in the window's language as it stands within a sentence ("effect 1"): the channel's names
// the path the view shows, the graphic EQ's the page it shows.
std::string GroupName(const MainWindow& window, int groupId);

}  // namespace varnoth::mainwin
