// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "session/MachineFieldTable.h"
#include "session/ParameterTable.h"
#include "ui/dialogs/FeatureTexts.h"

namespace varnoth {

class ParameterStore;
class DeviceSession;

// The machine settings dialog (template 180) without its window: which control edits which field of the
// working copy, what a row shows of the saved copy, and what APPLY tells the user. The dialog only moves
// values between its controls and this form.
class MachineSettingsForm {
  public:
    static constexpr int kTemplateNumber = 180;
    static constexpr int kMachineGroupId = 1155;
    static constexpr int kVolModeGroupId = 1156;
    static constexpr int kLockOnId = 1083;
    static constexpr int kVolByModeId = 1100;
    static constexpr int kVolByRandomId = 1101;
    static constexpr int kApplyId = 1097;
    static constexpr int kSliderMax = 36;
    static constexpr int kTickInterval = 2;
    static constexpr std::uint8_t kPowerOff = 0xFF;
    static constexpr int kNoticeMs = 1200;

    // One slider row: title, slider, value label, and for the two power-on rows the ON box and the store's
    // volume that the slider plays live.
    static constexpr int kNoLiveVolume = -1;
    struct SliderRow {
        int titleId;
        int sliderId;
        int valueId;
        int onBoxId;  // 0 on the maximum rows
        MachineField field;
        int livePosition;  // the master volume's store position; kNoLiveVolume on the maximum rows
    };
    // One lock box and the lock bit it owns.
    struct LockBox {
        int id;
        MachineField lock;
    };
    struct Tooltip {
        int id;
        Bilingual text;
    };

    static std::span<const SliderRow> SliderRows();
    static std::span<const LockBox> LockBoxes();
    static std::span<const Tooltip> Tooltips();

    // What a row shows: ON box checked and slider enabled (always on a maximum row), the slider position
    // (none: the slider stays where it is) and the value label.
    struct RowView {
        bool on = true;
        std::optional<int> position;
        std::string valueText;
    };

    explicit MachineSettingsForm(DeviceSession& session);

    // The saved copy, as the dialog shows it when it opens. language: 0 Chinese, anything else English.
    RowView SavedRow(const SliderRow& row, int language) const;
    bool SavedLockOn() const;
    bool SavedLock(const LockBox& box) const;
    bool SavedVolByMode() const;

    // Edits of the working copy. A power-on slider also sets the store's live volume, so that the user
    // hears the level; a maximum slider sends nothing.
    RowView SliderMoved(const SliderRow& row, int position, int language);
    // Checking an ON box takes the store's current volume; clearing it switches the power-on volume off.
    RowView OnBoxToggled(const SliderRow& row, bool on, int language);
    void LockOnToggled(bool on);
    void LockBoxToggled(const LockBox& box, bool locked);
    void VolModeChosen(bool byMode);

    // Sends the working copy. Returns the notice: saved when the report went out to the device; otherwise
    // that the device must be connected first, that it is in upgrade mode (nothing sent) or that it did not
    // receive the settings. Only settings that went out become the saved copy.
    // Callable on the link thread.
    FeatureNotice Apply(int language);

    DeviceSession& Session() const { return m_session; }

  private:
    static RowView ViewOf(const SliderRow& row, std::uint8_t value, int language);

    DeviceSession& m_session;
};

}  // namespace varnoth
