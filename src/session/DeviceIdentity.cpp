// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/DeviceIdentity.h"

namespace varnoth {

void DeviceIdentity::Opened(const std::string& path) {
    // A new device says who it is in its own replies.
    std::lock_guard lock(m_mutex);
    m_openFailure.clear();
    m_path = path;
    m_name.clear();
    m_date.clear();
}

void DeviceIdentity::NotOpened(const std::string& failure) {
    std::lock_guard lock(m_mutex);
    m_openFailure = failure;
}

std::string DeviceIdentity::Path() const {
    std::lock_guard lock(m_mutex);
    return m_path;
}

std::string DeviceIdentity::OpenFailure() const {
    std::lock_guard lock(m_mutex);
    return m_openFailure;
}

std::string DeviceIdentity::Name() const {
    std::lock_guard lock(m_mutex);
    return m_name;
}

std::string DeviceIdentity::Date() const {
    std::lock_guard lock(m_mutex);
    return m_date;
}

void DeviceIdentity::SetName(const std::string& name) {
    {
        std::lock_guard lock(m_mutex);
        m_name = name;
        ++m_replies.names;
    }
    m_arrived.notify_all();
}

void DeviceIdentity::SetDate(const std::string& date) {
    {
        std::lock_guard lock(m_mutex);
        m_date = date;
        ++m_replies.dates;
    }
    m_arrived.notify_all();
}

DeviceIdentity::Replies DeviceIdentity::Count() const {
    std::lock_guard lock(m_mutex);
    return m_replies;
}

bool DeviceIdentity::AwaitDate(Replies since, std::chrono::milliseconds timeout,
                               const std::function<bool()>& gone) {
    std::unique_lock lock(m_mutex);
    m_arrived.wait_for(lock, timeout, [&] { return m_replies.dates != since.dates || gone(); });
    return m_replies.names != since.names;
}

}  // namespace varnoth
