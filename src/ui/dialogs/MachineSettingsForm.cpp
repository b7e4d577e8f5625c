// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialogs/MachineSettingsForm.h"

#include <array>

#include "session/DeviceSession.h"
#include "session/MachineSettings.h"
#include "ui/dialogs/DeviceCommandGate.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

namespace {

using Row = MachineSettingsForm::SliderRow;
using Box = MachineSettingsForm::LockBox;
using F = MachineField;
constexpr int kNoLive = MachineSettingsForm::kNoLiveVolume;

constexpr std::array kRows = {
    Row{1090, 2018, 2000, 1098, F::PowerMicVol, pos::MicVol},
    Row{1091, 2019, 2001, 1099, F::PowerMusicVol, pos::MusicVol},
    Row{1092, 2020, 2002, 0, F::MaxMicVol, kNoLive},
    Row{1093, 2021, 2003, 0, F::MaxMusicVol, kNoLive},
    Row{1094, 2022, 2004, 0, F::MaxCenterVol, kNoLive},
    Row{1095, 2023, 2005, 0, F::MaxSubVol, kNoLive},
};

constexpr std::array kLockBoxes = {
    Box{1084, F::Lock_MicVol},    Box{1085, F::Lock_MusicVol}, Box{1086, F::Lock_MicMenu},
    Box{1087, F::Lock_MusicMenu}, Box{1088, F::Lock_LoadMode}, Box{1089, F::Lock_SaveMode},
};

constexpr std::array kTooltips = {
    MachineSettingsForm::Tooltip{1090,
                                 {"当话筒开机音量设置为开时，机器通电后话筒音量为设置的值",
                                  "When the mic power-on volume is on, the mic volume starts at this value "
                                  "when the amplifier is switched on"}},
    MachineSettingsForm::Tooltip{1091,
                                 {"当音乐开机音量设置为开时，机器通电后音乐音量为设置的值",
                                  "When the music power-on volume is on, the music volume starts at this "
                                  "value when the amplifier is switched on"}},
    MachineSettingsForm::Tooltip{1092,
                                 {"限制能够调节的最大话筒音量", "The highest mic volume that can be set"}},
    MachineSettingsForm::Tooltip{1093,
                                 {"限制能够调节的最大音乐音量", "The highest music volume that can be set"}},
    MachineSettingsForm::Tooltip{1094,
                                 {"限制能够调节的最大中置音量", "The highest center volume that can be set"}},
    MachineSettingsForm::Tooltip{
        1095, {"限制能够调节的最大超低音量", "The highest subwoofer volume that can be set"}},
    MachineSettingsForm::Tooltip{MachineSettingsForm::kLockOnId, {"启用锁定功能", "Turns the locks on"}},
    MachineSettingsForm::Tooltip{
        1084, {"锁定后，话筒音量将无法调节", "Once locked, the mic volume cannot be changed"}},
    MachineSettingsForm::Tooltip{
        1085, {"锁定后，音乐音量将无法调节", "Once locked, the music volume cannot be changed"}},
    MachineSettingsForm::Tooltip{
        1086, {"锁定后，将无法进入话筒菜单", "Once locked, the mic menu cannot be entered"}},
    MachineSettingsForm::Tooltip{
        1087, {"锁定后，将无法进入音乐菜单", "Once locked, the music menu cannot be entered"}},
    MachineSettingsForm::Tooltip{1088,
                                 {"锁定后，在机器上无法载入四种模式",
                                  "Once locked, the four modes cannot be loaded on the amplifier"}},
    MachineSettingsForm::Tooltip{
        1089,
        {"锁定后，在机器上无法保存四种模式", "Once locked, the four modes cannot be saved on the amplifier"}},
    MachineSettingsForm::Tooltip{
        MachineSettingsForm::kApplyId,
        {"必须保存以上的设置才能生效", "The settings above take effect only once applied"}},
};

}  // namespace

std::span<const MachineSettingsForm::SliderRow> MachineSettingsForm::SliderRows() {
    return kRows;
}

std::span<const MachineSettingsForm::LockBox> MachineSettingsForm::LockBoxes() {
    return kLockBoxes;
}

std::span<const MachineSettingsForm::Tooltip> MachineSettingsForm::Tooltips() {
    return kTooltips;
}

MachineSettingsForm::MachineSettingsForm(DeviceSession& session) : m_session(session) {}

MachineSettingsForm::RowView MachineSettingsForm::ViewOf(const SliderRow& row, std::uint8_t value,
                                                         int language) {
    const bool off = row.onBoxId != 0 && value == kPowerOff;
    return RowView{!off, value, off ? FeatureTextOf(FeatureText::Invalid, language) : std::to_string(value)};
}

MachineSettingsForm::RowView MachineSettingsForm::SavedRow(const SliderRow& row, int language) const {
    return ViewOf(row, m_session.GetMachineSet().Saved(row.field), language);
}

bool MachineSettingsForm::SavedLockOn() const {
    return m_session.GetMachineSet().Saved(MachineField::EnableLockFunc) != 0;
}

bool MachineSettingsForm::SavedLock(const LockBox& box) const {
    return m_session.GetMachineSet().Saved(box.lock) != 0;
}

bool MachineSettingsForm::SavedVolByMode() const {
    return m_session.GetMachineSet().Saved(MachineField::VolMode) != 0;
}

MachineSettingsForm::RowView MachineSettingsForm::SliderMoved(const SliderRow& row, int position,
                                                              int language) {
    const auto value = static_cast<std::uint8_t>(position);
    m_session.GetMachineSet().Set(row.field, value);
    if (row.livePosition != kNoLiveVolume) {
        m_session.Store().SetValue(static_cast<std::size_t>(row.livePosition), value);
    }
    return ViewOf(row, value, language);
}

MachineSettingsForm::RowView MachineSettingsForm::OnBoxToggled(const SliderRow& row, bool on, int language) {
    if (row.livePosition == kNoLiveVolume) {
        return SavedRow(row, language);
    }
    const std::uint8_t value =
        on ? m_session.Store().Value(static_cast<std::size_t>(row.livePosition)) : kPowerOff;
    m_session.GetMachineSet().Set(row.field, value);
    RowView view = ViewOf(row, value, language);
    if (!on) {
        // Switching the power-on volume off leaves the slider where it was.
        view.position.reset();
    }
    return view;
}

void MachineSettingsForm::LockOnToggled(bool on) {
    m_session.GetMachineSet().Set(MachineField::EnableLockFunc, on ? 1 : 0);
}

void MachineSettingsForm::LockBoxToggled(const LockBox& box, bool locked) {
    m_session.GetMachineSet().Set(box.lock, locked ? 1 : 0);
}

void MachineSettingsForm::VolModeChosen(bool byMode) {
    m_session.GetMachineSet().Set(MachineField::VolMode, byMode ? 1 : 0);
}

FeatureNotice MachineSettingsForm::Apply(int language) {
    if (const std::optional<FeatureText> obstacle = DeviceCommandGate::Obstacle(m_session)) {
        return FeatureNoticeOf(*obstacle, language);
    }
    const int sent = m_session.GetMachineSet().ApplyMachineSet();
    return FeatureNoticeOf(DeviceCommandGate::Outcome(sent, FeatureText::SettingSaved), language);
}

}  // namespace varnoth
