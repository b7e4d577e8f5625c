// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "session/StoreChanges.h"

namespace varnoth {

// The store's change marks, read by any number of subscribers (the window, the remote control's server,
// serve), each at its own pace. Every mark notes when its position last changed; a subscriber's cursor says
// how far it has taken, so Take gives the positions changed since its last Take, each once however often
// it changed: one that falls behind loses nothing.
//
// Threads: any thread marks, each subscriber takes on its own. A subscriber's wake is called on the thread
// that made the first change after its last Take, once per batch, under the feed's lock: it must only post
// (a queued call onto the subscriber's thread), never call the feed. After Unsubscribe no wake of that
// subscriber runs any more.
class ChangeFeed {
  public:
    using SubscriberId = std::uint64_t;

    // A subscription for the lifetime of its holder: subscribes at construction, unsubscribes at destruction.
    class Subscription {
      public:
        Subscription(ChangeFeed& feed, std::function<void()> wake);
        ~Subscription();
        Subscription(const Subscription&) = delete;
        Subscription& operator=(const Subscription&) = delete;

        ChangeSet Take() { return m_feed.Take(m_id); }

      private:
        ChangeFeed& m_feed;
        SubscriberId m_id;
    };

    ChangeFeed() = default;
    ChangeFeed(const ChangeFeed&) = delete;
    ChangeFeed& operator=(const ChangeFeed&) = delete;

    // A new subscriber's cursor stands at now: it takes the changes made from now on.
    SubscriberId Subscribe(std::function<void()> wake);
    void Unsubscribe(SubscriberId id);
    // The bits changed since the subscriber's last Take (none for an unknown subscriber); the next change
    // wakes it again.
    ChangeSet Take(SubscriberId id);
    // A change of a position or of one of the session's own settings (a bit below kChangeBits).
    void Mark(std::size_t bit);

  private:
    struct Subscriber {
        SubscriberId id;
        std::function<void()> wake;
        std::uint64_t cursor;
        bool woken;
    };

    std::mutex m_mutex;  // guards everything below
    std::uint64_t m_marks = 0;
    std::array<std::uint64_t, kChangeBits> m_markedAt{};
    std::vector<Subscriber> m_subscribers;
    SubscriberId m_nextId = 1;
};

}  // namespace varnoth
