#pragma once

#include <string>

namespace varnoth {

// The messages of the feature dialogs. Texts that exist only in Chinese are shown in both languages.
enum class FeatureText {
    NotConnected,          // a command found no device: the settings did not reach it
    ConnectFirst,          // Reset Machine without a device
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
    ChooseImageTitle,      // the file dialog of the manual upgrade
    ImageFilter,           //
    UpgradeNeedsMode,      // the amplifier is not in upgrade mode: nothing sent, and how to enter it
    UpgradeDoNotClose,     // closing while the flash is being written
};

// The text in the language: 0 Chinese, anything else English. UTF-8.
std::string FeatureTextOf(FeatureText text, int language);

}  // namespace varnoth
