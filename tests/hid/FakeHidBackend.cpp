#include "FakeHidBackend.h"

#include <algorithm>
#include <utility>

namespace varnoth::test {
namespace {

class FakeHandle : public HidDevice {
  public:
    explicit FakeHandle(std::shared_ptr<FakeHid> hid) : hid_(std::move(hid)) {}

    ~FakeHandle() override {
        std::lock_guard lock(hid_->mutex);
        hid_->closedDuringCall |= hid_->callsInFlight > 0;
        ++hid_->closes;
    }

    int Write(const std::uint8_t* data, std::size_t size) override {
        std::unique_lock lock(hid_->mutex);
        Call call(*hid_);
        if (!hid_->present) {
            return -1;
        }
        Bytes report(data, data + size);
        hid_->written.push_back(report);
        if (hid_->responder) {
            if (auto reply = hid_->responder(report)) {
                hid_->input.push_back(std::move(*reply));
                hid_->changed.notify_all();
            }
        }
        return static_cast<int>(size);
    }

    int Read(std::uint8_t* data, std::size_t size, std::chrono::milliseconds timeout) override {
        std::unique_lock lock(hid_->mutex);
        Call call(*hid_);
        hid_->changed.wait_for(lock, timeout, [this] {
            return !hid_->input.empty() || hid_->wakePending || !hid_->present || hid_->failReads;
        });
        if (!hid_->present || hid_->failReads) {
            ++hid_->failedReads;
            return -1;
        }
        if (!hid_->input.empty()) {
            Bytes report = std::move(hid_->input.front());
            hid_->input.pop_front();
            const std::size_t length = std::min(size, report.size());
            std::copy_n(report.begin(), length, data);
            return static_cast<int>(length);
        }
        hid_->wakePending = false;
        return 0;
    }

    std::string ErrorText() override {
        std::lock_guard lock(hid_->mutex);
        Call call(*hid_);
        return hid_->present ? "read failed" : "device disconnected";
    }

    bool Present() override {
        std::lock_guard lock(hid_->mutex);
        Call call(*hid_);
        return hid_->present;
    }

    bool Wake() override {
        std::lock_guard lock(hid_->mutex);
        if (!hid_->canWake) {
            return false;
        }
        hid_->wakePending = true;
        hid_->changed.notify_all();
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

    std::shared_ptr<FakeHid> hid_;
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
    std::lock_guard lock(mutex_);
    devices_.push_back(hid);
    return hid;
}

void FakeHidBackend::Remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    for (auto& hid : devices_) {
        if (hid->info.path == path) {
            hid->Vanish();
        }
    }
    std::erase_if(devices_, [&](const auto& hid) { return hid->info.path == path; });
}

std::vector<HidDeviceInfo> FakeHidBackend::Enumerate(UsbIds ids) {
    std::lock_guard lock(mutex_);
    std::vector<HidDeviceInfo> list;
    for (const auto& hid : devices_) {
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
        std::lock_guard lock(mutex_);
        for (const auto& candidate : devices_) {
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
