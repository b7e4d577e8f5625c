// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/ChangeFeed.h"

#include <algorithm>
#include <utility>

namespace varnoth {

ChangeFeed::Subscription::Subscription(ChangeFeed& feed, std::function<void()> wake)
    : m_feed(feed), m_id(feed.Subscribe(std::move(wake))) {}

ChangeFeed::Subscription::~Subscription() {
    m_feed.Unsubscribe(m_id);
}

ChangeFeed::SubscriberId ChangeFeed::Subscribe(std::function<void()> wake) {
    std::lock_guard lock(m_mutex);
    const SubscriberId id = m_nextId++;
    m_subscribers.push_back(Subscriber{id, std::move(wake), m_marks, false});
    return id;
}

void ChangeFeed::Unsubscribe(SubscriberId id) {
    std::lock_guard lock(m_mutex);
    std::erase_if(m_subscribers, [id](const Subscriber& s) { return s.id == id; });
}

ChangeSet ChangeFeed::Take(SubscriberId id) {
    std::lock_guard lock(m_mutex);
    ChangeSet changes;
    const auto subscriber = std::find_if(m_subscribers.begin(), m_subscribers.end(),
                                         [id](const Subscriber& s) { return s.id == id; });
    if (subscriber == m_subscribers.end()) {
        return changes;
    }
    for (std::size_t bit = 0; bit < kChangeBits; ++bit) {
        changes[bit] = m_markedAt[bit] > subscriber->cursor;
    }
    subscriber->cursor = m_marks;
    subscriber->woken = false;
    return changes;
}

void ChangeFeed::Mark(std::size_t bit) {
    if (bit >= kChangeBits) {
        return;
    }
    std::lock_guard lock(m_mutex);
    m_markedAt[bit] = ++m_marks;
    for (Subscriber& subscriber : m_subscribers) {
        if (!subscriber.woken) {
            subscriber.woken = true;
            if (subscriber.wake) {
                subscriber.wake();
            }
        }
    }
}

}  // namespace varnoth
