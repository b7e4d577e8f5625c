// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/SessionUpgrader.h"

#include <utility>

#include "device/DeviceLink.h"
#include "device/Trace.h"
#include "session/CarriedFirmware.h"
#include "session/SessionStatus.h"

namespace varnoth {
namespace {

// Only an amplifier in upgrade mode takes an image; in normal mode it would ignore every report.
UpgradeResult NotUpgradeMode(std::string path = {}) {
    return UpgradeResult::Failed(
        UpgradeFault::NotUpgradeMode,
        "The amplifier is not in upgrade mode; nothing was sent. Switch it off, then "
        "hold ENTER while switching it on: it is in upgrade mode when the status "
        "shows green. Then upgrade again.",
        0, std::move(path));
}

}  // namespace

SessionUpgrader::SessionUpgrader(DeviceLink& link, SessionStatus& status, RunSequence run)
    : m_link(link), m_status(status), m_run(std::move(run)), m_upgrade(link) {}

bool SessionUpgrader::Start() {
    return StartThread([this] { return SendCarriedImage(); });
}

bool SessionUpgrader::StartFile(const std::string& path) {
    return StartThread([this, path] { return SendImageFile(path); });
}

bool SessionUpgrader::Run() {
    return RunHere([this] { return SendCarriedImage(); });
}

bool SessionUpgrader::RunFile(const std::string& path) {
    return RunHere([this, &path] { return SendImageFile(path); });
}

bool SessionUpgrader::StartThread(std::function<UpgradeResult()> transfer) {
    if (m_upgrading.exchange(true)) {
        Trace("a firmware transfer is already under way; no second one started\n");
        return false;
    }
    Trace("Start thread:SynchronizeData\n");
    m_status.synchronised.store(false);
    const std::uint64_t connection = m_status.connection.load();
    // The device needs this pause after it has been found in upgrade mode.
    m_run(m_link.Timing().upgradeStartDelay,
          [this, connection, transfer = std::move(transfer)] { Transfer(connection, transfer); });
    return true;
}

bool SessionUpgrader::RunHere(const std::function<UpgradeResult()>& transfer) {
    if (m_upgrading.exchange(true)) {
        Trace("a firmware transfer is already under way; no second one started\n");
        return false;
    }
    UpgradeResult result = transfer();
    const bool sent = result.sent;
    SetResult(std::move(result));
    End();
    return sent;
}

void SessionUpgrader::Transfer(std::uint64_t connection, const std::function<UpgradeResult()>& transfer) {
    SetResult(transfer());
    End();
    if (m_status.closing.load()) {
        return;
    }
    // The outcome reaches the owner also when the amplifier went away during the transfer.
    if (SessionObserver* observer = m_status.Observer()) {
        observer->OnUpgradeDone();
    }
    if (m_status.connection.load() == connection) {
        m_status.synchronised.store(true);
    }
}

void SessionUpgrader::ConnectionClosed() {
    if (!m_upgrading.load() || m_upgrade.IsRunning()) {
        return;
    }
    SetResult(UpgradeResult::Failed(
        UpgradeFault::NotConnected,
        "The amplifier went away before the firmware transfer began; nothing was sent."));
    End();
    if (SessionObserver* observer = m_status.Observer(); observer && !m_status.closing.load()) {
        observer->OnUpgradeDone();
    }
}

void SessionUpgrader::End() {
    {
        std::lock_guard lock(m_resultMutex);
        m_upgrading.store(false);
    }
    m_ended.notify_all();
}

void SessionUpgrader::WaitForEnd() {
    if (m_link.IsLinkThread()) {
        return;
    }
    std::unique_lock lock(m_resultMutex);
    if (m_upgrading.load()) {
        Trace("closing: waiting for the firmware transfer to end\n");
    }
    m_ended.wait(lock, [this] { return !m_upgrading.load(); });
}

UpgradeResult SessionUpgrader::SendCarriedImage() {
    if (!m_link.IsConnected()) {
        return UpgradeResult::Failed(UpgradeFault::NotConnected, "No amplifier is connected.");
    }
    if (!m_status.upgradeMode.load()) {
        return NotUpgradeMode();
    }
    // The virtual amplifier takes the test image; hardware only ever gets the image the build carries.
    const std::span<const std::uint8_t> image =
        m_status.simulated.load() ? TestFirmwareImage() : CarriedFirmwareImage();
    if (image.empty()) {
        return UpgradeResult::Failed(
            UpgradeFault::NoImage,
            "This build carries no firmware image; upgrade from an image file instead.");
    }
    return m_upgrade.StartUpgrade(image);
}

UpgradeResult SessionUpgrader::SendImageFile(const std::string& path) {
    if (!m_link.IsConnected()) {
        return UpgradeResult::Failed(UpgradeFault::NotConnected, "No amplifier is connected.", 0, path);
    }
    if (!m_status.upgradeMode.load()) {
        return NotUpgradeMode(path);
    }
    return m_upgrade.StartUpgrade(path);
}

void SessionUpgrader::SetResult(UpgradeResult result) {
    Trace("upgrade: %s\n", result.message.c_str());
    std::lock_guard lock(m_resultMutex);
    m_result = std::move(result);
}

UpgradeResult SessionUpgrader::LastResult() const {
    std::lock_guard lock(m_resultMutex);
    return m_result;
}

}  // namespace varnoth
