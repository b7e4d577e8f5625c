// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/DeviceSession.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "device/Commands.h"
#include "device/Opcodes.h"
#include "device/Trace.h"
#include "session/CarriedFirmware.h"

namespace varnoth {
namespace {

static_assert(ReplySink::kMachineRecordSize == MachineSettings::kRecordSize);
static_assert(ReplySink::kIrRecordSize == RemoteCodes::kRecordSize);

// How often a read whose reply was lost is sent again.
constexpr int kAskAgain = 3;

// The master volumes in store order: mic, music, centre, sub.
std::array<std::uint8_t, 4> MasterVolumes(const ParameterStore& store) {
    return {store.Value(pos::MicVol), store.Value(pos::MusicVol), store.Value(pos::CenterVol),
            store.Value(pos::SubVol)};
}

bool IsMasterVolumeRead(const wire::RegisterArrayReply& reply) {
    const RegisterEntry& volumes = StoreRegisterMap()[pos::MicVol];
    return reply.at == wire::RegisterAddress{volumes.block, volumes.index};
}

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

DeviceSession::DeviceSession(std::shared_ptr<TransportProvider> provider, LinkTiming timing)
    : SessionLinkHolder(*this, timing),
      ParameterStore(m_deviceLink),
      m_machineSettings(m_deviceLink),
      m_remote(m_deviceLink),
      m_upgrade(m_deviceLink),
      m_follow(timing.followInterval),
      m_provider(std::move(provider)) {
    m_deviceLink.SetAnsweringHandler([this](bool answering) {
        m_answering.store(answering);
        if (SessionObserver* observer = Observer()) {
            observer->OnAnswering(answering);
        }
    });
}

DeviceSession::~DeviceSession() {
    {
        std::lock_guard lock(m_pauseMutex);
        m_closing.store(true);
    }
    m_pauseCv.notify_all();
    // Commands return at once from now on, so running workers finish quickly.
    m_deviceLink.SetConnected(false);
    std::vector<Worker> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    for (Worker& worker : workers) {
        worker.thread.join();
    }
    m_deviceLink.Release();
}

void DeviceSession::SetTransportProvider(std::shared_ptr<TransportProvider> provider) {
    m_provider = std::move(provider);
}

int DeviceSession::Connect(SessionObserver* observer) {
    if (m_deviceLink.IsConnected()) {
        return 0;
    }
    m_observer.store(observer);
    m_upgradeMode.store(false);
    if (!m_provider) {
        return 0;
    }
    OpenResult opened = m_provider->Open(kNormalIds, kUpgradeIds);
    m_openFoundDevice.store(!opened.transport && opened.foundDevice);
    if (!opened.transport) {
        std::lock_guard lock(m_textMutex);
        m_openFailure = opened.failure;
        return 0;
    }
    {
        // A new device says who it is in its own replies; nothing of the last one carries over.
        std::lock_guard lock(m_textMutex);
        m_openFailure.clear();
        m_devPath = opened.path;
        m_devName.clear();
        m_devDate.clear();
    }
    m_answering.store(true);
    ++m_connection;
    // What a file load held for the last connection's whole-set write is this amplifier's to tell.
    ReleaseHeldValues();
    m_micSubHeld.store(0);
    m_machineHeld.store(0);
    m_irHeld.store(0);
    {
        std::lock_guard lock(m_readAllMutex);
        m_readAllDue.reset();
    }
    m_upgradeMode.store(opened.upgradeMode);
    m_simulated.store(opened.simulated ? 1 : 0);
    m_deviceLink.Attach(std::move(opened.transport));
    m_deviceLink.SetConnected(true);
    m_deviceLink.StartReader();
    return 1;
}

std::string DeviceSession::GetDevPath() const {
    std::lock_guard lock(m_textMutex);
    return m_devPath;
}

std::string DeviceSession::LastOpenFailure() const {
    std::lock_guard lock(m_textMutex);
    return m_openFailure;
}

bool DeviceSession::TryDisconnect(const std::string& path) {
    if (!SamePathIgnoringCase(path, GetDevPath())) {
        return false;
    }
    if (m_deviceLink.IsConnected()) {
        CloseLink();
    }
    return true;
}

void DeviceSession::Disconnect(bool farewell) {
    if (!m_deviceLink.IsConnected()) {
        return;
    }
    if (farewell) {
        // The farewell never cuts a firmware transfer short: it ends by itself, bounded by its reply waits.
        WaitForUpgradeEnd();
        // A sequence's pause (the read-all's closing one) ends now: the farewell keeps its own bound.
        {
            std::lock_guard lock(m_pauseMutex);
            m_pausesCut = true;
        }
        m_pauseCv.notify_all();
        m_deviceLink.Finish(m_upgradeMode.load() ? wire::UpgradeExit{}.Encode()
                                                 : wire::UnLockMachine{}.Encode());
    }
    CloseLink();
    std::lock_guard lock(m_pauseMutex);
    m_pausesCut = false;
}

void DeviceSession::CloseLink() {
    ++m_connection;
    m_deviceLink.SetConnected(false);
    if (!m_deviceLink.StopReader()) {
        Trace("wait read thread exited time out !\n");
    }
    m_deviceLink.Release();
    // A firmware transfer still waiting for its turn went with the connection.
    if (m_upgrading.load() && !m_upgrade.IsRunning()) {
        SetUpgradeResult(UpgradeResult::Failed(
            UpgradeFault::NotConnected,
            "The amplifier went away before the firmware transfer began; nothing was sent."));
        EndUpgrade();
        if (SessionObserver* observer = Observer(); observer && !IsClosing()) {
            observer->OnUpgradeDone();
        }
    }
}

void DeviceSession::EndUpgrade() {
    {
        std::lock_guard lock(m_upgradeResultMutex);
        m_upgrading.store(false);
    }
    m_upgradeEnded.notify_all();
}

void DeviceSession::WaitForUpgradeEnd() {
    if (m_deviceLink.IsLinkThread()) {
        return;
    }
    std::unique_lock lock(m_upgradeResultMutex);
    if (m_upgrading.load()) {
        Trace("closing: waiting for the firmware transfer to end\n");
    }
    m_upgradeEnded.wait(lock, [this] { return !m_upgrading.load(); });
}

void DeviceSession::StopUpgrade() {
    m_upgrade.RequestStop();
}

bool DeviceSession::RunOnLinkAndWait(const std::function<void()>& sequence) {
    if (m_deviceLink.IsLinkThread()) {
        return false;
    }
    struct Ended {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
    };
    auto ended = std::make_shared<Ended>();
    // Signals when the sequence is gone: run, or discarded unrun by an unplug.
    std::shared_ptr<void> onRelease(nullptr, [ended](void*) {
        {
            std::lock_guard lock(ended->mutex);
            ended->done = true;
        }
        ended->cv.notify_all();
    });
    if (!m_deviceLink.RunSequence([sequence, onRelease] { sequence(); })) {
        return false;
    }
    onRelease.reset();
    std::unique_lock lock(ended->mutex);
    ended->cv.wait(lock, [&] { return ended->done; });
    return true;
}

void DeviceSession::ReadAll() {
    // From another thread the sequence takes its turn on the link thread, where lost replies can be asked
    // for again; the caller waits for it.
    if (RunOnLinkAndWait([this] { ReadAll(); })) {
        return;
    }
    // On the link thread a reply lost on the way is asked for again, while the device answers at all: a
    // lost name would make the device another model, a lost record would show stale settings.
    const auto ask = [this](const std::function<void()>& send) {
        send();
        for (int again = 0; again < kAskAgain && m_deviceLink.IsLinkThread() &&
                            !m_deviceLink.LastAnswered() && m_deviceLink.Answering();
             ++again) {
            send();
        }
    };
    ask([this] { m_deviceLink.Send(wire::ReadDevName{}); });
    ask([this] { m_deviceLink.Send(wire::ReadDevDate{}); });
    ask([this] { m_deviceLink.Send(wire::ReadCurEffectMode{}); });
    ask([this] { m_deviceLink.Send(wire::ReadMicControlSub{}); });
    ReadAllRegisters();
    ask([this] { m_machineSettings.Machine_ReadAll(); });
    ask([this] { m_remote.ReadIRSet(); });
    // Lets the replies to the last commands arrive.
    PauseUnlessClosing(m_deviceLink.Timing().syncTailPause);
}

void DeviceSession::WriteAll() {
    WriteAllNumbered(AskWriteAll());
}

void DeviceSession::WriteAllNumbered(std::uint64_t writeAll) {
    if (RunOnLinkAndWait([this, writeAll] { WriteAllNumbered(writeAll); })) {
        return;
    }
    m_deviceLink.Send(wire::SetMicControlSub{MicControlSubTime.load(), MicControlSubRate.load()});
    ReleaseIfSent(m_micSubHeld, writeAll);
    WriteAllRegisters(writeAll);
    if (m_setMachine.load() != 0) {
        m_machineSettings.ApplyMachineSet();
    }
    ReleaseIfSent(m_machineHeld, writeAll);
    if (m_setRemoter.load() != 0) {
        m_remote.ApplyIRSet();
    }
    ReleaseIfSent(m_irHeld, writeAll);
}

void DeviceSession::SynchronizeData(bool write) {
    Trace("Start thread:SynchronizeData\n");
    m_synchronised.store(false);
    const std::uint64_t connection = Connection();
    std::lock_guard lock(m_readAllMutex);
    const auto now = std::chrono::steady_clock::now();
    if (write) {
        // A write-all never overtakes a read-all still waiting for its start: it would send values never read
        // from this amplifier, and the read-all would then replace what it wrote in the panel.
        // A read-all whose start has passed may still wait for the link (behind a long transfer): the
        // write-all then falls due just after it, which keeps it behind.
        const auto wait = !m_readAllDue ? std::chrono::milliseconds::zero()
                          : *m_readAllDue > now
                              ? std::chrono::ceil<std::chrono::milliseconds>(*m_readAllDue - now)
                              : std::chrono::milliseconds(1);
        const std::uint64_t writeAll = AskWriteAll();
        RunSequence(wait, [this, connection, writeAll] { WriteAllSequence(connection, writeAll); });
    } else {
        // The device needs this pause after connecting or switching modes before it answers reads.
        const std::chrono::milliseconds delay = m_deviceLink.Timing().syncStartDelay;
        m_readAllDue = now + delay;
        RunSequence(delay, [this, connection] { ReadAllSequence(connection); });
    }
}

void DeviceSession::ReadAllSequence(std::uint64_t connection) {
    {
        std::lock_guard lock(m_readAllMutex);
        m_readAllDue.reset();
    }
    ReadAll();
    if (IsClosing() || Connection() != connection) {
        return;
    }
    if (SessionObserver* observer = Observer()) {
        observer->OnSyncDone(0);
    }
    m_synchronised.store(true);
}

void DeviceSession::WriteAllSequence(std::uint64_t connection, std::uint64_t writeAll) {
    WriteAllNumbered(writeAll);
    if (IsClosing() || Connection() != connection) {
        return;
    }
    if (SessionObserver* observer = Observer()) {
        observer->OnSyncDone(1);
    }
    m_synchronised.store(true);
}

void DeviceSession::RunSequence(std::chrono::milliseconds delay, std::function<void()> body) {
    if (m_deviceLink.RunSequence(body, delay)) {
        return;
    }
    StartWorker([this, delay, body = std::move(body)] {
        if (PauseUnlessClosing(delay)) {
            body();
        }
    });
}

void DeviceSession::StartWorker(std::function<void()> body) {
    std::lock_guard lock(m_workersMutex);
    // Joining a worker that has flagged itself done waits at most for its last instructions.
    auto finished =
        std::partition(m_workers.begin(), m_workers.end(), [](const Worker& w) { return !w.done->load(); });
    for (auto it = finished; it != m_workers.end(); ++it) {
        it->thread.join();
    }
    m_workers.erase(finished, m_workers.end());
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_workers.push_back(Worker{std::thread([body = std::move(body), done] {
                                   body();
                                   done->store(true);
                               }),
                               done});
}

bool DeviceSession::PauseUnlessClosing(std::chrono::milliseconds delay) {
    std::unique_lock lock(m_pauseMutex);
    m_pauseCv.wait_for(lock, delay, [this] { return m_closing.load() || m_pausesCut; });
    return !m_closing.load();
}

namespace {

int ClampMode(int mode) {
    return std::clamp(mode, 0, 3);
}

}  // namespace

void DeviceSession::LoadMode(int mode, int readBack) {
    mode = ClampMode(mode);
    SetCurEffectMode(mode);
    m_deviceLink.Send(wire::LoadMode{static_cast<std::uint8_t>(mode)});
    if (readBack != 0) {
        SynchronizeData(false);
    }
}

void DeviceSession::SaveMode(int mode) {
    mode = ClampMode(mode);
    SetCurEffectMode(mode);
    m_deviceLink.Send(wire::SaveMode{static_cast<std::uint8_t>(mode)});
}

void DeviceSession::SaveMode(int mode, std::function<void(bool saved)> saved) {
    mode = ClampMode(mode);
    SetCurEffectMode(mode);
    // Tells the receipt when the last holder lets go of it: after the command, or unsent.
    struct Receipt {
        std::function<void(bool)> tell;
        std::atomic<bool> saved{false};
        ~Receipt() { tell(saved.load()); }
    };
    auto receipt = std::make_shared<Receipt>();
    receipt->tell = std::move(saved);
    m_deviceLink.RunSequence([this, mode, receipt] {
        const bool out = m_deviceLink.Send(wire::SaveMode{static_cast<std::uint8_t>(mode)}) ==
                         static_cast<int>(kReportSize);
        receipt->saved.store(out && m_deviceLink.LastAnswered());
    });
}

int DeviceSession::ResetMode(int mode, int readBack) {
    mode = ClampMode(mode);
    SetCurEffectMode(mode);
    if (m_deviceLink.Send(wire::ResetMode{static_cast<std::uint8_t>(mode)}) !=
        static_cast<int>(kReportSize)) {
        return 0;
    }
    if (readBack != 0) {
        SynchronizeData(false);
    }
    return 1;
}

void DeviceSession::ChooseEffectPreset(int effect, std::uint8_t preset) {
    if (effect != 0 && effect != 1) {
        return;
    }
    SetValue(pos::OfEffect(effect, pos::EffectPreset), preset);
    ReadEffectRegisters();
}

std::vector<std::size_t> DeviceSession::UnacknowledgedPositions() const {
    std::vector<std::size_t> positions;
    for (const Report& write : m_deviceLink.UnacknowledgedWrites()) {
        for (const std::uint8_t position : PositionsOfRegister(write[2], write[3])) {
            const RegisterEntry& entry = StoreRegisterMap()[position];
            if (!entry.stereo ? entry.channel == write[4]
                              : write[4] == entry.channel || write[4] == entry.channel + 1) {
                positions.push_back(position);
            }
        }
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

void DeviceSession::SetMicControlSub(std::uint8_t time, std::uint8_t rate) {
    SetMicControlSubStored(time, rate);
    m_deviceLink.Send(wire::SetMicControlSub{time, rate});
}

void DeviceSession::UnLockMachine() {
    m_deviceLink.Send(wire::UnLockMachine{});
}

int DeviceSession::ResetMachine() {
    return m_deviceLink.Send(wire::ResetMachine{}) == static_cast<int>(kReportSize) ? 1 : 0;
}

std::string DeviceSession::GetDevName() const {
    std::lock_guard lock(m_textMutex);
    return m_devName;
}

std::string DeviceSession::GetDevDate() const {
    std::lock_guard lock(m_textMutex);
    return m_devDate;
}

std::string DeviceSession::GetCurDevDate() const {
    return FirmwareUpgrade::DateText(FirmwareUpgrade::kImageDate);
}

FollowConditions DeviceSession::FollowNow(bool userDragging) const {
    FollowConditions now;
    now.connected = m_deviceLink.IsConnected() && !m_upgradeMode.load();
    now.synchronising = !m_synchronised.load();
    now.transferring = m_upgrading.load();
    now.answering = m_answering.load();
    now.dragging = userDragging;
    return now;
}

void DeviceSession::PollDevice(bool userDragging) {
    const VolumeFollow::Clock::time_point now = VolumeFollow::Clock::now();
    const bool follow = m_follow.Due(now, FollowNow(userDragging));
    if (PollLevels(follow) && follow) {
        m_follow.Sent(now);
    }
}

int DeviceSession::ReadIdentity() {
    unsigned names = 0;
    unsigned dates = 0;
    {
        std::lock_guard lock(m_textMutex);
        names = m_nameReplies;
        dates = m_dateReplies;
    }
    m_deviceLink.Send(wire::ReadDevName{});
    m_deviceLink.Send(wire::ReadDevDate{});
    std::unique_lock lock(m_textMutex);
    m_textArrived.wait_for(lock, m_deviceLink.Timing().replyWait,
                           [&] { return m_dateReplies != dates || !m_deviceLink.IsConnected(); });
    return m_nameReplies != names ? 1 : 0;
}

void DeviceSession::LoadFileRecords(std::uint8_t micControlSubTime, std::uint8_t micControlSubRate,
                                    const MachineSettings::Record& machine, const RemoteCodes::Record& ir) {
    // Held like the file's parameters until the whole-set write sends them.
    const std::uint64_t sentBy = NextWriteAll();
    m_micSubHeld.store(sentBy);
    m_machineHeld.store(m_setMachine.load() != 0 ? sentBy : 0);
    m_irHeld.store(m_setRemoter.load() != 0 ? sentBy : 0);
    SetMicControlSubStored(micControlSubTime, micControlSubRate);
    if (m_setMachine.load() != 0) {
        m_machineSettings.SetWorkingSettings(machine);
    }
    if (m_setRemoter.load() != 0) {
        m_remote.SetAllKey(ir.data(), static_cast<int>(ir.size()));
    }
}

int DeviceSession::TryUpgrade() {
    return StartUpgradeThread([this] { return SendCarriedImage(); });
}

int DeviceSession::TryManualUpgrade(const std::string& path) {
    return StartUpgradeThread([this, path] { return SendImageFile(path); });
}

int DeviceSession::DoUpgrade() {
    return RunUpgradeHere([this] { return SendCarriedImage(); });
}

int DeviceSession::DoManualUpgrade(const std::string& path) {
    return RunUpgradeHere([this, &path] { return SendImageFile(path); });
}

int DeviceSession::StartUpgradeThread(std::function<UpgradeResult()> transfer) {
    if (m_upgrading.exchange(true)) {
        Trace("a firmware transfer is already under way; no second one started\n");
        return 0;
    }
    Trace("Start thread:SynchronizeData\n");
    m_synchronised.store(false);
    const std::uint64_t connection = Connection();
    // The device needs this pause after it has been found in upgrade mode.
    RunSequence(m_deviceLink.Timing().upgradeStartDelay,
                [this, connection, transfer = std::move(transfer)] { UpgradeThread(connection, transfer); });
    return 1;
}

int DeviceSession::RunUpgradeHere(const std::function<UpgradeResult()>& transfer) {
    if (m_upgrading.exchange(true)) {
        Trace("a firmware transfer is already under way; no second one started\n");
        return 0;
    }
    UpgradeResult result = transfer();
    const int sent = result.sent ? 1 : 0;
    SetUpgradeResult(std::move(result));
    EndUpgrade();
    return sent;
}

void DeviceSession::UpgradeThread(std::uint64_t connection, const std::function<UpgradeResult()>& transfer) {
    SetUpgradeResult(transfer());
    EndUpgrade();
    if (IsClosing()) {
        return;
    }
    // The outcome reaches the owner also when the amplifier went away during the transfer.
    if (SessionObserver* observer = Observer()) {
        observer->OnUpgradeDone();
    }
    if (Connection() == connection) {
        m_synchronised.store(true);
    }
}

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

UpgradeResult DeviceSession::SendCarriedImage() {
    if (!m_deviceLink.IsConnected()) {
        return UpgradeResult::Failed(UpgradeFault::NotConnected, "No amplifier is connected.");
    }
    if (!m_upgradeMode.load()) {
        return NotUpgradeMode();
    }
    // The virtual amplifier takes the test image; hardware only ever gets the image the build carries.
    const std::span<const std::uint8_t> image =
        m_simulated.load() != 0 ? TestFirmwareImage() : CarriedFirmwareImage();
    if (image.empty()) {
        return UpgradeResult::Failed(
            UpgradeFault::NoImage,
            "This build carries no firmware image; upgrade from an image file instead.");
    }
    return m_upgrade.StartUpgrade(image);
}

UpgradeResult DeviceSession::SendImageFile(const std::string& path) {
    if (!m_deviceLink.IsConnected()) {
        return UpgradeResult::Failed(UpgradeFault::NotConnected, "No amplifier is connected.", 0, path);
    }
    if (!m_upgradeMode.load()) {
        return NotUpgradeMode(path);
    }
    return m_upgrade.StartUpgrade(path);
}

void DeviceSession::SetUpgradeResult(UpgradeResult result) {
    Trace("upgrade: %s\n", result.message.c_str());
    std::lock_guard lock(m_upgradeResultMutex);
    m_upgradeResult = std::move(result);
}

UpgradeResult DeviceSession::LastUpgradeResult() const {
    std::lock_guard lock(m_upgradeResultMutex);
    return m_upgradeResult;
}

void DeviceSession::OnCurEffectMode(std::uint8_t mode) {
    SetCurEffectMode(mode);
}

void DeviceSession::OnLevels(const wire::LevelsReply& reply) {
    StoreLevels(reply);
}

void DeviceSession::OnRegisterArray(const wire::RegisterArrayReply& reply) {
    if (!IsMasterVolumeRead(reply)) {
        StoreRegisterArray(reply);
        return;
    }
    const auto before = MasterVolumes(*this);
    StoreRegisterArray(reply);
    const auto after = MasterVolumes(*this);
    unsigned followed = 0;
    for (std::size_t volume = 0; volume < before.size(); ++volume) {
        followed |= before[volume] != after[volume] ? 1U << volume : 0U;
    }
    // A synchronisation is no following: what it reads is the panel's starting point.
    if (followed == 0 || !m_synchronised.load()) {
        return;
    }
    m_followedVolumes.fetch_or(followed);
    if (SessionObserver* observer = Observer()) {
        observer->OnVolumesFollowed();
    }
}

void DeviceSession::OnMicControlSub(std::uint8_t time, std::uint8_t rate) {
    // A setting the user chose or a file brought is newer than what the amplifier reports now.
    if (m_micSubHeld.load() != 0 ||
        m_deviceLink.HasNewerCommand(op::SetMicControlSub, op::ReadMicControlSub)) {
        return;
    }
    SetMicControlSubStored(time, rate);
}

void DeviceSession::SetMicControlSubStored(std::uint8_t time, std::uint8_t rate) {
    // Both are stored whether or not the first changed.
    const bool timeChanged = MicControlSubTime.exchange(time) != time;
    const bool rateChanged = MicControlSubRate.exchange(rate) != rate;
    if (timeChanged || rateChanged) {
        MarkChanged(kMicControlSubChange);
    }
}

void DeviceSession::SetCurEffectMode(int mode) {
    if (m_curEffectMode.exchange(mode) != mode) {
        MarkChanged(kModeChange);
    }
}

void DeviceSession::OnStoreChanged() {
    if (SessionObserver* observer = Observer()) {
        observer->OnStoreChanged();
    }
}

void DeviceSession::OnKeyStudied(std::uint8_t systemCode, std::uint8_t keyIndex, std::uint8_t keyCode) {
    // Keys are numbered 1..15; an index beyond the record answers no key we asked for.
    if (keyIndex >= RemoteCodes::kRecordSize) {
        Trace("studied key index %d out of range, ignored\n", keyIndex);
        return;
    }
    m_remote.SetSysKey(systemCode);
    m_remote.SetKey(keyIndex, keyCode);
    if (SessionObserver* observer = Observer()) {
        observer->OnKeyStudied(keyCode);
    }
}

void DeviceSession::OnIrRecord(std::span<const std::uint8_t, kIrRecordSize> record) {
    if (m_irHeld.load() != 0) {
        return;
    }
    m_remote.SetAllKey(record.data(), static_cast<int>(record.size()));
}

void DeviceSession::OnDevName(const std::string& name) {
    {
        std::lock_guard lock(m_textMutex);
        m_devName = name;
        ++m_nameReplies;
    }
    m_textArrived.notify_all();
}

void DeviceSession::OnDevDate(const std::string& date) {
    {
        std::lock_guard lock(m_textMutex);
        m_devDate = date;
        ++m_dateReplies;
    }
    m_textArrived.notify_all();
}

void DeviceSession::OnMachineRecord(std::span<const std::uint8_t, kMachineRecordSize> record) {
    if (m_machineHeld.load() != 0) {
        return;
    }
    m_machineSettings.Machine_SetBuf(record.data());
}

}  // namespace varnoth
