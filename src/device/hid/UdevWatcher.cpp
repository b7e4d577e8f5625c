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
    udev_ = udev_new();
    if (udev_ != nullptr) {
        monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    }
    const bool watching = monitor_ != nullptr &&
                          udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
                          udev_monitor_enable_receiving(monitor_) >= 0;
    if (watching) {
        wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }
    if (wakeFd_ < 0) {
        Trace("注册Guid错误，可能不能捕捉设备的连接或移除\n");
        Release();
        return false;
    }
    thread_ = std::thread(&UdevWatcher::Run, this, std::move(callback));
    return true;
}

void UdevWatcher::Stop() {
    if (thread_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto woken = write(wakeFd_, &one, sizeof one);
        thread_.join();
    }
    Release();
}

void UdevWatcher::Release() {
    if (wakeFd_ >= 0) {
        close(wakeFd_);
        wakeFd_ = -1;
    }
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
        udev_ = nullptr;
    }
}

void UdevWatcher::Run(Callback callback) {
    pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
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
        udev_device* device = udev_monitor_receive_device(monitor_);
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
