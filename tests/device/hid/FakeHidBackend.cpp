// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeHidBackend.h"

#include <algorithm>
#include <utility>

namespace varnoth::test {
namespace {

class FakeHandle : public HidDevice {
  public:
    explicit FakeHandle(std::shared_ptr<FakeHid> hid) : m_hid(std::move(hid)) {}

    ~FakeHandle() override {
        std::lock_guard lock(m_hid->mutex);
        m_hid->closedDuringCall |= m_hid->callsInFlight > 0;
        ++m_hid->closes;
    }

    int Write(const std::uint8_t* data, std::size_t size) override {
        std::unique_lock lock(m_hid->mutex);
        Call call(*m_hid);
        if (!m_hid->present) {
            return -1;
        }
        Bytes report(data, data + size);
        m_hid->written.push_back(report);
        if (m_hid->responder) {
            if (auto reply = m_hid->responder(report)) {
                m_hid->input.push_back(std::move(*reply));
                m_hid->changed.notify_all();
            }
        }
        return static_cast<int>(size);
    }

    int Read(std::uint8_t* data, std::size_t size, std::chrono::milliseconds timeout) override {
        std::unique_lock lock(m_hid->mutex);
        Call call(*m_hid);
        m_hid->changed.wait_for(lock, timeout, [this] {
            return !m_hid->input.empty() || m_hid->wakePending || !m_hid->present || m_hid->failReads;
        });
        if (!m_hid->present || m_hid->failReads) {
            ++m_hid->failedReads;
            return -1;
        }
        if (!m_hid->input.empty()) {
            Bytes report = std::move(m_hid->input.front());
            m_hid->input.pop_front();
            const std::size_t length = std::min(size, report.size());
            std::copy_n(report.begin(), length, data);
            return static_cast<int>(length);
        }
        m_hid->wakePending = false;
        return 0;
    }

    std::string ErrorText() override {
        std::lock_guard lock(m_hid->mutex);
        Call call(*m_hid);
        return m_hid->present ? "read failed" : "device disconnected";
    }

    bool Present() override {
        std::lock_guard lock(m_hid->mutex);
        Call call(*m_hid);
        return m_hid->present;
    }

    bool Wake() override {
        std::lock_guard lock(m_hid->mutex);
        if (!m_hid->canWake) {
            return false;
        }
        m_hid->wakePending = true;
        m_hid->changed.notify_all();
        return true;
    }

  private:
    // Marks a call on the handle as running, and records when two run at once.
    struct Call {
        explicit Call(FakeHid& hid) : hid(hid) {
            hid.callsOverlapped |= hid.callsInFlight > 0;
            ++hid.callsInFlight;
        }
        ~Call() { --hid.callsInFlight; }
        FakeHid& hid;
    };

    std::shared_ptr<FakeHid> m_hid;
};

}  // namespace

void FakeHid::Queue(Bytes report) {
    std::lock_guard lock(mutex);
    input.push_back(std::move(report));
    changed.notify_all();
}

void FakeHid::Vanish() {
    std::lock_guard lock(mutex);
    present = false;
    changed.notify_all();
}

std::vector<Bytes> FakeHid::Written() {
    std::lock_guard lock(mutex);
    return written;
}

std::shared_ptr<FakeHid> FakeHidBackend::Add(std::string path, UsbIds ids, std::string product) {
    auto hid = std::make_shared<FakeHid>();
    hid->info = {std::move(path), ids, std::move(product)};
    std::lock_guard lock(m_mutex);
    m_devices.push_back(hid);
    return hid;
}

void FakeHidBackend::Remove(const std::string& path) {
    std::lock_guard lock(m_mutex);
    for (auto& hid : m_devices) {
        if (hid->info.path == path) {
            hid->Vanish();
        }
    }
    std::erase_if(m_devices, [&](const auto& hid) { return hid->info.path == path; });
}

std::vector<HidDeviceInfo> FakeHidBackend::Enumerate(UsbIds ids) {
    std::lock_guard lock(m_mutex);
    std::vector<HidDeviceInfo> list;
    for (const auto& hid : m_devices) {
        std::lock_guard deviceLock(hid->mutex);
        const bool matches = (ids.vendor == 0 || ids.vendor == hid->info.ids.vendor) &&
                             (ids.product == 0 || ids.product == hid->info.ids.product);
        if (matches) {
            list.insert(list.end(), hid->listedTwice ? 2 : 1, hid->info);
        }
    }
    return list;
}

HidOpenOutcome FakeHidBackend::Open(const HidDeviceInfo& info) {
    std::shared_ptr<FakeHid> hid;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& candidate : m_devices) {
            if (candidate->info.path == info.path) {
                hid = candidate;
            }
        }
    }
    HidOpenOutcome outcome;
    if (!hid) {
        outcome.error = HidOpenError::Failed;
        outcome.message = "no such device";
        return outcome;
    }
    std::lock_guard lock(hid->mutex);
    if (hid->denyAccess) {
        outcome.error = HidOpenError::AccessDenied;
        outcome.message = "Permission denied";
    } else if (hid->failOpen) {
        outcome.error = HidOpenError::Failed;
        outcome.message = "busy";
    } else {
        ++hid->opens;
        outcome.device = std::make_unique<FakeHandle>(hid);
    }
    return outcome;
}

}  // namespace varnoth::test
