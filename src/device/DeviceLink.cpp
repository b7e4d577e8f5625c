// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceLink.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "device/Opcodes.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

std::uint32_t RegisterKey(std::uint8_t block, std::uint8_t index, std::uint8_t channel) {
    return static_cast<std::uint32_t>(block) << 16 | static_cast<std::uint32_t>(index) << 8 | channel;
}

struct RouteEntry {
    std::uint8_t opcode;
    void (*route)(ReplySink&, const Report&);
};

// What each reply does, decoded; a reply with any other opcode does nothing.
constexpr std::array<RouteEntry, 9> kRoutes{{
    {op::ReadCurEffectMode,
     [](ReplySink& s, const Report& r) { s.OnCurEffectMode(wire::CurEffectModeReply::Decode(r).mode); }},
    {op::ReadRegister,
     [](ReplySink& s, const Report& r) {
         if (const std::optional<wire::LevelsReply> levels = wire::LevelsReply::Decode(r)) {
             s.OnLevels(*levels);
         }
     }},
    {op::ReadRegisterArray,
     [](ReplySink& s, const Report& r) { s.OnRegisterArray(wire::RegisterArrayReply::Decode(r)); }},
    {op::ReadMicControlSub,
     [](ReplySink& s, const Report& r) {
         const wire::MicControlSubReply reply = wire::MicControlSubReply::Decode(r);
         s.OnMicControlSub(reply.time, reply.rate);
     }},
    {op::StudyKey,
     [](ReplySink& s, const Report& r) {
         const wire::KeyStudiedReply reply = wire::KeyStudiedReply::Decode(r);
         s.OnKeyStudied(reply.systemCode, reply.keyIndex, reply.keyCode);
     }},
    {op::ReadIRSet,
     [](ReplySink& s, const Report& r) { s.OnIrRecord(wire::IrRecordReply::Decode(r).record); }},
    {op::ReadDevName, [](ReplySink& s, const Report& r) { s.OnDevName(wire::DevNameReply::Decode(r).name); }},
    {op::ReadDevDate, [](ReplySink& s, const Report& r) { s.OnDevDate(wire::DevDateReply::Decode(r).date); }},
    {op::Machine_ReadAll,
     [](ReplySink& s, const Report& r) { s.OnMachineRecord(wire::MachineRecordReply::Decode(r).record); }},
}};

}  // namespace

DeviceLink::DeviceLink(ReplySink& sink, LinkTiming timing, LinkEvents* events)
    : m_sink(sink), m_timing(timing), m_events(events) {}

DeviceLink::~DeviceLink() {
    SetConnected(false);
    Release();
}

bool DeviceLink::IsLinkThread() const {
    return m_linkThreadId.load() == std::this_thread::get_id();
}

int DeviceLink::WriteReport(const Report& report, int expectedLength) {
    if (IsLinkThread()) {
        const int count = Transfer(report, expectedLength);
        AwaitReply(report[1]);
        return count;
    }
    Submission submission;
    submission.reports.push_back(report);
    submission.expectedLength = expectedLength;
    return Submit(std::move(submission));
}

int DeviceLink::WriteRegisters(std::span<const Report> writes) {
    if (IsLinkThread()) {
        int count = 0;
        for (const Report& report : writes) {
            count = Transfer(report, static_cast<int>(kReportSize));
            AwaitReply(report[1]);
        }
        return count;
    }
    Submission submission;
    submission.kind = Kind::RegisterWrite;
    submission.reports.assign(writes.begin(), writes.end());
    return Submit(std::move(submission));
}

int DeviceLink::QueueRegisters(std::span<const Report> writes) {
    Submission submission;
    submission.kind = Kind::RegisterWrite;
    submission.reports.assign(writes.begin(), writes.end());
    return Submit(std::move(submission), false);
}

int DeviceLink::Poll(const Report& report) {
    return Poll(std::span<const Report>(&report, 1));
}

int DeviceLink::Poll(std::span<const Report> reports) {
    if (IsLinkThread()) {
        int count = 0;
        for (const Report& report : reports) {
            count = WriteReport(report);
        }
        return count;
    }
    Submission submission;
    submission.kind = Kind::Poll;
    submission.reports.assign(reports.begin(), reports.end());
    return Submit(std::move(submission));
}

bool DeviceLink::RunSequence(std::function<void()> body, std::chrono::milliseconds delay) {
    Submission submission;
    submission.kind = Kind::Sequence;
    submission.body = std::move(body);
    {
        std::lock_guard lock(m_queueMutex);
        if (!AcceptingLocked()) {
            return false;
        }
        // Without a delay it takes its place at once: what is submitted after it goes out after it.
        if (delay <= std::chrono::milliseconds::zero()) {
            m_queue.push_back(std::move(submission));
        } else {
            m_delayed.push_back(Delayed{Clock::now() + delay, std::move(submission)});
        }
    }
    m_queueChanged.notify_all();
    return true;
}

bool DeviceLink::AcceptingLocked() const {
    return m_linkThread.joinable() && !m_abandon && !m_finishing && m_connected.load();
}

int DeviceLink::Submit(Submission submission, bool callerMayWait) {
    std::unique_lock lock(m_queueMutex);
    if (!AcceptingLocked()) {
        return 0;
    }
    const bool wait = callerMayWait && m_callersWait.load();
    if (!wait) {
        if (submission.kind == Kind::Poll && (m_busy || !m_queue.empty())) {
            return 0;
        }
        if (submission.kind == Kind::RegisterWrite && CollapseLocked(submission)) {
            return static_cast<int>(kReportSize);
        }
    }
    std::shared_ptr<Completion> completion;
    if (wait) {
        completion = std::make_shared<Completion>();
        submission.completion = completion;
    }
    TellQueuedLocked(submission);
    m_queue.push_back(std::move(submission));
    m_queueChanged.notify_all();
    if (!completion) {
        return static_cast<int>(kReportSize);
    }
    m_progress.wait(lock, [&] { return completion->done; });
    return completion->count;
}

// A newer write of the same registers replaces the values of one still waiting, as long as only register
// writes have been queued after it: a mode, a read or a record queued in between keeps its place between
// the two.
bool DeviceLink::CollapseLocked(const Submission& submission) {
    const auto sameRegisters = [&](const Submission& waiting) {
        if (waiting.completion || waiting.reports.size() != submission.reports.size()) {
            return false;
        }
        for (std::size_t i = 0; i < waiting.reports.size(); ++i) {
            if (!std::equal(waiting.reports[i].begin() + 1, waiting.reports[i].begin() + 5,
                            submission.reports[i].begin() + 1)) {
                return false;
            }
        }
        return true;
    };
    for (auto it = m_queue.rbegin(); it != m_queue.rend() && it->kind == Kind::RegisterWrite; ++it) {
        if (sameRegisters(*it)) {
            it->reports = submission.reports;
            return true;
        }
    }
    return false;
}

void DeviceLink::TellQueuedLocked(const Submission& submission) {
    if (m_events) {
        for (const Report& report : submission.reports) {
            m_events->OnQueued(report);
        }
    }
}

void DeviceLink::TellUnqueuedLocked(const Submission& submission) {
    if (m_events) {
        for (const Report& report : submission.reports) {
            m_events->OnUnqueued(report);
        }
    }
}

bool DeviceLink::WaitUntilIdle(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_queueMutex);
    return m_progress.wait_for(lock, timeout, [this] {
        return !m_linkThread.joinable() || m_abandon || (m_queue.empty() && m_delayed.empty() && !m_busy);
    });
}

void DeviceLink::StartLinkThread() {
    std::lock_guard control(m_threadControl);
    std::lock_guard lock(m_queueMutex);
    if (m_linkThread.joinable()) {
        return;
    }
    m_abandon = false;
    m_finishing = false;
    if (m_events) {
        m_events->OnLinkStarted();
    }
    m_unacknowledged.clear();
    m_missedReplies.store(0);
    m_lastAnswered.store(true);
    m_linkThread = std::thread([this] { LinkLoop(); });
}

void DeviceLink::StopLinkThread() {
    std::lock_guard control(m_threadControl);
    std::thread ending;
    {
        std::lock_guard lock(m_queueMutex);
        m_abandon = true;
        // The link thread itself cannot wait for its end: a later stop joins it.
        if (!IsLinkThread()) {
            ending = std::move(m_linkThread);
        }
    }
    m_queueChanged.notify_all();
    m_progress.notify_all();
    if (ending.joinable()) {
        ending.join();
    }
}

void DeviceLink::Finish(const Report& farewell) {
    if (IsLinkThread()) {
        return;
    }
    {
        std::lock_guard control(m_threadControl);
        std::thread ending;
        {
            std::lock_guard lock(m_queueMutex);
            if (!m_linkThread.joinable() || m_abandon) {
                return;
            }
            m_finishing = true;
            m_drainDeadline = Clock::now() + m_timing.farewellDrain;
            m_delayed.clear();
            ending = std::move(m_linkThread);
        }
        m_queueChanged.notify_all();
        ending.join();
        std::lock_guard lock(m_queueMutex);
        m_finishing = false;
    }
    Transfer(farewell, static_cast<int>(kReportSize));
}

void DeviceLink::LinkLoop() {
    m_linkThreadId.store(std::this_thread::get_id());
    std::unique_lock lock(m_queueMutex);
    while (!m_abandon) {
        const Clock::time_point now = Clock::now();
        // Sequences whose delay has passed join the queue in the order they fall due.
        // Sequences due at the same time keep the order they were asked for in.
        std::stable_sort(m_delayed.begin(), m_delayed.end(),
                         [](const Delayed& a, const Delayed& b) { return a.due < b.due; });
        while (!m_delayed.empty() && m_delayed.front().due <= now) {
            m_queue.push_back(std::move(m_delayed.front().submission));
            m_delayed.erase(m_delayed.begin());
        }
        if (m_queue.empty()) {
            if (m_finishing) {
                break;
            }
            if (m_delayed.empty()) {
                m_queueChanged.wait(lock);
            } else {
                // A copy: the list may grow (and move) while the lock is given up.
                const Clock::time_point due = m_delayed.front().due;
                m_queueChanged.wait_until(lock, due);
            }
            continue;
        }
        if (m_finishing && now >= m_drainDeadline) {
            Trace("closing: %zu queued submissions not sent\n", m_queue.size());
            break;
        }
        Submission submission = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        Execute(submission);
        lock.lock();
        m_busy = false;
        TellUnqueuedLocked(submission);
        m_progress.notify_all();
    }
    for (Submission& left : m_queue) {
        for (const Report& report : left.reports) {
            if (report[1] == op::WriteRegister) {
                m_unacknowledged[RegisterKey(report[2], report[3], report[4])] = report;
            }
        }
        CompleteLocked(left, 0);
        TellUnqueuedLocked(left);
    }
    m_queue.clear();
    m_delayed.clear();
    m_linkThreadId.store(std::thread::id());
    lock.unlock();
    m_progress.notify_all();
}

void DeviceLink::CompleteLocked(Submission& submission, int count) {
    if (submission.completion) {
        submission.completion->count = count;
        submission.completion->done = true;
    }
}

void DeviceLink::Execute(Submission& submission) {
    if (submission.kind == Kind::Sequence) {
        submission.body();
        return;
    }
    for (std::size_t i = 0; i < submission.reports.size(); ++i) {
        const Report& report = submission.reports[i];
        const int count = Transfer(report, submission.expectedLength);
        if (i + 1 == submission.reports.size() && submission.completion) {
            {
                std::lock_guard lock(m_queueMutex);
                CompleteLocked(submission, count);
            }
            m_progress.notify_all();
        }
        const bool answered = AwaitReply(report[1]);
        NoteAcknowledged(report, answered && count == submission.expectedLength);
    }
}

bool DeviceLink::DrainExpired() const {
    std::lock_guard lock(m_queueMutex);
    return m_finishing && Clock::now() >= m_drainDeadline;
}

int DeviceLink::Transfer(const Report& report, int expectedLength) {
    if (IsLinkThread() && DrainExpired()) {
        return 0;
    }
    std::lock_guard lock(m_writeLock);
    if (!m_connected.load() || !m_transport) {
        return 0;
    }
    if (m_events) {
        std::lock_guard events(m_queueMutex);
        m_events->OnSent(report);
    }
    // Only a reply that comes after this report releases the next one.
    m_replyEvent.Reset(false);
    const int count = m_transport->Transfer(report);
    Trace(">Write: %d %d %d %d %d %d %d %d %d %d \n", report[0], report[1], report[2], report[3], report[4],
          report[5], report[6], report[7], report[8], report[9]);
    if (count != expectedLength) {
        Trace("usb数据写入失败");
    }
    return count;
}

void DeviceLink::NoteAcknowledged(const Report& report, bool acknowledged) {
    if (report[1] != op::WriteRegister) {
        return;
    }
    const std::uint32_t key = RegisterKey(report[2], report[3], report[4]);
    std::lock_guard lock(m_queueMutex);
    if (acknowledged) {
        m_unacknowledged.erase(key);
    } else {
        m_unacknowledged[key] = report;
    }
}

std::vector<Report> DeviceLink::UnacknowledgedWrites() const {
    std::lock_guard lock(m_queueMutex);
    std::vector<Report> writes;
    for (const auto& [key, report] : m_unacknowledged) {
        writes.push_back(report);
    }
    return writes;
}

bool DeviceLink::AwaitReply(std::uint8_t opcode) {
    // Nothing went out, or nothing more will.
    if (!m_connected.load() || DrainExpired()) {
        return false;
    }
    std::chrono::milliseconds wait = m_timing.replyWait;
    {
        std::lock_guard lock(m_queueMutex);
        if (m_finishing) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_drainDeadline - Clock::now());
            wait = std::clamp(left, std::chrono::milliseconds(0), wait);
        }
    }
    const bool answered = m_replyEvent.WaitFor(wait);
    m_lastAnswered.store(answered);
    // A learnt key answers a study request whenever the user presses the remote: its silence is no fault.
    if (!m_connected.load() || opcode == op::StudyKey || DrainExpired()) {
        return answered;
    }
    if (answered) {
        if (m_missedReplies >= kMissedRepliesForSilence && m_answeringHandler) {
            m_answeringHandler(true);
        }
        m_missedReplies.store(0);
        return true;
    }
    Trace("no reply to command %d\n", opcode);
    if (m_missedReplies.fetch_add(1) + 1 == kMissedRepliesForSilence && m_answeringHandler) {
        m_answeringHandler(false);
    }
    return false;
}

void DeviceLink::SetConnected(bool connected) {
    if (connected) {
        m_connected.store(true);
        StartLinkThread();
        return;
    }
    m_connected.store(false);
    m_replyEvent.Set();
    StopLinkThread();
}

DeviceLink::Route DeviceLink::FindRoute(std::uint8_t opcode) {
    const auto* entry = std::find_if(kRoutes.begin(), kRoutes.end(),
                                     [opcode](const RouteEntry& e) { return e.opcode == opcode; });
    return entry == kRoutes.end() ? nullptr : entry->route;
}

void DeviceLink::DispatchReport(const Report& report) {
    if (const Route route = FindRoute(report[1])) {
        route(m_sink, report);
    }
    // A learnt key arrives whenever the user presses the remote; it answers no pending command.
    if (report[1] != op::StudyKey) {
        m_replyEvent.Set();
    }
}

void DeviceLink::Attach(std::unique_ptr<Transport> transport) {
    std::lock_guard lock(m_writeLock);
    m_replyEvent.Reset(true);
    m_transport = std::move(transport);
}

bool DeviceLink::HasTransport() const {
    return m_transport != nullptr;
}

void DeviceLink::StartReader() {
    if (!m_transport || m_readerRunning.load()) {
        return;
    }
    m_readerRunning.store(true);
    m_transport->StartReader([this](const Report& report) { DispatchReport(report); });
}

bool DeviceLink::StopReader() {
    if (!m_transport || !m_readerRunning.load()) {
        return true;
    }
    const bool ended = m_transport->StopReader(m_timing.readerExitWait);
    m_readerRunning.store(false);
    return ended;
}

void DeviceLink::Release() {
    StopReader();
    std::unique_ptr<Transport> closing;
    {
        std::lock_guard lock(m_writeLock);
        closing = std::move(m_transport);
    }
    // Destroying the transport ends a reader that did not stop in time.
    closing.reset();
}

int DeviceLink::ReadOne(std::chrono::milliseconds timeout) {
    if (!m_transport || m_readerRunning.load()) {
        return 0;
    }
    const std::optional<Report> report = m_transport->ReadOne(timeout);
    if (!report) {
        return 0;
    }
    DispatchReport(*report);
    return 1;
}

}  // namespace varnoth
