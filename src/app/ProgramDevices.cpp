// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramDevices.h"

#include <utility>

#include "device/Trace.h"
#include "device/hid/DeviceWatcher.h"
#include "device/sim/SimProvider.h"
#include "device/sim/SimScenario.h"
#ifdef VARNOTH_HAVE_HID
#include "device/hid/HidProvider.h"
#include "device/hid/HidapiBackend.h"
#include "device/hid/PollingWatcher.h"
#endif

namespace varnoth {

ProgramDevices::ProgramDevices() = default;

ProgramDevices::~ProgramDevices() {
    Stop();
}

std::string ProgramDevices::Open(const CommandLine& options) {
    if (options.simulate) {
        auto sim = std::make_shared<SimProvider>();
        if (std::string problem = ApplySimScenario(options.scenario, *sim); !problem.empty()) {
            return problem;
        }
        Trace("Devices: the virtual amplifier, scenario %s\n", options.scenario.c_str());
        m_sim = sim;
        m_provider = sim;
        return {};
    }
#ifdef VARNOTH_HAVE_HID
    m_backend = std::make_shared<HidapiBackend>();
    m_hid = std::make_shared<HidProvider>(m_backend);
    m_provider = m_hid;
    return {};
#else
    return "this build has no USB transport; use --simulate";
#endif
}

void ProgramDevices::Watch(Sink sink) {
    Stop();
    if (m_sim) {
        m_simObserver = m_sim->AddObserver(std::move(sink));
        return;
    }
#ifdef VARNOTH_HAVE_HID
    if (!m_hid) {
        return;
    }
    m_hid->SetVanishedHandler([sink](const std::string& path) { sink(false, path); });
    m_watcher = CreateDeviceWatcher(m_backend);
    if (!m_watcher->Start(sink)) {
        Trace("Devices: no device notifications from the system; polling instead\n");
        m_watcher = std::make_unique<PollingWatcher>(m_backend);
        if (!m_watcher->Start(sink)) {
            Trace("Devices: polling for devices failed too; arrivals go unnoticed\n");
            m_watcher.reset();
        }
    }
#endif
}

void ProgramDevices::Stop() {
    if (m_sim && m_simObserver != 0) {
        m_sim->RemoveObserver(m_simObserver);
        m_simObserver = 0;
    }
#ifdef VARNOTH_HAVE_HID
    if (m_watcher) {
        m_watcher->Stop();
        m_watcher.reset();
    }
#endif
}

void ProgramDevices::ToggleSimulatedPlug() {
    if (!m_sim) {
        return;
    }
    if (m_sim->Plugged()) {
        Trace("Devices: the virtual amplifier is unplugged\n");
        m_sim->Unplug();
    } else {
        Trace("Devices: the virtual amplifier is plugged in\n");
        m_sim->Plug();
    }
}

}  // namespace varnoth
