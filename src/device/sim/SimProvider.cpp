#include "device/sim/SimProvider.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace varnoth {
namespace {

std::string IdsText(UsbIds ids) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", ids.vendor, ids.product);
    return text;
}

bool Same(UsbIds a, UsbIds b) {
    return a.vendor == b.vendor && a.product == b.product;
}

}  // namespace

SimProvider::SimProvider(std::shared_ptr<VirtualAmp> amp)
    : amp_(std::move(amp)), presence_(std::make_shared<std::atomic<bool>>(true)), pluggedPath_(Path()) {}

std::string SimProvider::Path() const {
    return amp_->UpgradeMode() ? kUpgradePath : kNormalPath;
}

UsbIds SimProvider::Ids() const {
    return amp_->UpgradeMode() ? kUpgradeIds : kNormalIds;
}

OpenResult SimProvider::Open(UsbIds normal, UsbIds upgrade) {
    OpenResult result;
    std::shared_ptr<std::atomic<bool>> presence;
    SimFaults faults;
    {
        std::lock_guard lock(mutex_);
        presence = presence_;
        faults = faults_;
    }
    if (!presence) {
        result.failure = "the virtual amplifier is unplugged";
        return result;
    }
    const UsbIds ids = Ids();
    const bool upgradeMode = amp_->UpgradeMode();
    if (!Same(ids, upgradeMode ? upgrade : normal)) {
        result.failure = "no amplifier with the identifiers " + IdsText(normal) + " or " + IdsText(upgrade) +
                         ": the virtual amplifier presents " + IdsText(ids);
        return result;
    }
    result.transport = std::make_unique<SimTransport>(amp_, faults, presence);
    result.path = Path();
    result.upgradeMode = upgradeMode;
    result.simulated = true;
    return result;
}

void SimProvider::Unplug() {
    std::string path;
    {
        std::lock_guard lock(mutex_);
        if (!presence_) {
            return;
        }
        presence_->store(false);
        presence_.reset();
        path = pluggedPath_;
    }
    Notify(false, path);
}

void SimProvider::Plug() {
    std::string path = Path();
    {
        std::lock_guard lock(mutex_);
        if (presence_) {
            return;
        }
        presence_ = std::make_shared<std::atomic<bool>>(true);
        pluggedPath_ = path;
    }
    Notify(true, path);
}

bool SimProvider::Plugged() const {
    std::lock_guard lock(mutex_);
    return presence_ != nullptr;
}

void SimProvider::SetFaults(const SimFaults& faults) {
    std::lock_guard lock(mutex_);
    faults_ = faults;
}

SimFaults SimProvider::Faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

int SimProvider::AddObserver(Observer observer) {
    std::lock_guard lock(mutex_);
    const int id = nextObserver_++;
    observers_.emplace(id, std::move(observer));
    return id;
}

void SimProvider::RemoveObserver(int id) {
    std::lock_guard lock(mutex_);
    observers_.erase(id);
}

void SimProvider::Notify(bool arrived, const std::string& path) {
    std::vector<Observer> observers;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [id, observer] : observers_) {
            observers.push_back(observer);
        }
    }
    for (const Observer& observer : observers) {
        observer(arrived, path);
    }
}

}  // namespace varnoth
