// SPDX-License-Identifier: GPL-3.0-or-later
// varnoth-virtual-amp: the virtual amplifier as a kernel HID device, so that the panel and varnoth-cli can
// be tried against it on any Linux machine whose kernel has uhid.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "device/Trace.h"
#include "device/sim/SimProvider.h"
#include "device/sim/SimScenario.h"
#include "device/sim/VirtualAmp.h"
#include "device/sim/uhid/UhidAmp.h"

namespace varnoth {
namespace {

#ifndef VARNOTH_VERSION
#define VARNOTH_VERSION "unknown"
#endif

// The help's text before the scenarios and after them.
constexpr const char* kUsage = R"(Usage: varnoth-virtual-amp --uhid [options]

Runs the virtual amplifier as a kernel HID device through /dev/uhid, so that the panel and varnoth-cli
find it as they find the real amplifier. Needs the uhid module and write access to /dev/uhid.

Options:
  --uhid                 create the device through /dev/uhid (required)
  --uhid-node PATH       the user-space HID node (default /dev/uhid)
  --upgrade-mode         present the upgrade identifiers (0920:1210) and take a firmware image
                         (the upgrade scenario does the same)
  --scenario NAME        start as one of the simulation scenarios (below)
  --sim-state FILE       load the amplifier's state from FILE when it exists; save it there on exit
  --flash-image FILE     on exit, write the firmware image received in upgrade mode to FILE
  --remote-key SYS,KEY   the system code and key code of a remote key press (default 0,69)
  --trace                trace to stderr
  -h, --help             show this text
  --version              show the version

)";

constexpr const char* kUsageEnd = R"(
The state file replaces what the scenario set up, except the upgrade mode: that comes from the scenario
or --upgrade-mode.

Signals:
  SIGUSR1                unplug the device (it is destroyed), or plug it in again when unplugged
  SIGUSR2                press the remote key; learnt when a key is being studied
  SIGINT, SIGTERM        unplug and exit

Lines on standard output: "plugged VVVV:PPPP" and "unplugged" whenever the device appears or goes.

The installed udev rule gives the user logged in at the seat access to the device's hidraw node, as to
the real amplifier's; without the rule, or for a user without a seat (over ssh), the node is root's only:
give that user access to it to try the panel.
)";

struct Options {
    bool uhid = false;
    std::string node = "/dev/uhid";
    bool upgradeMode = false;
    std::string scenario;
    std::string stateFile;
    std::string flashImage;
    unsigned remoteSystem = 0;
    unsigned remoteKey = 69;
    bool trace = false;
};

int Fail(const std::string& message, int code = 1) {
    std::fprintf(stderr, "varnoth-virtual-amp: %s\n", message.c_str());
    return code;
}

bool ParseByte(const std::string& text, unsigned& value) {
    char* end = nullptr;
    errno = 0;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || parsed > 0xFF) {
        return false;
    }
    value = static_cast<unsigned>(parsed);
    return true;
}

bool ParseRemoteKey(const std::string& text, Options& options) {
    const auto comma = text.find(',');
    return comma != std::string::npos && ParseByte(text.substr(0, comma), options.remoteSystem) &&
           ParseByte(text.substr(comma + 1), options.remoteKey);
}

// Empty on success, else what is wrong with the command line; help and version are set when asked for.
std::string Parse(const std::vector<std::string>& args, Options& options, bool& help, bool& version) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string text;
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--version") {
            version = true;
        } else if (arg == "--uhid") {
            options.uhid = true;
        } else if (arg == "--upgrade-mode") {
            options.upgradeMode = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--uhid-node" || arg == "--scenario" || arg == "--sim-state" ||
                   arg == "--flash-image" || arg == "--remote-key") {
            if (!value(text)) {
                return arg + " needs a value";
            }
            if (arg == "--uhid-node") {
                options.node = text;
            } else if (arg == "--scenario") {
                options.scenario = text;
            } else if (arg == "--sim-state") {
                options.stateFile = text;
            } else if (arg == "--flash-image") {
                options.flashImage = text;
            } else if (!ParseRemoteKey(text, options)) {
                return "--remote-key takes two byte values, SYSTEM,KEY";
            }
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (!help && !version && !options.uhid) {
        return "--uhid is required";
    }
    return {};
}

// Sets the amplifier up as the options ask; empty on success.
std::string Prepare(const Options& options, const std::shared_ptr<VirtualAmp>& amp, bool& silent) {
    if (!options.scenario.empty()) {
        SimProvider provider(amp);
        std::string problem = ApplySimScenario(options.scenario, provider);
        if (!problem.empty()) {
            return problem;
        }
        silent = provider.Faults().silent;
    }
    const bool upgradeMode = options.upgradeMode || amp->UpgradeMode();
    if (!options.stateFile.empty() && ::access(options.stateFile.c_str(), F_OK) == 0) {
        std::string problem = amp->LoadState(options.stateFile);
        if (!problem.empty()) {
            return problem;
        }
    }
    amp->SetUpgradeMode(upgradeMode);
    return {};
}

void Announce(const UhidAmp& device) {
    if (device.Plugged()) {
        std::printf("plugged %04x:%04x\n", device.Ids().vendor, device.Ids().product);
    } else {
        std::printf("unplugged\n");
    }
    std::fflush(stdout);
}

// Writes what the flash received; empty on success.
std::string WriteFlashImage(const VirtualAmp& amp, const std::string& path) {
    const UpgradeFlash flash = amp.Flash();
    const std::vector<std::uint8_t> image = flash.Image(0xE400);
    std::printf("flash: %zu bytes in %zu chunks, %zu pages announced, %zu chunks rejected\n", image.size(),
                flash.Chunks().size(), flash.Announcements().size(), flash.RejectedChunks());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    return out ? std::string() : "cannot write " + path;
}

// Carries out what a signal asks; false when the program should end.
bool HandleSignal(int signal, const Options& options, VirtualAmp& amp, UhidAmp& device, int& status) {
    if (signal == SIGINT || signal == SIGTERM) {
        return false;
    }
    if (signal == SIGUSR1) {
        const std::string problem = device.Plugged() ? device.Unplug() : device.Plug();
        if (!problem.empty()) {
            status = Fail(problem);
        }
        Announce(device);
    } else if (signal == SIGUSR2) {
        const bool learnt = amp.PressRemoteKey(static_cast<std::uint8_t>(options.remoteSystem),
                                               static_cast<std::uint8_t>(options.remoteKey));
        std::printf("remote key %u,%u %s\n", options.remoteSystem, options.remoteKey,
                    learnt ? "learnt" : "pressed, nothing learnt");
        std::fflush(stdout);
    }
    return true;
}

int Run(const Options& options) {
    auto amp = std::make_shared<VirtualAmp>();
    bool silent = false;
    std::string problem = Prepare(options, amp, silent);
    if (!problem.empty()) {
        return Fail(problem, 2);
    }

    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGUSR1, SIGUSR2}) {
        sigaddset(&signals, s);
    }
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        return Fail(std::string("cannot receive signals: ") + std::strerror(errno));
    }
    const int node = ::open(options.node.c_str(), O_RDWR | O_CLOEXEC);
    if (node < 0) {
        const int error = errno;
        ::close(signalFd);
        return Fail("cannot open " + options.node + ": " + std::strerror(error) +
                    (error == ENOENT ? " (load the uhid module: modprobe uhid)" : ""));
    }

    int status = 0;
    {
        UhidAmp device(node, amp, {.silent = silent});
        problem = device.Plug();
        if (!problem.empty()) {
            status = Fail(problem);
        } else {
            Announce(device);
        }
        while (status == 0) {
            pollfd fds[2] = {{node, POLLIN, 0}, {signalFd, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno != EINTR) {
                    status = Fail(std::string("poll failed: ") + std::strerror(errno));
                }
                continue;
            }
            // The host's events first: a signal sent after a write to the device is handled after it.
            if (fds[0].revents & POLLIN) {
                problem = device.HandleEvent();
                if (!problem.empty()) {
                    status = Fail(problem);
                }
                continue;
            }
            if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                status = Fail("the user-space HID node failed");
                continue;
            }
            signalfd_siginfo info{};
            if ((fds[1].revents & POLLIN) &&
                ::read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info) &&
                !HandleSignal(static_cast<int>(info.ssi_signo), options, *amp, device, status)) {
                break;
            }
        }
        problem = device.Unplug();
        if (!problem.empty()) {
            Fail(problem);
        }
        std::printf("unplugged after %llu commands\n",
                    static_cast<unsigned long long>(device.CommandsHandled()));
    }
    ::close(node);
    ::close(signalFd);

    if (!options.stateFile.empty()) {
        problem = amp->SaveState(options.stateFile);
        if (!problem.empty()) {
            status = Fail(problem);
        }
    }
    if (!options.flashImage.empty()) {
        problem = WriteFlashImage(*amp, options.flashImage);
        if (!problem.empty()) {
            status = Fail(problem);
        }
    }
    std::fflush(stdout);
    return status;
}

}  // namespace
}  // namespace varnoth

int main(int argc, char** argv) {
    using namespace varnoth;
    Options options;
    bool help = false;
    bool version = false;
    const std::string problem =
        Parse(std::vector<std::string>(argv + 1, argv + argc), options, help, version);
    if (help) {
        std::fputs(kUsage, stdout);
        std::fputs("Scenarios (--scenario NAME):\n", stdout);
        for (const SimScenario& scenario : SimScenarios()) {
            std::printf("  %-22s %s\n", scenario.name, scenario.description);
        }
        std::fputs(kUsageEnd, stdout);
        return 0;
    }
    if (version) {
        std::fputs("varnoth-virtual-amp " VARNOTH_VERSION "\n", stdout);
        return 0;
    }
    if (!problem.empty()) {
        Fail(problem + " (see --help)", 2);
        return 2;
    }
    if (options.trace) {
        EnableTraceToStderr();
    }
    return Run(options);
}
