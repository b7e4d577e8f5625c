// SPDX-License-Identifier: GPL-3.0-or-later
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
    : m_amp(std::move(amp)), m_presence(std::make_shared<std::atomic<bool>>(true)), m_pluggedPath(Path()) {}

std::string SimProvider::Path() const {
    return m_amp->UpgradeMode() ? kUpgradePath : kNormalPath;
}

UsbIds SimProvider::Ids() const {
    return m_amp->UpgradeMode() ? kUpgradeIds : kNormalIds;
}

OpenResult SimProvider::Open(UsbIds normal, UsbIds upgrade) {
    OpenResult result;
    std::shared_ptr<std::atomic<bool>> presence;
    SimFaults faults;
    {
        std::lock_guard lock(m_mutex);
        presence = m_presence;
        faults = m_faults;
    }
    if (!presence) {
        result.failure = "the virtual amplifier is unplugged";
        return result;
    }
    const UsbIds ids = Ids();
    const bool upgradeMode = m_amp->UpgradeMode();
    if (!Same(ids, upgradeMode ? upgrade : normal)) {
        result.failure = "no amplifier with the identifiers " + IdsText(normal) + " or " + IdsText(upgrade) +
                         ": the virtual amplifier presents " + IdsText(ids);
        return result;
    }
    // The amplifier that vanishes mid-stream is unplugged: its watchers learn of the removal.
    result.transport = std::make_unique<SimTransport>(m_amp, faults, presence, [provider = weak_from_this()] {
        if (const std::shared_ptr<SimProvider> self = provider.lock()) {
            self->Unplug();
        }
    });
    result.path = Path();
    result.upgradeMode = upgradeMode;
    result.simulated = true;
    return result;
}

void SimProvider::Unplug() {
    std::string path;
    {
        std::lock_guard lock(m_mutex);
        if (!m_presence) {
            return;
        }
        m_presence->store(false);
        m_presence.reset();
        path = m_pluggedPath;
    }
    Notify(false, path);
}

void SimProvider::Plug() {
    std::string path = Path();
    {
        std::lock_guard lock(m_mutex);
        if (m_presence) {
            return;
        }
        m_presence = std::make_shared<std::atomic<bool>>(true);
        m_pluggedPath = path;
    }
    Notify(true, path);
}

bool SimProvider::Plugged() const {
    std::lock_guard lock(m_mutex);
    return m_presence != nullptr;
}

void SimProvider::SetFaults(const SimFaults& faults) {
    std::lock_guard lock(m_mutex);
    m_faults = faults;
}

SimFaults SimProvider::Faults() const {
    std::lock_guard lock(m_mutex);
    return m_faults;
}

int SimProvider::AddObserver(Observer observer) {
    std::lock_guard lock(m_mutex);
    const int id = m_nextObserver++;
    m_observers.emplace(id, std::move(observer));
    return id;
}

void SimProvider::RemoveObserver(int id) {
    std::lock_guard lock(m_mutex);
    m_observers.erase(id);
}

void SimProvider::Notify(bool arrived, const std::string& path) {
    std::vector<Observer> observers;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& [id, observer] : m_observers) {
            observers.push_back(observer);
        }
    }
    for (const Observer& observer : observers) {
        observer(arrived, path);
    }
}

}  // namespace varnoth
