// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "device/hid/HidBackend.h"

namespace varnoth::test {

using Bytes = std::vector<std::uint8_t>;

// The state of one simulated HID interface, shared by the backend and the handles opened on it.
// Fields are guarded by mutex; tests change them through the helpers or under the lock.
struct FakeHid {
    std::mutex mutex;
    std::condition_variable changed;

    HidDeviceInfo info;
    bool present = true;
    bool listedTwice = false;
    bool denyAccess = false;
    bool failOpen = false;
    bool failReads = false;
    bool canWake = true;

    std::deque<Bytes> input;
    std::vector<Bytes> written;
    // Called for every report written; what it returns is queued as input.
    std::function<std::optional<Bytes>(const Bytes&)> responder;

    // What the handles did.
    int opens = 0;
    int closes = 0;
    int failedReads = 0;
    int callsInFlight = 0;
    bool callsOverlapped = false;
    bool closedDuringCall = false;
    bool wakePending = false;

    void Queue(Bytes report);
    void Vanish();
    std::vector<Bytes> Written();
};

class FakeHidBackend : public HidBackend {
  public:
    std::shared_ptr<FakeHid> Add(std::string path, UsbIds ids, std::string product = {});
    void Remove(const std::string& path);

    std::vector<HidDeviceInfo> Enumerate(UsbIds ids) override;
    HidOpenOutcome Open(const HidDeviceInfo& info) override;

  private:
    std::mutex m_mutex;
    std::vector<std::shared_ptr<FakeHid>> m_devices;
};

}  // namespace varnoth::test
