// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid/UdevWatcher.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#include "device/Trace.h"

namespace varnoth {

UdevWatcher::~UdevWatcher() {
    Stop();
}

bool UdevWatcher::Start(Callback callback) {
    Stop();
    m_udev = udev_new();
    if (m_udev != nullptr) {
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    }
    const bool watching =
        m_monitor != nullptr &&
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr) >= 0 &&
        udev_monitor_enable_receiving(m_monitor) >= 0;
    if (watching) {
        m_wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
    if (m_wakeFd < 0) {
        Trace("注册Guid错误，可能不能捕捉设备的连接或移除\n");
        Release();
        return false;
    }
    m_thread = std::thread(&UdevWatcher::Run, this, std::move(callback));
    return true;
}

void UdevWatcher::Stop() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto woken = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    Release();
}

void UdevWatcher::Release() {
    if (m_wakeFd >= 0) {
        close(m_wakeFd);
        m_wakeFd = -1;
    }
    if (m_monitor != nullptr) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    if (m_udev != nullptr) {
        udev_unref(m_udev);
        m_udev = nullptr;
    }
}

void UdevWatcher::Run(Callback callback) {
    pollfd fds[2] = {{udev_monitor_get_fd(m_monitor), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            Trace("udev monitor failed: %s\n", std::strerror(errno));
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
            Trace("udev monitor closed\n");
            return;
        }
        udev_device* device = udev_monitor_receive_device(m_monitor);
        if (device == nullptr) {
            continue;
        }
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action != nullptr && node != nullptr) {
            if (std::strcmp(action, "add") == 0) {
                callback(true, node);
            } else if (std::strcmp(action, "remove") == 0) {
                callback(false, node);
            }
        }
        udev_device_unref(device);
    }
}

}  // namespace varnoth
