// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/DeviceSession.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "device/Commands.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

// How often a read whose reply was lost is sent again.
constexpr int kAskAgain = 3;

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

DeviceSession::DeviceSession(std::shared_ptr<TransportProvider> provider, LinkTiming timing)
    : m_replies(m_state, m_ledger, m_identity, m_status),
      m_link(m_replies, timing, &m_ledger),
      m_state(m_link, m_ledger),
      m_upgrader(m_link, m_status,
                 [this](std::chrono::milliseconds delay, std::function<void()> body) {
                     RunSequence(delay, std::move(body));
                 }),
      m_follow(timing.followInterval),
      m_provider(std::move(provider)) {
    m_link.SetAnsweringHandler([this](bool answering) {
        m_answering.store(answering);
        if (SessionObserver* observer = m_status.Observer()) {
            observer->OnAnswering(answering);
        }
    });
}

DeviceSession::~DeviceSession() {
    {
        std::lock_guard lock(m_pauseMutex);
        m_status.closing.store(true);
    }
    m_pauseCv.notify_all();
    // Commands return at once from now on, so running workers finish quickly.
    m_link.SetConnected(false);
    std::vector<Worker> workers;
    {
        std::lock_guard lock(m_workersMutex);
        workers.swap(m_workers);
    }
    for (Worker& worker : workers) {
        worker.thread.join();
    }
    m_link.Release();
}

void DeviceSession::SetTransportProvider(std::shared_ptr<TransportProvider> provider) {
    m_provider = std::move(provider);
}

bool DeviceSession::Connect(SessionObserver* observer) {
    if (m_link.IsConnected()) {
        return false;
    }
    m_status.observer.store(observer);
    m_status.upgradeMode.store(false);
    if (!m_provider) {
        return false;
    }
    OpenResult opened = m_provider->Open(kNormalIds, kUpgradeIds);
    m_openFoundDevice.store(!opened.transport && opened.foundDevice);
    if (!opened.transport) {
        m_identity.NotOpened(opened.failure);
        return false;
    }
    m_identity.Opened(opened.path);
    m_answering.store(true);
    ++m_status.connection;
    // What a file load held for the last connection's whole-set write is this amplifier's to tell.
    m_ledger.ReleaseHolds();
    {
        std::lock_guard lock(m_readAllMutex);
        m_readAllDue.reset();
    }
    m_status.upgradeMode.store(opened.upgradeMode);
    m_status.simulated.store(opened.simulated);
    m_link.Attach(std::move(opened.transport));
    m_link.SetConnected(true);
    m_link.StartReader();
    return true;
}

bool DeviceSession::TryDisconnect(const std::string& path) {
    if (!SamePathIgnoringCase(path, GetDevPath())) {
        return false;
    }
    if (m_link.IsConnected()) {
        CloseLink();
    }
    return true;
}

void DeviceSession::Disconnect(bool farewell) {
    if (!m_link.IsConnected()) {
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
        m_link.Finish(m_status.upgradeMode.load() ? wire::UpgradeExit{}.Encode()
                                                  : wire::UnLockMachine{}.Encode());
    }
    CloseLink();
    std::lock_guard lock(m_pauseMutex);
    m_pausesCut = false;
}

void DeviceSession::CloseLink() {
    ++m_status.connection;
    m_link.SetConnected(false);
    if (!m_link.StopReader()) {
        Trace("wait read thread exited time out !\n");
    }
    m_link.Release();
    // A firmware transfer still waiting for its turn went with the connection.
    m_upgrader.ConnectionClosed();
}

bool DeviceSession::RunOnLinkAndWait(const std::function<void()>& sequence) {
    if (m_link.IsLinkThread()) {
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
    if (!m_link.RunSequence([sequence, onRelease] { sequence(); })) {
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
        for (int again = 0;
             again < kAskAgain && m_link.IsLinkThread() && !m_link.LastAnswered() && m_link.Answering();
             ++again) {
            send();
        }
    };
    ask([this] { m_link.Send(wire::ReadDevName{}); });
    ask([this] { m_link.Send(wire::ReadDevDate{}); });
    ask([this] { m_link.Send(wire::ReadCurEffectMode{}); });
    ask([this] { m_link.Send(wire::ReadMicControlSub{}); });
    Store().ReadAllRegisters();
    ask([this] { GetMachineSet().Machine_ReadAll(); });
    ask([this] { GetRemote().ReadIRSet(); });
    // Lets the replies to the last commands arrive.
    PauseUnlessClosing(m_link.Timing().syncTailPause);
}

void DeviceSession::WriteAll() {
    WriteAllNumbered(m_ledger.AskWriteAll());
}

void DeviceSession::WriteAllNumbered(std::uint64_t writeAll) {
    if (RunOnLinkAndWait([this, writeAll] { WriteAllNumbered(writeAll); })) {
        return;
    }
    m_link.Send(wire::SetMicControlSub{m_state.MicControlSubTime(), m_state.MicControlSubRate()});
    m_ledger.ReleaseSentBy(WriteLedger::Record::MicControlSub, writeAll);
    Store().WriteAllRegisters(writeAll);
    if (m_state.WritesMachineRecord()) {
        GetMachineSet().ApplyMachineSet();
    }
    m_ledger.ReleaseSentBy(WriteLedger::Record::Machine, writeAll);
    if (m_state.WritesRemoteRecord()) {
        GetRemote().ApplyIRSet();
    }
    m_ledger.ReleaseSentBy(WriteLedger::Record::Ir, writeAll);
}

void DeviceSession::SynchronizeData(bool write) {
    Trace("Start thread:SynchronizeData\n");
    m_status.synchronised.store(false);
    const std::uint64_t connection = m_status.connection.load();
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
        const std::uint64_t writeAll = m_ledger.AskWriteAll();
        RunSequence(wait, [this, connection, writeAll] { WriteAllSequence(connection, writeAll); });
    } else {
        // The device needs this pause after connecting or switching modes before it answers reads.
        const std::chrono::milliseconds delay = m_link.Timing().syncStartDelay;
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
    if (m_status.closing.load() || m_status.connection.load() != connection) {
        return;
    }
    if (SessionObserver* observer = m_status.Observer()) {
        observer->OnSyncDone(0);
    }
    m_status.synchronised.store(true);
}

void DeviceSession::WriteAllSequence(std::uint64_t connection, std::uint64_t writeAll) {
    WriteAllNumbered(writeAll);
    if (m_status.closing.load() || m_status.connection.load() != connection) {
        return;
    }
    if (SessionObserver* observer = m_status.Observer()) {
        observer->OnSyncDone(1);
    }
    m_status.synchronised.store(true);
}

void DeviceSession::RunSequence(std::chrono::milliseconds delay, std::function<void()> body) {
    if (m_link.RunSequence(body, delay)) {
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
    m_pauseCv.wait_for(lock, delay, [this] { return m_status.closing.load() || m_pausesCut; });
    return !m_status.closing.load();
}

namespace {

int ClampMode(int mode) {
    return std::clamp(mode, 0, 3);
}

}  // namespace

void DeviceSession::LoadMode(int mode, bool readBack) {
    mode = ClampMode(mode);
    m_state.StoreMemoryMode(mode);
    m_link.Send(wire::LoadMode{static_cast<std::uint8_t>(mode)});
    if (readBack) {
        SynchronizeData(false);
    }
}

void DeviceSession::SaveMode(int mode) {
    mode = ClampMode(mode);
    m_state.StoreMemoryMode(mode);
    m_link.Send(wire::SaveMode{static_cast<std::uint8_t>(mode)});
}

void DeviceSession::SaveMode(int mode, std::function<void(bool saved)> saved) {
    mode = ClampMode(mode);
    m_state.StoreMemoryMode(mode);
    // Tells the receipt when the last holder lets go of it: after the command, or unsent.
    struct Receipt {
        std::function<void(bool)> tell;
        std::atomic<bool> saved{false};
        ~Receipt() { tell(saved.load()); }
    };
    auto receipt = std::make_shared<Receipt>();
    receipt->tell = std::move(saved);
    m_link.RunSequence([this, mode, receipt] {
        const bool out =
            m_link.Send(wire::SaveMode{static_cast<std::uint8_t>(mode)}) == static_cast<int>(kReportSize);
        receipt->saved.store(out && m_link.LastAnswered());
    });
}

bool DeviceSession::ResetMode(int mode, bool readBack) {
    mode = ClampMode(mode);
    m_state.StoreMemoryMode(mode);
    if (m_link.Send(wire::ResetMode{static_cast<std::uint8_t>(mode)}) != static_cast<int>(kReportSize)) {
        return false;
    }
    if (readBack) {
        SynchronizeData(false);
    }
    return true;
}

void DeviceSession::ChooseEffectPreset(int effect, std::uint8_t preset) {
    if (effect != 0 && effect != 1) {
        return;
    }
    Store().SetValue(pos::OfEffect(effect, pos::EffectPreset), preset);
    Store().ReadEffectRegisters();
}

std::vector<std::size_t> DeviceSession::UnacknowledgedPositions() const {
    std::vector<std::size_t> positions;
    for (const Report& report : m_link.UnacknowledgedWrites()) {
        const wire::WriteRegister write = wire::WriteRegister::Decode(report);
        for (const std::uint8_t position : PositionsOfRegister(write.block, write.index)) {
            const RegisterEntry& entry = StoreRegisterMap()[position];
            if (!entry.stereo ? entry.channel == write.channel
                              : write.channel == entry.channel || write.channel == entry.channel + 1) {
                positions.push_back(position);
            }
        }
    }
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    return positions;
}

void DeviceSession::SetMicControlSub(std::uint8_t time, std::uint8_t rate) {
    m_state.StoreMicControlSub(time, rate);
    m_link.Send(wire::SetMicControlSub{time, rate});
}

void DeviceSession::UnLockMachine() {
    m_link.Send(wire::UnLockMachine{});
}

bool DeviceSession::ResetMachine() {
    return m_link.Send(wire::ResetMachine{}) == static_cast<int>(kReportSize);
}

std::string DeviceSession::GetCurDevDate() const {
    return FirmwareUpgrade::DateText(FirmwareUpgrade::kImageDate);
}

FollowConditions DeviceSession::FollowNow(bool userDragging) const {
    FollowConditions now;
    now.connected = m_link.IsConnected() && !m_status.upgradeMode.load();
    now.synchronising = !m_status.synchronised.load();
    now.transferring = m_upgrader.IsUpgrading();
    now.answering = m_answering.load();
    now.dragging = userDragging;
    return now;
}

void DeviceSession::PollDevice(bool userDragging) {
    const VolumeFollow::Clock::time_point now = VolumeFollow::Clock::now();
    const bool follow = m_follow.Due(now, FollowNow(userDragging));
    if (Store().PollLevels(follow) && follow) {
        m_follow.Sent(now);
    }
}

bool DeviceSession::ReadIdentity() {
    const DeviceIdentity::Replies before = m_identity.Count();
    m_link.Send(wire::ReadDevName{});
    m_link.Send(wire::ReadDevDate{});
    return m_identity.AwaitDate(before, m_link.Timing().replyWait, [this] { return !m_link.IsConnected(); });
}

void DeviceSession::LoadFileRecords(std::uint8_t micControlSubTime, std::uint8_t micControlSubRate,
                                    const MachineSettings::Record& machine, const RemoteCodes::Record& ir) {
    // Held like the file's parameters until the whole-set write sends them.
    using Record = WriteLedger::Record;
    m_ledger.HoldForNextWriteAll(Record::MicControlSub);
    for (const auto& [record, sent] : {std::pair{Record::Machine, m_state.WritesMachineRecord()},
                                       std::pair{Record::Ir, m_state.WritesRemoteRecord()}}) {
        if (sent) {
            m_ledger.HoldForNextWriteAll(record);
        } else {
            m_ledger.Release(record);
        }
    }
    m_state.StoreMicControlSub(micControlSubTime, micControlSubRate);
    if (m_state.WritesMachineRecord()) {
        GetMachineSet().SetWorkingSettings(machine);
    }
    if (m_state.WritesRemoteRecord()) {
        GetRemote().SetAllKey(ir.data(), static_cast<int>(ir.size()));
    }
}

}  // namespace varnoth
