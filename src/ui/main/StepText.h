// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "session/EditHistory.h"
#include "ui/main/MainWindowTexts.h"

// How the undo and redo commands name a step (UTF-8).
namespace varnoth::mainwin {

inline constexpr Bilingual kUndoText{"撤销", "Undo"};
inline constexpr Bilingual kRedoText{"重做", "Redo"};

// What a step that changed several parameters did; the name or number follows.
inline constexpr Bilingual kFlatAction{"重置", "flat "};
inline constexpr Bilingual kBandAction{" 频段", " band "};
inline constexpr Bilingual kAllBandsAction{" 全部频段", " all bands"};
inline constexpr Bilingual kCopyEqAction{"复制均衡到 ", "copy graphic EQ to "};
inline constexpr Bilingual kDefaultMicEqAction{"出厂话筒均衡", "default mic EQ"};
inline constexpr Bilingual kLoadModeAction{"载入模式M", "load M"};
inline constexpr Bilingual kLoadFileAction{"载入文件 ", "load file "};
// After the text of a step the amplifier has overtaken since: undoing or redoing it writes nothing.
inline constexpr Bilingual kOvertakenNote{"（设备上已改变，不再发送）",
                                          " (changed on the amplifier since: nothing to send)"};

// The parameter as the user knows it: "mic gain", "effect 2 delay", "music EQ band 3".
std::string ParameterTitle(const ParameterRef& ref, int language);
// The same by the parameter table's name (NAME or NAME.N); the name itself when there is no such parameter.
std::string ParameterTitle(std::string_view name, int language);

// "mic gain 64 → 80" for a step that changed one parameter, its action otherwise; a step the amplifier has
// overtaken says so.
std::string StepText(const EditStep& step, int language);

// "Undo: mic gain 64 → 80", or the command alone when there is no step.
std::string UndoCommandText(const EditStep* step, bool undo, int language);

}  // namespace varnoth::mainwin
