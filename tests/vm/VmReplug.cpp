// SPDX-License-Identifier: GPL-3.0-or-later
// varnoth-vm-replug: the device watcher through the kernel's HID stack, for the virtual-machine test.
//
//   varnoth-vm-replug AMPLIFIER-PID
//
// Connects to the amplifier that varnoth-virtual-amp presents over uhid, has it unplugged and plugged in
// again (SIGUSR1 twice) and checks that the watcher tells of the removal of the opened device and of the
// new arrival, and that the session lets go, reconnects and reads everything again. Prints "PASS replug" or
// "FAIL replug: why"; the exit status is 0 only on a pass.

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "device/Trace.h"
#include "device/hid/DevicePath.h"
#include "device/hid/DeviceWatcher.h"
#include "device/hid/HidProvider.h"
#include "device/hid/HidapiBackend.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

constexpr auto kEventWait = std::chrono::seconds(20);

// Arrivals and removals as the watcher reports them.
class Sightings {
  public:
    void Add(bool arrived, const std::string& path) {
        {
            std::lock_guard lock(mutex_);
            seen_.push_back({arrived, path});
        }
        changed_.notify_all();
    }
    // Waits for a sighting that matches; it is used up.
    bool WaitFor(const std::function<bool(bool, const std::string&)>& match, std::string& path) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kEventWait, [&] {
            for (auto it = seen_.begin(); it != seen_.end(); ++it) {
                if (match(it->first, it->second)) {
                    path = it->second;
                    seen_.erase(it);
                    return true;
                }
            }
            return false;
        });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<bool, std::string>> seen_;
};

// Empty when the removal and the arrival were noticed and handled, else what went wrong.
std::string Replug(pid_t amp) {
    auto backend = std::make_shared<HidapiBackend>();
    Sightings sightings;
    std::unique_ptr<DeviceWatcher> watcher = CreateDeviceWatcher(backend);
    if (!watcher->Start([&](bool arrived, const std::string& path) { sightings.Add(arrived, path); })) {
        return "the device watcher could not start";
    }
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    DeviceSession session(std::make_shared<HidProvider>(backend), timing);
    if (session.Connect(nullptr) != 1) {
        return "no amplifier found over HID";
    }
    session.ReadAll();
    const std::string opened = session.GetDevPath();

    ::kill(amp, SIGUSR1);
    std::string path;
    if (!sightings.WaitFor(
            [&](bool arrived, const std::string& p) { return !arrived && SameDevicePath(p, opened); },
            path)) {
        return "the removal of " + opened + " was not reported";
    }
    if (!session.TryDisconnect(path) || session.IsConnected()) {
        return "the session did not let go of the removed device";
    }
    ::kill(amp, SIGUSR1);
    if (!sightings.WaitFor([](bool arrived, const std::string&) { return arrived; }, path)) {
        return "the arrival was not reported";
    }
    watcher->Stop();
    if (session.Connect(nullptr) != 1) {
        return "the amplifier was not found after it came back at " + path;
    }
    session.ReadAll();
    session.Disconnect(true);
    if (session.GetDevName() != "VQ317X") {
        return "the read-all after the arrival gave the model name \"" + session.GetDevName() + "\"";
    }
    std::printf("removal of %s and arrival of %s noticed\n", opened.c_str(), path.c_str());
    return {};
}

}  // namespace
}  // namespace varnoth

int main(int argc, char** argv) {
    using namespace varnoth;
    const pid_t amp = argc == 2 ? static_cast<pid_t>(std::atoi(argv[1])) : 0;
    if (amp <= 0) {
        std::fprintf(stderr, "usage: varnoth-vm-replug AMPLIFIER-PID\n");
        return 2;
    }
    if (std::getenv("VARNOTH_TRACE") != nullptr) {
        EnableTraceToStderr();
    }
    const std::string failure = Replug(amp);
    if (failure.empty()) {
        std::printf("PASS replug\n");
        return 0;
    }
    std::printf("FAIL replug: %s\n", failure.c_str());
    return 1;
}
