// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "ui/dialogs/FeatureTexts.h"

class QWidget;

namespace varnoth {

class DeviceSession;
class FeatureHost;

// The rarely used device functions, given from the reset dialog and from the main window's menu: reset
// one of the four memory modes or the whole machine, learn a remote control. A reset asks where it must,
// checks the connection and hands over to the session; it is followed by reading everything back under the
// progress dialog, over the window that gave it.
class DeviceFunctions {
  public:
    static constexpr int kModeCount = 4;
    static constexpr int kNoticeMs = 1200;

    DeviceFunctions(DeviceSession& session, FeatureHost& host);

    // Memory mode 0..3 to its factory settings. Nothing is sent to an amplifier that waits for firmware;
    // without one it does nothing, as the memory-mode buttons.
    void ResetMode(int mode, QWidget& over);
    // The machine's settings, parameters and records to the factory's, once the user has agreed.
    void ResetMachine(QWidget& over);
    // The remote-learning dialog, modal over `over`.
    void LearnRemote(QWidget& over);

  private:
    static constexpr int kEveryMode = -1;
    // Sends a reset on the link thread; once it went out everything is read back under the progress dialog,
    // otherwise the user is told why not (`withoutDevice` when no device is connected). `mode` is the memory
    // mode the reset changes, or kEveryMode.
    void SendAndReadBack(std::function<bool()> reset, FeatureText withoutDevice, int mode, QWidget& over);

    DeviceSession& m_session;
    FeatureHost& m_host;
};

}  // namespace varnoth
