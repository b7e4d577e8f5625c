// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid/HidProvider.h"

#include <set>
#include <utility>

#include "device/Trace.h"

#ifndef VARNOTH_UDEV_RULES_DIR
#define VARNOTH_UDEV_RULES_DIR "/etc/udev/rules.d"
#endif

namespace varnoth {
namespace {

bool Matches(const HidDeviceInfo& info, UsbIds ids) {
    return info.ids.vendor == ids.vendor && info.ids.product == ids.product;
}

struct Candidate {
    HidDeviceInfo info;
    bool upgradeMode;
};

std::vector<Candidate> Candidates(HidBackend& backend, UsbIds normal, UsbIds upgrade) {
    std::vector<Candidate> candidates;
    std::set<std::string> seen;
    for (const auto& [ids, upgradeMode] : {std::pair{normal, false}, std::pair{upgrade, true}}) {
        for (auto& info : backend.Enumerate(ids)) {
            if (Matches(info, ids) && seen.insert(info.path).second) {
                candidates.push_back({std::move(info), upgradeMode});
            }
        }
    }
    return candidates;
}

}  // namespace

std::vector<AmplifierListing> ListAmplifiers(HidBackend& backend, UsbIds normal, UsbIds upgrade) {
    std::vector<AmplifierListing> listings;
    for (auto& c : Candidates(backend, normal, upgrade)) {
        listings.push_back({std::move(c.info.path), c.info.ids, c.upgradeMode, std::move(c.info.product)});
    }
    return listings;
}

std::string InstalledUdevRulePath() {
    return VARNOTH_UDEV_RULES_DIR "/70-varnoth.rules";
}

std::string AccessDeniedMessage(const std::string& path) {
    return "Access to the amplifier at " + path +
           " was denied. Install the udev rule resources/linux/70-varnoth.rules as " +
           InstalledUdevRulePath() +
           " (cmake --install does this), run \"udevadm control --reload\" and plug the amplifier in again.";
}

HidProvider::HidProvider(std::shared_ptr<HidBackend> backend, HidTiming timing)
    : m_backend(std::move(backend)), m_timing(timing) {}

void HidProvider::SetVanishedHandler(std::function<void(const std::string& path)> handler) {
    m_onVanished = std::move(handler);
}

OpenResult HidProvider::Open(UsbIds normal, UsbIds upgrade) {
    OpenResult result;
    std::string deniedPath;
    std::string openFailure;
    Trace("开始枚举usb设备\n");
    for (auto& candidate : Candidates(*m_backend, normal, upgrade)) {
        const std::string& path = candidate.info.path;
        Trace("枚举usb设备成功\n");
        Trace("设备路径:\r\n%s\n", path.c_str());
        Trace("尝试打开通信端口....\n");
        HidOpenOutcome opened = m_backend->Open(candidate.info);
        if (!opened.device) {
            Trace("无法打开通信端口。不能读取设备信息!(设备连接可能不正确?)\n");
            if (opened.error == HidOpenError::AccessDenied) {
                deniedPath = path;
            } else {
                openFailure = "The amplifier at " + path + " could not be opened: " + opened.message;
            }
            continue;
        }
        Trace("打开通信端口成功!\n");
        Trace("正在读取设备的标识...\n");
        std::function<void()> vanished;
        if (m_onVanished) {
            vanished = [handler = m_onVanished, path] { handler(path); };
        }
        result.transport =
            std::make_unique<HidTransport>(std::move(opened.device), m_timing, std::move(vanished));
        result.path = path;
        result.upgradeMode = candidate.upgradeMode;
        Trace("连接目标设备成功!\n");
        return result;
    }
    Trace("枚举usb设备出错,usb设备接口可能枚举完成了\n");
    Trace("连接目标设备失败，没有找到目标设备\n");
    result.foundDevice = !deniedPath.empty() || !openFailure.empty();
    if (!deniedPath.empty()) {
        result.failure = AccessDeniedMessage(deniedPath);
    } else if (!openFailure.empty()) {
        result.failure = openFailure;
    } else {
        result.failure = "No amplifier found.";
    }
    Trace("%s\n", result.failure.c_str());
    return result;
}

}  // namespace varnoth
