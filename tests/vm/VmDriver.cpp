// varnoth-vm-driver: drives the amplifier link through the kernel's HID stack for the virtual-machine test.
// Each run performs one scenario against the amplifier that varnoth-virtual-amp presents over uhid, and
// prints "PASS <scenario>" or "FAIL <scenario>: why"; the exit status is 0 only on a pass.

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "device/DeviceLink.h"
#include "device/Opcodes.h"
#include "device/Trace.h"
#include "device/hid/DevicePath.h"
#include "device/hid/DeviceWatcher.h"
#include "device/hid/HidProvider.h"
#include "device/hid/HidapiBackend.h"
#include "device/sim/SimProvider.h"
#include "model/CVQ421Dll.h"
#include "model/RegisterMap.h"

namespace varnoth {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kEventWait = std::chrono::seconds(20);

// The scenario's verdict: empty when it passed, else the first thing that went wrong.
using Verdict = std::string;

std::shared_ptr<TransportProvider> KernelHid() {
    return std::make_shared<HidProvider>(std::make_shared<HidapiBackend>());
}

LinkTiming QuickStart() {
    LinkTiming timing;
    timing.syncStartDelay = std::chrono::milliseconds(1);
    return timing;
}

std::string Hex(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", value);
    return text;
}

// Where two sessions' views of the amplifier differ, listed; empty when they agree.
Verdict Compare(const CVQ421Dll& got, const CVQ421Dll& want) {
    std::ostringstream out;
    const auto a = got.GetFileBlock();
    const auto b = want.GetFileBlock();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            out << "store position " << i << " is " << Hex(a[i]) << ", expected " << Hex(b[i]) << "; ";
        }
    }
    if (got.GetMachineSet().GetSavedRecord() != want.GetMachineSet().GetSavedRecord()) {
        out << "machine record differs; ";
    }
    if (got.GetRemote().GetRecord() != want.GetRemote().GetRecord()) {
        out << "IR record differs; ";
    }
    if (got.GetDevName() != want.GetDevName() || got.GetDevDate() != want.GetDevDate()) {
        out << "identity " << got.GetDevName() << " " << got.GetDevDate() << ", expected "
            << want.GetDevName() << " " << want.GetDevDate() << "; ";
    }
    if (got.GetCurEffectMode() != want.GetCurEffectMode() ||
        got.GetMicControlSubTime() != want.GetMicControlSubTime() ||
        got.GetMicControlSubRate() != want.GetMicControlSubRate()) {
        out << "mode or mic-controls-sub setting differs; ";
    }
    return out.str();
}

// A full read-all through the kernel gives what the same read-all of a factory amplifier inside the
// process gives.
Verdict ReadAllScenario(const std::vector<std::string>&) {
    CVQ421Dll kernel(KernelHid(), QuickStart());
    if (kernel.TryConnDevice(nullptr) != 1) {
        return "no amplifier found over HID";
    }
    if (kernel.IsUpStatus() != 0) {
        return "the amplifier was found in upgrade mode";
    }
    kernel.ReadAll();
    kernel.Disconnect(true);

    CVQ421Dll local(std::make_shared<SimProvider>(), QuickStart());
    local.TryConnDevice(nullptr);
    local.ReadAll();
    local.Disconnect(true);
    return Compare(kernel, local);
}

// Store positions that a write-all does not send: the compressor preset numbers and the reserved bytes.
bool Travels(std::size_t position) {
    return position != pos::Compress_Mic + pos::CompressPreset &&
           position != pos::Compress_Music + pos::CompressPreset &&
           (position < pos::Reserved || position >= pos::Reserved + pos::kReservedBytes);
}

// The recognisable parameter set the write-all sends.
std::array<std::uint8_t, kFileBlockSize> WrittenSet() {
    std::array<std::uint8_t, kFileBlockSize> block{};
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<std::uint8_t>((i * 7 + 3) & 0x7F);
    }
    block[pos::PEQ_Mic + pos::PEQOn] = 0x7F;
    block[pos::PEQ_Music + pos::PEQOn] = 0;
    block[pos::SubPhase180] = 1;
    block[pos::Effect1 + pos::EffectPreset] = 5;
    block[pos::Effect2 + pos::EffectPreset] = 6;
    return block;
}

// A read-all by a new session gives the written set back.
Verdict CheckWrittenScenario(const std::vector<std::string>&) {
    CVQ421Dll reader(KernelHid(), QuickStart());
    if (reader.TryConnDevice(nullptr) != 1) {
        return "no amplifier found over HID";
    }
    reader.ReadAll();
    reader.Disconnect(true);
    std::ostringstream out;
    const auto block = WrittenSet();
    const auto readBack = reader.GetFileBlock();
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (Travels(i) && readBack[i] != block[i]) {
            out << "store position " << i << " reads " << Hex(readBack[i]) << ", written " << Hex(block[i])
                << "; ";
        }
    }
    return out.str();
}

// A write-all of the recognisable set, then a read-all by another session, gives the set back.
Verdict WriteAllScenario(const std::vector<std::string>& args) {
    const auto block = WrittenSet();
    {
        CVQ421Dll writer(KernelHid(), QuickStart());
        if (writer.TryConnDevice(nullptr) != 1) {
            return "no amplifier found over HID";
        }
        writer.ReadAll();
        writer.SetFileBlock(block);
        // The routing to the main outputs is not part of a write-all: it goes out as it is set.
        writer.SetChToMainL_Mic(block[pos::ChToMainL_Mic]);
        writer.SetChToMainR_Mic(block[pos::ChToMainR_Mic]);
        writer.SetChToMainL_Music(block[pos::ChToMainL_Music]);
        writer.SetChToMainR_Music(block[pos::ChToMainR_Music]);
        writer.WriteAll();
        writer.Disconnect(true);
    }
    return CheckWrittenScenario(args);
}

class IgnoreReplies : public ReplySink {
  public:
    void OnCurEffectMode(std::uint8_t) override {}
    void OnRegisterRead(const Report&) override {}
    void OnMicControlSub(std::uint8_t, std::uint8_t) override {}
    void OnKeyStudied(std::uint8_t, std::uint8_t, std::uint8_t) override {}
    void OnIrRecord(std::span<const std::uint8_t, kIrRecordSize>) override {}
    void OnDevName(const std::string&) override {}
    void OnDevDate(const std::string&) override {}
    void OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize>) override {}
};

// A firmware image goes to an amplifier in upgrade mode as pages announced, chunks of 56 bytes and the
// closing pair at 0xE400; the flash contents the amplifier should end up with are written to the file
// named by the argument.
Verdict UpgradeScenario(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return "usage: upgrade EXPECTED-FLASH-FILE";
    }
    std::vector<std::uint8_t> image(20000);
    std::uint32_t seed = 0x2011;
    for (auto& byte : image) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<std::uint8_t>(seed >> 16);
    }
    HidProvider provider(std::make_shared<HidapiBackend>());
    OpenResult opened = provider.Open(kNormalIds, kUpgradeIds);
    if (!opened.transport) {
        return "no amplifier found over HID: " + opened.failure;
    }
    if (!opened.upgradeMode) {
        return "the amplifier is not in upgrade mode";
    }
    IgnoreReplies sink;
    DeviceLink link(sink);
    link.Attach(std::move(opened.transport));
    link.SetConnected(true);
    link.StartReader();

    std::vector<std::uint8_t> sent = image;
    sent[1] = 0xF1;
    sent[2] = 0x88;
    int transferred = 0;
    for (std::size_t a = 0; a < sent.size(); a += 512) {
        transferred +=
            link.SendCommand(op::UpgradeBlock, {static_cast<int>(a >> 8) & 0xFF, static_cast<int>(a & 0xFF)});
    }
    for (std::size_t off = 0; off < sent.size(); off += 56) {
        const std::size_t n = std::min<std::size_t>(56, sent.size() - off);
        Report chunk{};
        chunk[0] = 2;
        chunk[1] = op::UpgradeData;
        chunk[2] = static_cast<std::uint8_t>(off >> 8);
        chunk[3] = static_cast<std::uint8_t>(off & 0xFF);
        chunk[4] = static_cast<std::uint8_t>(n);
        std::copy_n(sent.begin() + static_cast<std::ptrdiff_t>(off), n, chunk.begin() + 5);
        transferred += link.WriteReport(chunk);
    }
    transferred += link.SendCommand(op::UpgradeBlock, {0xE4, 0x00, 0x20});
    transferred += link.SendCommand(op::UpgradeData, {0xE4, 0x00, 3, image[0], image[1], image[2]});
    transferred += link.SendCommand(op::UpgradeExit, {0, 0, 1});
    link.SetConnected(false);
    link.Release();

    const std::size_t reports = (sent.size() + 511) / 512 + (sent.size() + 55) / 56 + 3;
    if (transferred != static_cast<int>(reports * kReportSize)) {
        return "only " + std::to_string(transferred) + " of " + std::to_string(reports * kReportSize) +
               " bytes were transferred";
    }
    std::ofstream out(args[0], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(sent.data()), static_cast<std::streamsize>(sent.size()));
    out.close();
    return out ? "" : "cannot write " + args[0];
}

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

// The amplifier is unplugged and plugged in again while connected: the watcher tells of the removal of the
// opened device and of the new arrival, and the session reconnects and reads everything again.
Verdict ReplugScenario(const std::vector<std::string>& args) {
    const pid_t amp = args.size() == 1 ? static_cast<pid_t>(std::atoi(args[0].c_str())) : 0;
    if (amp <= 0) {
        return "usage: replug AMPLIFIER-PID";
    }
    auto backend = std::make_shared<HidapiBackend>();
    Sightings sightings;
    std::unique_ptr<DeviceWatcher> watcher = CreateDeviceWatcher(backend);
    if (!watcher->Start([&](bool arrived, const std::string& path) { sightings.Add(arrived, path); })) {
        return "the device watcher could not start";
    }
    CVQ421Dll session(std::make_shared<HidProvider>(backend), QuickStart());
    if (session.TryConnDevice(nullptr) != 1) {
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
    if (session.TryConnDevice(nullptr) != 1) {
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

// Tells of the keys the session reports learnt.
class KeyObserver : public SessionObserver {
  public:
    void OnKeyStudied(std::uint8_t keyCode) override {
        {
            std::lock_guard lock(mutex_);
            codes_.push_back(keyCode);
        }
        changed_.notify_all();
    }
    std::optional<std::uint8_t> Wait() {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, kEventWait, [this] { return !codes_.empty(); })) {
            return std::nullopt;
        }
        return codes_.front();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint8_t> codes_;
};

// A key is learnt while the session waits: the amplifier reports it unasked, and the session stores it in
// the IR record and tells its owner. The amplifier's remote key is 0,69 (its default).
Verdict LearnKeyScenario(const std::vector<std::string>& args) {
    const pid_t amp = args.size() == 1 ? static_cast<pid_t>(std::atoi(args[0].c_str())) : 0;
    if (amp <= 0) {
        return "usage: learn-key AMPLIFIER-PID";
    }
    constexpr int kKeyIndex = 5;
    constexpr std::uint8_t kKeyCode = 69;
    KeyObserver observer;
    CVQ421Dll session(KernelHid(), QuickStart());
    if (session.TryConnDevice(&observer) != 1) {
        return "no amplifier found over HID";
    }
    session.GetRemote().StudyKey(kKeyIndex);
    ::kill(amp, SIGUSR2);
    const std::optional<std::uint8_t> code = observer.Wait();
    session.Disconnect(true);
    if (!code) {
        return "no learnt key was reported";
    }
    if (*code != kKeyCode || session.GetRemote().GetRecord()[kKeyIndex] != kKeyCode) {
        return "key index " + std::to_string(kKeyIndex) + " learnt " + Hex(*code) + ", stored " +
               Hex(session.GetRemote().GetRecord()[kKeyIndex]) + ", expected " + Hex(kKeyCode);
    }
    return {};
}

// Times command and reply pairs through the kernel (a figure for the log, not a verdict).
Verdict RoundTripsScenario(const std::vector<std::string>& args) {
    const int count = args.empty() ? 1000 : std::atoi(args[0].c_str());
    HidProvider provider(std::make_shared<HidapiBackend>());
    OpenResult opened = provider.Open(kNormalIds, kUpgradeIds);
    if (!opened.transport) {
        return "no amplifier found over HID: " + opened.failure;
    }
    Report command{};
    command[0] = 2;
    command[1] = op::ReadDevName;
    const auto start = Clock::now();
    for (int i = 0; i < count; ++i) {
        if (opened.transport->Transfer(command) != static_cast<int>(kReportSize)) {
            return "transfer " + std::to_string(i) + " failed";
        }
        const auto reply = opened.transport->ReadOne(std::chrono::seconds(5));
        if (!reply || (*reply)[1] != op::ReadDevName) {
            return "no reply to command " + std::to_string(i);
        }
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    std::printf("%d round trips in %.1f ms\n", count, static_cast<double>(elapsed.count()) / 1000.0);
    return {};
}

}  // namespace
}  // namespace varnoth

int main(int argc, char** argv) {
    using namespace varnoth;
    const std::map<std::string, std::function<Verdict(const std::vector<std::string>&)>> scenarios = {
        {"read-all", ReadAllScenario},
        {"write-all", WriteAllScenario},
        {"check-written", CheckWrittenScenario},
        {"upgrade", UpgradeScenario},
        {"replug", ReplugScenario},
        {"learn-key", LearnKeyScenario},
        {"round-trips", RoundTripsScenario},
    };
    const auto found = argc >= 2 ? scenarios.find(argv[1]) : scenarios.end();
    if (found == scenarios.end()) {
        std::fprintf(
            stderr,
            "usage: varnoth-vm-driver read-all|write-all|check-written|upgrade FILE|replug PID|learn-key "
            "PID|round-trips [N]\n");
        return 2;
    }
    if (std::getenv("VARNOTH_TRACE") != nullptr) {
        EnableTraceToStderr();
    }
    const Verdict verdict = found->second(std::vector<std::string>(argv + 2, argv + argc));
    if (verdict.empty()) {
        std::printf("PASS %s\n", argv[1]);
        return 0;
    }
    std::printf("FAIL %s: %s\n", argv[1], verdict.c_str());
    return 1;
}
