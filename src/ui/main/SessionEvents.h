// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

#include "session/SessionObserver.h"

namespace varnoth {

// Carries the device session's notifications from its worker and reader threads to the thread this object
// lives on (the user-interface thread), where they come out as signals. Posted notifications (read-all
// done, upgrade done, answering, volumes followed, store changed) are queued and their sender goes on at
// once; sent ones (write-all done, key studied) are queued too, but their sender waits until the signal has
// been handled.
//
// A sender never waits while the user-interface thread itself may be waiting for that sender: hold a
// Release while disconnecting (the reader is stopped then) and call Shutdown before the session is
// destroyed (its workers are joined then). The notification still arrives; only the wait is given up.
class SessionEvents : public QObject, public SessionObserver {
    Q_OBJECT

  public:
    explicit SessionEvents(QObject* parent = nullptr);
    ~SessionEvents() override;

    void OnKeyStudied(std::uint8_t keyCode) override;
    void OnSyncDone(int direction) override;
    void OnUpgradeDone() override;
    void OnAnswering(bool answering) override;
    void OnVolumesFollowed() override;
    // The store changed: the window's wake as a subscriber of the store's change feed.
    void OnStoreChanged();

    // While one exists, senders do not wait for their notification to be handled.
    class Release {
      public:
        explicit Release(SessionEvents& events);
        ~Release();
        Release(const Release&) = delete;
        Release& operator=(const Release&) = delete;

      private:
        SessionEvents& m_events;
    };

    // From now on notifications are dropped and no sender waits.
    void Shutdown();
    bool IsShutDown() const;

  signals:
    void keyStudied(int keyCode);
    void syncDone(int direction);
    void upgradeDone();
    void answeringChanged(bool answering);
    void volumesFollowed();
    // The store changed; the receiver takes the changes (its ChangeFeed subscription).
    void storeChanged();

  private:
    void Post(std::function<void()> emitter);
    void Send(std::function<void()> emitter);
    void SetReleased(int change);

    mutable std::mutex m_mutex;
    std::condition_variable m_handled;
    int m_releases = 0;       // guarded by m_mutex
    bool m_shutDown = false;  // guarded by m_mutex
};

}  // namespace varnoth
