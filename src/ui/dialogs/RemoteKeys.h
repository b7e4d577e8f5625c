// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/dialogs/DialogTemplate.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

class DeviceSession;

// One learnable key of the remote-control picture (dialog 204): its click area, in dialog units of the
// picture (one unit is 1.5 pixels of the picture), the key index that StudyKey sends and that receives the
// learnt code in the record, and the prompt shown while it is learnt (UTF-8).
struct RemoteKey {
    int id;
    DialogRect area;
    int index;
    const char* promptEnglish;
    const char* promptChinese;
};

inline constexpr int kFirstKeyAreaId = 1587;
inline constexpr int kLastKeyAreaId = 1613;
// Pixels of the remote picture per dialog unit of a key area.
inline constexpr double kKeyAreaScale = 1.5;

inline constexpr std::array<RemoteKey, 15> kRemoteKeys = {{
    {1587, {12, 201, 20, 16}, 1, "you are studying key is Load Mode key 1", "您正在学习的键：载入模式一"},
    {1600, {43, 201, 20, 16}, 2, "you are studying key is Load Mode key 2", "您正在学习的键：载入模式二"},
    {1601, {75, 201, 20, 16}, 3, "you are studying key is Load Mode key 3", "您正在学习的键：载入模式三"},
    {1602, {106, 201, 20, 16}, 4, "you are studying key is Load Mode key 4", "您正在学习的键：载入模式四"},
    {1603, {97, 109, 20, 16}, 5, "you are studying key is add mic vol ", "您正在学习的键：增加话筒音量"},
    {1604, {26, 108, 20, 16}, 6, "you are studying key is subtract mic vol", "您正在学习的键：减少话筒音量"},
    {1605, {97, 154, 20, 16}, 7, "you are studying key is add music vol", "您正在学习的键：增加音乐音量"},
    {1606,
     {26, 154, 20, 16},
     8,
     "you are studying key is subtract music vol",
     "您正在学习的键：减少音乐音量"},
    {1607, {62, 132, 20, 16}, 9, "you are studying key is mute vol", "您正在学习的键：静音"},
    {1608, {99, 50, 20, 14}, 10, "you are studying key is rising tone ", "您正在学习的键：升调"},
    {1609, {63, 50, 20, 14}, 11, "you are studying key is reset tone", "您正在学习的键：原调"},
    {1610, {26, 50, 20, 14}, 12, "you are studying key is falling tone", "您正在学习的键：降调"},
    {1611,
     {24, 28, 23, 14},
     13,
     "you are studying key is alert music source ",
     "您正在学习的键：切换音乐输入源"},
    {1612, {99, 72, 20, 14}, 14, "you are studying key is add effect vol", "您正在学习的键：增加效果音量"},
    {1613,
     {26, 72, 20, 14},
     15,
     "you are studying key is subtract effect vol",
     "您正在学习的键：减少效果音量"},
}};

// The key whose area has this control ID, or nullptr.
const RemoteKey* FindRemoteKey(int controlId);

// Whether the pointer over this control is the hand.
bool IsKeyAreaId(int controlId);

// The key's area in pixels of the remote picture, rounded to the nearest pixel.
DialogRect KeyAreaPixels(const RemoteKey& key);

// The prompt in the language: 0 Chinese, anything else English.
std::string KeyPrompt(const RemoteKey& key, int language);
// The key's name as a screen reader says it: the prompt without its lead-in ("Load Mode key 1").
std::string KeyName(const RemoteKey& key, int language);

// A learnt key code as shown: two upper-case hexadecimal digits.
std::string KeyCodeText(std::uint8_t code);

// Apply in the remote-learning dialog: sends the session's remote-control record. Returns the notice: saved
// when the report went out to the device; otherwise that the device must be connected first, that it is in
// upgrade mode (nothing sent) or that it did not receive the record.
FeatureNotice ApplyRemoteKeys(DeviceSession& session, int language);

// A click on a key: asks the device to learn it. An empty text when the device was asked (wait for its code
// now), otherwise the notice that says why not, for the same reasons as ApplyRemoteKeys.
FeatureNotice StartStudying(DeviceSession& session, const RemoteKey& key, int language);

}  // namespace varnoth
