// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "session/FirmwareUpgrade.h"

namespace varnoth {

// The messages of the feature dialogs, each in both languages.
enum class FeatureText {
    NotConnected,          // a command found no device: nothing was sent
    ConnectFirst,          // Reset Machine without a device
    InUpgradeMode,         // the amplifier waits for firmware and ignores everything else: nothing was sent
    NotReceived,           // connected, but the command did not go out to the amplifier
    Invalid,               // a power-on volume that is off
    SettingSaved,          // APPLY reached the device
    RemoteSaved,           // the remote-control record reached the device
    StudyClosing,          // the key-studying dialog closes by itself
    ResetMachineCaption,   // the question before a machine reset
    ResetMachineQuestion,  //
    UpgradeCaption,        // the question before an upgrade
    UpgradeQuestion,       //
    UpgradeDone,           // the image was sent
    UpgradeNoImage,        // no image to send
    UpgradeRefused,        // the image file cannot be sent to the device
    UpgradeFailed,         // the transfer ended without sending the whole image
    UpgradeDeviceGone,     // the device went away before the image was sent
    UpgradeBusy,           // an upgrade is already running
    UnknownVersion,        // the device's firmware date was never read
    SyncTitle,             // the synchronisation progress dialog
    SyncRunning,           //
    SyncGaveUp,            // it waited in vain for the synchronisation to finish
    ChooseImageTitle,      // the file dialog of the manual upgrade
    ImageFilter,           //
    UpgradeDoNotClose,     // closing while the flash is being written
    StatusInUpgradeMode,   // the upgrade dialog's status light, as a screen reader says it
    StatusNotInUpgradeMode,
    SignalFlow,       // the about box's diagram, as a screen reader says it
    KeyCodeField,     // the key-studying dialog's code field, as a screen reader says it
    FirmwareVersion,  // the about box: the amplifier's firmware date follows
    ModelName,        // the about box: the amplifier's model name follows
};

// The text in the language: 0 Chinese, anything else English. UTF-8.
std::string FeatureTextOf(FeatureText text, int language);

// The period of a notice that stays until the user closes it.
inline constexpr int kNoticeUntilClosed = -1;

// A notice: its text, and whether the text asks the user to do something (restart the amplifier, connect
// it, try again). Such a notice stays until the user closes it; another closes by itself.
struct FeatureNotice {
    std::string text;
    bool asksToAct = false;

    // How long it shows: `passingMs`, or until closed.
    int PeriodMs(int passingMs) const { return asksToAct ? kNoticeUntilClosed : passingMs; }
};

// The notice of a text, in the language.
FeatureNotice FeatureNoticeOf(FeatureText text, int language);

// Why a firmware transfer or an image file was refused or did not complete, in the language, naming the
// file when there is one. Empty for a result without a fault.
std::string UpgradeDetailOf(const UpgradeResult& result, int language);

}  // namespace varnoth
