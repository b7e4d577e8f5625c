// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace varnoth {

// Who the connected amplifier is: the path it was opened at (or why nothing was opened), and the model name
// and firmware date its replies tell. The caller's thread opens, the reader thread sets the name and date.
class DeviceIdentity {
  public:
    // A connect attempt opened a device at path: nothing of the last device carries over.
    void Opened(const std::string& path);
    // A connect attempt opened nothing, for this reason.
    void NotOpened(const std::string& failure);

    std::string Path() const;
    std::string OpenFailure() const;
    std::string Name() const;
    std::string Date() const;

    // Replies, on the reader thread.
    void SetName(const std::string& name);
    void SetDate(const std::string& date);

    // How many name and date replies came so far, for AwaitDate.
    struct Replies {
        unsigned names = 0;
        unsigned dates = 0;
    };
    Replies Count() const;
    // Waits at most timeout for a date reply after `since`, or until `gone` is true; whether a name reply
    // came after `since`.
    bool AwaitDate(Replies since, std::chrono::milliseconds timeout, const std::function<bool()>& gone);

  private:
    mutable std::mutex m_mutex;  // guards everything below
    std::condition_variable m_arrived;
    Replies m_replies;
    std::string m_path;
    std::string m_openFailure;
    std::string m_name{"VQ421"};
    std::string m_date{"2010-10-28"};
};

}  // namespace varnoth
