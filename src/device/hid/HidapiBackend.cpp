// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hid/HidapiBackend.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>

#ifdef __linux__
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "device/Utf8.h"
#endif

namespace varnoth {
namespace {

std::mutex& LibraryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::string ToUtf8(const wchar_t* text) {
    std::string out;
    if (text == nullptr) {
        return out;
    }
    for (; *text != L'\0'; ++text) {
        AppendUtf8(out, static_cast<char32_t>(*text));
    }
    return out;
}

// Caller holds LibraryMutex().
std::vector<HidDeviceInfo> EnumerateLocked(UsbIds ids) {
    std::vector<HidDeviceInfo> devices;
    hid_device_info* list = hid_enumerate(ids.vendor, ids.product);
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        if (d->path == nullptr) {
            continue;
        }
        devices.push_back({d->path, {d->vendor_id, d->product_id}, ToUtf8(d->product_string)});
    }
    hid_free_enumeration(list);
    return devices;
}

class HidapiDevice : public HidDevice {
  public:
    HidapiDevice(hid_device* handle, HidDeviceInfo info) : m_handle(handle), m_info(std::move(info)) {
#ifdef __linux__
        m_watchFd = ::open(m_info.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_watchFd >= 0) {
            m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        }
        if (m_wakeFd < 0 && m_watchFd >= 0) {
            ::close(m_watchFd);
            m_watchFd = -1;
        }
#endif
    }

    ~HidapiDevice() override {
#ifdef __linux__
        if (m_watchFd >= 0) {
            ::close(m_watchFd);
            ::close(m_wakeFd);
        }
#endif
        hid_close(m_handle);
    }

    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    int Write(const std::uint8_t* data, std::size_t size) override {
        m_ownError.clear();
        return hid_write(m_handle, data, size);
    }

    int Read(std::uint8_t* data, std::size_t size, std::chrono::milliseconds timeout) override {
        m_ownError.clear();
#ifdef __linux__
        if (m_watchFd >= 0) {
            return ReadWakeable(data, size, timeout);
        }
#endif
        return hid_read_timeout(m_handle, data, size, static_cast<int>(timeout.count()));
    }

    std::string ErrorText() override {
        return m_ownError.empty() ? ToUtf8(hid_error(m_handle)) : m_ownError;
    }

    bool Present() override {
        std::lock_guard lock(LibraryMutex());
        const auto devices = EnumerateLocked(m_info.ids);
        return std::any_of(devices.begin(), devices.end(),
                           [this](const HidDeviceInfo& d) { return d.path == m_info.path; });
    }

    bool Wake() override {
#ifdef __linux__
        if (m_wakeFd >= 0) {
            const std::uint64_t one = 1;
            return ::write(m_wakeFd, &one, sizeof one) == sizeof one || errno == EAGAIN;
        }
#endif
        return false;
    }

  private:
#ifdef __linux__
    // A report already queued is taken at once; otherwise wait until input arrives or Wake is called.
    int ReadWakeable(std::uint8_t* data, std::size_t size, std::chrono::milliseconds timeout) {
        const int queued = hid_read_timeout(m_handle, data, size, 0);
        if (queued != 0) {
            return queued;
        }
        pollfd fds[2] = {{m_watchFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, static_cast<int>(timeout.count()));
        if (ready < 0) {
            if (errno == EINTR) {
                return 0;
            }
            m_ownError = std::strerror(errno);
            return -1;
        }
        if (fds[1].revents != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto drained = ::read(m_wakeFd, &count, sizeof count);
        }
        if (fds[0].revents == 0) {
            return 0;
        }
        std::uint8_t copy[kReportSize + 1];
        while (::read(m_watchFd, copy, sizeof copy) > 0) {
        }
        return hid_read_timeout(m_handle, data, size, 0);
    }

    int m_watchFd = -1;
    int m_wakeFd = -1;
#endif
    hid_device* m_handle;
    HidDeviceInfo m_info;
    std::string m_ownError;
};

}  // namespace

HidapiBackend::HidapiBackend() {
    std::lock_guard lock(LibraryMutex());
    hid_init();
}

std::vector<HidDeviceInfo> HidapiBackend::Enumerate(UsbIds ids) {
    std::lock_guard lock(LibraryMutex());
    return EnumerateLocked(ids);
}

HidOpenOutcome HidapiBackend::Open(const HidDeviceInfo& info) {
    HidOpenOutcome outcome;
#ifdef __linux__
    // Checked here rather than left to the library: it cannot say why an open failed, and it crashes
    // when asked to open a path that is not a hidraw node.
    struct stat status {};
    if (::access(info.path.c_str(), R_OK | W_OK) != 0) {
        const int error = errno;
        outcome.error =
            (error == EACCES || error == EPERM) ? HidOpenError::AccessDenied : HidOpenError::Failed;
        outcome.message = "cannot open " + info.path + ": " + std::strerror(error);
        return outcome;
    }
    if (::stat(info.path.c_str(), &status) != 0 || !S_ISCHR(status.st_mode)) {
        outcome.error = HidOpenError::Failed;
        outcome.message = info.path + " is not a HID device";
        return outcome;
    }
#endif
    hid_device* handle = nullptr;
    {
        std::lock_guard lock(LibraryMutex());
        handle = hid_open_path(info.path.c_str());
        if (handle == nullptr) {
            outcome.error = HidOpenError::Failed;
            outcome.message = ToUtf8(hid_error(nullptr));
        }
    }
    if (handle != nullptr) {
        outcome.device = std::make_unique<HidapiDevice>(handle, info);
    }
    return outcome;
}

}  // namespace varnoth
