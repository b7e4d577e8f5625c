// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliDevice.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>
#include <utility>

#include "cli/CliSignals.h"
#include "device/sim/SimProvider.h"
#include "device/sim/SimScenario.h"
#include "session/FirmwareUpgrade.h"

#ifdef VARNOTH_CLI_WITH_HID
#include "device/hid/HidProvider.h"
#include "device/hid/HidapiBackend.h"
#endif

namespace varnoth {

// Passes opening on and keeps the reason when nothing was opened.
class ReportingProvider : public TransportProvider {
  public:
    explicit ReportingProvider(std::shared_ptr<TransportProvider> inner) : m_inner(std::move(inner)) {}

    OpenResult Open(UsbIds normal, UsbIds upgrade) override {
        OpenResult result = m_inner->Open(normal, upgrade);
        m_failure = result.failure;
        return result;
    }
    const std::string& Failure() const { return m_failure; }

  private:
    std::shared_ptr<TransportProvider> m_inner;
    std::string m_failure;
};

namespace {

// The system code of the virtual amplifier's remote control.
constexpr std::uint8_t kSimSystemCode = 0x5A;

std::string IdsText(UsbIds ids) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x:%04x", ids.vendor, ids.product);
    return text;
}

}  // namespace

void CliObserver::OnKeyStudied(std::uint8_t keyCode) {
    {
        std::lock_guard lock(m_mutex);
        m_key = keyCode;
    }
    m_cv.notify_all();
}

void CliObserver::OnUpgradeDone() {
    m_upgradeDone.store(true);
}

CliDevice::CliDevice(const CliOptions& options) : m_options(options) {
    std::shared_ptr<TransportProvider> inner;
    if (options.simulate) {
        m_sim = std::make_shared<SimProvider>();
        // The virtual amplifier's removal counts as a USB one; setting a scenario up replugs it.
        m_sim->AddObserver(
            [vanished = m_vanished](bool arrived, const std::string&) { vanished->store(!arrived); });
        inner = m_sim;
    } else if (!options.offline) {
#ifdef VARNOTH_CLI_WITH_HID
        auto hid = std::make_shared<HidProvider>(std::make_shared<HidapiBackend>());
        hid->SetVanishedHandler([vanished = m_vanished](const std::string&) { vanished->store(true); });
        inner = hid;
#endif
    }
    if (inner) {
        m_provider = std::make_shared<ReportingProvider>(inner);
    }
    m_session = std::make_unique<DeviceSession>(m_provider);
}

CliDevice::~CliDevice() {
    if (m_connected) {
        m_session->Disconnect(true);
    }
}

CliStatus CliDevice::Prepare() {
    if (!m_sim) {
        return std::nullopt;
    }
    if (std::string error = ApplySimScenario(m_options.scenario, *m_sim); !error.empty()) {
        return CliFailure{kExitUsage, error};
    }
    if (m_options.simState.empty()) {
        return std::nullopt;
    }
    struct stat info {};
    if (::stat(m_options.simState.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return std::nullopt;
        }
        return CliFailure{kExitBadInput, "--sim-state " + m_options.simState + ": " + std::strerror(error)};
    }
    // The state file is what the amplifier remembers; the scenario is which amplifier it is (model, firmware
    // date) and how it was switched on (upgrade mode).
    const std::shared_ptr<VirtualAmp>& amp = m_sim->Amp();
    const std::string name = amp->Name();
    const std::string date = amp->Date();
    const bool upgradeMode = amp->UpgradeMode();
    m_sim->Unplug();
    std::string error = amp->LoadState(m_options.simState);
    amp->SetName(name);
    amp->SetDate(date);
    amp->SetUpgradeMode(upgradeMode);
    m_sim->Plug();
    if (!error.empty()) {
        return CliFailure{kExitBadInput, "--sim-state " + m_options.simState + ": " + error};
    }
    return std::nullopt;
}

CliStatus CliDevice::Connect(bool upgradeModeAllowed) {
    if (m_options.offline) {
        return std::nullopt;
    }
    if (!m_provider) {
        return CliFailure{kExitNoDevice,
                          "this build has no USB support; use --simulate for the virtual amplifier"};
    }
    if (m_session->Connect(&m_observer) != 1) {
        const std::string& why = m_provider->Failure();
        return CliFailure{kExitNoDevice, why.empty() ? "No amplifier found." : why};
    }
    m_connected = true;
    const std::string path = m_session->GetDevPath();
    if (m_session->InUpgradeMode()) {
        if (upgradeModeAllowed) {
            return std::nullopt;
        }
        return CliFailure{kExitNoDevice, "The amplifier at " + path +
                                             " is in upgrade mode: only \"upgrade\" works now; switch it off "
                                             "and on again to leave upgrade mode."};
    }
    if (!m_session->ReadIdentity()) {
        m_session->Disconnect(false);
        m_connected = false;
        return CliFailure{kExitNoDevice, "The amplifier at " + path + " does not answer."};
    }
    if (m_session->CheckFirmware() == FirmwareCheck::ForeignModel) {
        m_session->Disconnect(true);
        m_connected = false;
        return CliFailure{kExitNoDevice, "The device at " + path + " is a \"" + m_session->GetDevName() +
                                             "\", not a " + FirmwareUpgrade::kModelName +
                                             ": this program does not control it; disconnected."};
    }
    return std::nullopt;
}

CliStatus CliDevice::ReadEverything() {
    if (!m_connected) {
        return std::nullopt;
    }
    return Interruptible(
        [this] {
            m_session->ReadAll();
            m_session->ReadIdentity();
        },
        "interrupted while reading the amplifier; nothing was written");
}

CliStatus CliDevice::Interruptible(const std::function<void()>& work, const std::string& stopped) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done.store(true);
    });
    while (!done.load() && !Interrupted()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!done.load()) {
        // Closing the connection discards the sequence or ends its waits for replies.
        m_session->Disconnect(false);
        m_connected = false;
    }
    worker.join();
    if (Interrupted()) {
        return CliFailure{kExitInterrupted, stopped};
    }
    return std::nullopt;
}

CliStatus CliDevice::Finish() {
    if (m_connected) {
        m_session->Disconnect(true);
        m_connected = false;
    }
    if (m_sim && !m_options.simState.empty()) {
        if (std::string error = m_sim->Amp()->SaveState(m_options.simState); !error.empty()) {
            return CliFailure{kExitBadInput, "--sim-state " + m_options.simState + ": " + error};
        }
    }
    return std::nullopt;
}

CliStatus CliDevice::List(std::ostream& out) {
    if (m_sim) {
        if (!m_sim->Plugged()) {
            return CliFailure{kExitNoDevice, "No amplifier found."};
        }
        const bool upgrade = m_sim->Amp()->UpgradeMode();
        out << m_sim->Path() << "  " << IdsText(m_sim->Ids()) << "  " << (upgrade ? "upgrade" : "normal")
            << "  virtual amplifier\n";
        return std::nullopt;
    }
#ifdef VARNOTH_CLI_WITH_HID
    HidapiBackend backend;
    const std::vector<AmplifierListing> found = ListAmplifiers(backend);
    if (found.empty()) {
        return CliFailure{kExitNoDevice, "No amplifier found."};
    }
    for (const AmplifierListing& amp : found) {
        out << amp.path << "  " << IdsText(amp.ids) << "  " << (amp.upgradeMode ? "upgrade" : "normal")
            << "  " << amp.product << "\n";
    }
    return std::nullopt;
#else
    return CliFailure{kExitNoDevice,
                      "this build has no USB support; use --simulate for the virtual amplifier"};
#endif
}

bool CliDevice::PressSimulatedKey(std::uint8_t keyCode) {
    return m_sim && m_sim->Amp()->PressRemoteKey(kSimSystemCode, keyCode);
}

}  // namespace varnoth
