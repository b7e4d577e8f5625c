#include "features/MachineSetForm.h"

#include <array>

#include "device/Transport.h"
#include "features/CMachineSet.h"
#include "features/FeatureTexts.h"
#include "model/CVQ421Dll.h"

namespace varnoth {

namespace {

constexpr std::array kRows = {
    MachineSetForm::SliderRow{1090, 2018, 2000, 1098, 1, &CMachineSet::SetPowerMicVol, &CK750Dll::SetMicVol,
                              &CK750Dll::GetMicVol},
    MachineSetForm::SliderRow{1091, 2019, 2001, 1099, 2, &CMachineSet::SetPowerMusicVol,
                              &CK750Dll::SetMusicVol, &CK750Dll::GetMusicVol},
    MachineSetForm::SliderRow{1092, 2020, 2002, 0, 3, &CMachineSet::SetMaxMicVol, nullptr, nullptr},
    MachineSetForm::SliderRow{1093, 2021, 2003, 0, 4, &CMachineSet::SetMaxMusicVol, nullptr, nullptr},
    MachineSetForm::SliderRow{1094, 2022, 2004, 0, 5, &CMachineSet::SetMaxCenterVol, nullptr, nullptr},
    MachineSetForm::SliderRow{1095, 2023, 2005, 0, 6, &CMachineSet::SetMaxSubVol, nullptr, nullptr},
};

constexpr std::array kLockBoxes = {
    MachineSetForm::LockBox{1084, &CMachineSet::Lock_MicVol, &CMachineSet::Get_Lock_MicVol},
    MachineSetForm::LockBox{1085, &CMachineSet::Lock_MusicVol, &CMachineSet::Get_Lock_MusicVol},
    MachineSetForm::LockBox{1086, &CMachineSet::Lock_MicMenu, &CMachineSet::Get_Lock_MicMenu},
    MachineSetForm::LockBox{1087, &CMachineSet::Lock_MusicMenu, &CMachineSet::Get_Lock_MusicMenu},
    MachineSetForm::LockBox{1088, &CMachineSet::Lock_LoadMode, &CMachineSet::Get_Lock_LoadMode},
    MachineSetForm::LockBox{1089, &CMachineSet::Lock_SaveMode, &CMachineSet::Get_Lock_SaveMode},
};

constexpr std::array kTooltips = {
    MachineSetForm::Tooltip{1090, "当话筒开机音量设置为开时，机器通电后话筒音量为设置的值"},
    MachineSetForm::Tooltip{1091, "当音乐开机音量设置为开时，机器通电后音乐音量为设置的值"},
    MachineSetForm::Tooltip{1092, "限制能够调节的最大话筒音量"},
    MachineSetForm::Tooltip{1093, "限制能够调节的最大音乐音量"},
    MachineSetForm::Tooltip{1094, "限制能够调节的最大中置音量"},
    MachineSetForm::Tooltip{1095, "限制能够调节的最大超低音量"},
    MachineSetForm::Tooltip{MachineSetForm::kLockOnId, "启用锁定功能"},
    MachineSetForm::Tooltip{1084, "锁定后，话筒音量将无法调节"},
    MachineSetForm::Tooltip{1085, "锁定后，音乐音量将无法调节"},
    MachineSetForm::Tooltip{1086, "锁定后，将无法进入话筒菜单"},
    MachineSetForm::Tooltip{1087, "锁定后，将无法进入音乐菜单"},
    MachineSetForm::Tooltip{1088, "锁定后，在机器上无法载入四种模式"},
    MachineSetForm::Tooltip{1089, "锁定后，在机器上无法保存四种模式"},
    MachineSetForm::Tooltip{MachineSetForm::kApplyId, "必须保存以上的设置才能生效"},
};

}  // namespace

std::span<const MachineSetForm::SliderRow> MachineSetForm::SliderRows() {
    return kRows;
}

std::span<const MachineSetForm::LockBox> MachineSetForm::LockBoxes() {
    return kLockBoxes;
}

std::span<const MachineSetForm::Tooltip> MachineSetForm::Tooltips() {
    return kTooltips;
}

MachineSetForm::MachineSetForm(CVQ421Dll& session) : m_session(session) {}

MachineSetForm::RowView MachineSetForm::ViewOf(const SliderRow& row, std::uint8_t value, int language) {
    const bool off = row.onBoxId != 0 && value == kPowerOff;
    return RowView{!off, value, off ? FeatureTextOf(FeatureText::Invalid, language) : std::to_string(value)};
}

MachineSetForm::RowView MachineSetForm::SavedRow(const SliderRow& row, int language) const {
    return ViewOf(row, m_session.GetMachineSet().GetSavedRecord()[row.field], language);
}

bool MachineSetForm::SavedLockOn() const {
    return m_session.GetMachineSet().Get_EnableLockFunc() != 0;
}

bool MachineSetForm::SavedLock(const LockBox& box) const {
    return (m_session.GetMachineSet().*box.saved)() != 0;
}

bool MachineSetForm::SavedVolByMode() const {
    return m_session.GetMachineSet().GetVolMode() != 0;
}

MachineSetForm::RowView MachineSetForm::SliderMoved(const SliderRow& row, int position, int language) {
    const auto value = static_cast<std::uint8_t>(position);
    (m_session.GetMachineSet().*row.set)(value);
    if (row.setLive != nullptr) {
        (m_session.*row.setLive)(value);
    }
    return ViewOf(row, value, language);
}

MachineSetForm::RowView MachineSetForm::OnBoxToggled(const SliderRow& row, bool on, int language) {
    if (row.getLive == nullptr) {
        return SavedRow(row, language);
    }
    const std::uint8_t value = on ? (m_session.*row.getLive)() : kPowerOff;
    (m_session.GetMachineSet().*row.set)(value);
    RowView view = ViewOf(row, value, language);
    if (!on) {
        // Switching the power-on volume off leaves the slider where it was.
        view.position.reset();
    }
    return view;
}

void MachineSetForm::LockOnToggled(bool on) {
    m_session.GetMachineSet().EnableLockFunc(on ? 1 : 0);
}

void MachineSetForm::LockBoxToggled(const LockBox& box, bool locked) {
    (m_session.GetMachineSet().*box.lock)(locked ? 1 : 0);
}

void MachineSetForm::VolModeChosen(bool byMode) {
    m_session.GetMachineSet().SetVolMode(byMode ? 1 : 0);
}

std::string MachineSetForm::Apply(int language) {
    if (m_session.IsConnected() == 0) {
        return FeatureTextOf(FeatureText::NotConnected, language);
    }
    const bool sent = m_session.GetMachineSet().ApplyMachineSet() == static_cast<int>(kReportSize);
    return FeatureTextOf(sent ? FeatureText::SettingSaved : FeatureText::NotConnected, language);
}

}  // namespace varnoth
