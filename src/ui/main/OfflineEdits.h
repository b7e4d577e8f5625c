// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <string>

#include "session/EditHistory.h"

class QAction;

namespace varnoth {

class DeviceSession;
class MainWindow;
class WindowUndo;

// Edits made while no amplifier is connected. The panel takes them as usual (a set can be prepared and saved
// to a file); the first of them says the panel is offline, and the status then names how many parameters
// differ from what the amplifier held. Nothing made offline is dropped silently: when the same amplifier has
// been read again, the user chooses between sending the offline changes and taking the amplifier's settings
// (naming how many parameters differ); another amplifier, or the first one of the run, leaves the set
// prepared offline to be loaded from the background menu as a file would be. The undo steps made offline
// stay when their changes are sent and go with them otherwise.
class OfflineEdits : public QObject {
    Q_OBJECT

  public:
    OfflineEdits(MainWindow& window, DeviceSession& session, WindowUndo& undo);

    // The amplifier has gone (or never came): what the panel holds now is what it held.
    void Disconnected();
    // An amplifier is about to be read: what the panel holds now is the set prepared offline.
    void Connecting();
    // The parameters the panel holds that differ from what the amplifier held when it went.
    int Changed() const;
    // The status while offline, with the count of changed parameters once there are any.
    QString StatusText() const;
    // What the status means, for its tooltip; empty without changes.
    QString StatusTip() const;
    // Loads the set prepared offline as one whole-set step, written with the write-all.
    void LoadKept();
    QAction* LoadKeptAction() const { return m_loadKept; }
    bool HasKept() const { return !m_kept.empty(); }
    // The entry that loads the kept set: shown while there is one, naming how many parameters it changes.
    void UpdateAction();

    // While an amplifier is read after offline edits, and while the question about them is open, the window
    // keeps showing the set prepared offline, so the edits do not look lost before the user has answered.
    bool ShowsPrepared() const { return m_showsPrepared; }

    // The store changed: while offline the status counts the changes, and the first one tells the user.
    void StoreChanged();

  private:
    void OnSynchronised(int direction);
    std::string Amplifier() const;
    // The window shows the store again.
    void EndShowingPrepared();

    MainWindow& m_window;
    DeviceSession& m_session;
    WindowUndo& m_undo;
    QAction* m_loadKept;
    bool m_offline = true;
    bool m_told = false;
    bool m_showsPrepared = false;
    // What the amplifier held when it went (the store as it stood before the first connection).
    WorkingSet m_reference;
    // What the panel held when an amplifier came, while it differs from the reference.
    WorkingSet m_prepared;
    // A set prepared offline that another amplifier did not take, to be loaded by the user.
    WorkingSet m_kept;
    // The amplifier last synchronised with, and the one that was there when the panel went offline.
    std::string m_amplifier;
    std::string m_leftAmplifier;
};

}  // namespace varnoth
