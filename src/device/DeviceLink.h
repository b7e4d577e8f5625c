// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "device/AutoResetEvent.h"
#include "device/Commands.h"
#include "device/LinkEvents.h"
#include "device/ReplySink.h"
#include "device/Transport.h"

namespace varnoth {

// The fixed delays of the link and of the session's worker threads. The defaults are the device's
// timing; tests shorten them. Set them before connecting.
struct LinkTiming {
    std::chrono::milliseconds replyWait{800};           // link thread: wait for a command's reply
    std::chrono::milliseconds farewellDrain{2000};      // closing: longest wait for queued commands
    std::chrono::milliseconds readerExitWait{1000};     // disconnect: wait for the reader to end
    std::chrono::milliseconds syncStartDelay{1300};     // read-all thread: pause before the first command
    std::chrono::milliseconds syncTailPause{200};       // read-all sequence: pause for the last replies
    std::chrono::milliseconds upgradeStartDelay{1300};  // upgrade thread: pause before the first report
    std::chrono::milliseconds followInterval{900};      // level polls: how often the master volumes go along
};

using wire::kDevDateChars;
using wire::kDevNameChars;

// Consecutive replies that may be missing before the link calls the device not answering.
inline constexpr int kMissedRepliesForSilence = 3;

// One link to one amplifier: the connected flag, the open transport, and the link thread that owns every
// transfer. The link thread runs while connected; it takes one submission at a time from its queue, sends
// it and waits for the reply (at most replyWait) before it takes the next, so one command is outstanding.
// Sends the commands of device/Commands.h, routes the replies, decoded, into a ReplySink and tells what it
// queues and sends to its LinkEvents.
//
// Submissions from other threads either wait until their report has gone out (callers that run one step
// after another: the command line, tests) or return as soon as they are queued (the window, which never
// waits for the device); see SetCallersWait. Nothing queued is dropped while the link stays connected:
// successive waiting writes of one register collapse into the newest value, level polls are skipped while
// anything waits, everything else goes out in order. Sequences (read-all, write-all, firmware transfer) run
// on the link thread itself and send directly; an unplug discards whatever the connection had queued.
class DeviceLink {
  public:
    // events, when given, outlives the link.
    explicit DeviceLink(ReplySink& sink, LinkTiming timing = {}, LinkEvents* events = nullptr);
    ~DeviceLink();

    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    const LinkTiming& Timing() const { return m_timing; }
    void SetTiming(const LinkTiming& timing) { m_timing = timing; }

    // Sends one command (device/Commands.h); returns what WriteReport returns. Callable from any thread.
    template <class Command>
    int Send(const Command& command) {
        return WriteReport(command.Encode());
    }
    // The raw form, for any opcode: see wire::CommandReport.
    static Report BuildCommand(int opcode, std::initializer_list<int> args) {
        return wire::CommandReport(opcode, args);
    }
    int SendCommand(int opcode, std::initializer_list<int> args = {}) {
        return WriteReport(BuildCommand(opcode, args));
    }

    // Sends a prepared report (all 61 bytes). On the link thread (inside a sequence) it transfers at once,
    // waits for the reply and returns the count transferred. Elsewhere it queues the report: a waiting
    // caller gets the count once the report has gone out, any other caller kReportSize once it is queued.
    // 0 when not connected, closing, or the link closed before the report went out.
    int WriteReport(const Report& report, int expectedLength = static_cast<int>(kReportSize));

    // The register writes of one parameter (one, or the two of a stereo pair in order), as one submission:
    // while it waits it takes the values of a newer submission of the same registers.
    int WriteRegisters(std::span<const Report> writes);
    // The same, but never waits and never transfers at once, whatever the caller: queued behind what waits.
    // For the reader thread, which must not wait for the link (the link waits for the reader's dispatch).
    int QueueRegisters(std::span<const Report> writes);
    // A level poll: skipped (returns 0) while anything is queued or being sent, so polls never pile up. The
    // reports of one poll go out one after another, each after the previous one's reply.
    int Poll(const Report& report);
    int Poll(std::span<const Report> reports);
    // Runs body on the link thread after delay, in turn with the other submissions (without a delay, after
    // what was submitted before it and before what is submitted after it); false when the link is not
    // running (then nothing runs). The body's commands go out directly, one after another; an unplug
    // makes the rest of them return 0 at once.
    bool RunSequence(std::function<void()> body, std::chrono::milliseconds delay = {});
    // Waits until nothing is queued or being sent (or the link has stopped); false on time-out.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);
    // The register writes of this connection the amplifier never acknowledged: sent without a reply, or still
    // queued when the link stopped sending. A later acknowledged write of the same register delivered it.
    std::vector<Report> UnacknowledgedWrites() const;
    bool IsLinkThread() const;
    // On the link thread: whether the last command sent got its reply in time, and whether the device
    // answers at all (fewer than kMissedRepliesForSilence replies in a row missing).
    bool LastAnswered() const { return m_lastAnswered.load(); }
    bool Answering() const { return m_missedReplies.load() < kMissedRepliesForSilence; }

    // Whether callers on other threads wait until their report went out (default) or return once queued.
    void SetCallersWait(bool wait) { m_callersWait.store(wait); }
    // Called on the link thread when kMissedRepliesForSilence replies in a row went missing (false), and
    // when a reply arrives again after that (true). Set before connecting.
    void SetAnsweringHandler(std::function<void(bool answering)> handler) {
        m_answeringHandler = std::move(handler);
    }

    // Ends the link thread after what is queued (at most farewellDrain; a sequence under way stops sending
    // then), sends the farewell last, and only then returns; the link stays attached and marked connected.
    void Finish(const Report& farewell);

    // Routes one input report by its reply opcode (byte 1) and then releases the next command, except after
    // a key-studied reply.
    void DispatchReport(const Report& report);

    // Setting the flag starts the link thread. Clearing it discards what is queued (waiting callers get 0),
    // wakes the link thread and, except on the link thread itself, waits for it to end.
    void SetConnected(bool connected);
    bool IsConnected() const { return m_connected.load(); }

    // Connect attempt: re-arms the reply event (signalled, so the first command goes out at once) and takes
    // the opened transport.
    void Attach(std::unique_ptr<Transport> transport);
    // Starts the transport's reader, which dispatches every input report.
    void StartReader();
    // Stops the reader, waiting at most readerExitWait; false on time-out.
    bool StopReader();
    // Stops the reader if it runs and closes the transport.
    void Release();
    bool HasTransport() const;

    // Reads one input report (at most timeout) and dispatches it; 1 when one was dispatched. Refused while
    // the reader runs, since both would read the same stream.
    int ReadOne(std::chrono::milliseconds timeout);

  private:
    using Route = void (*)(ReplySink&, const Report&);
    static Route FindRoute(std::uint8_t opcode);
    using Clock = std::chrono::steady_clock;

    struct Completion {
        bool done = false;
        int count = 0;
    };
    enum class Kind { Command, RegisterWrite, Poll, Sequence };
    struct Submission {
        Kind kind = Kind::Command;
        std::vector<Report> reports;
        int expectedLength = static_cast<int>(kReportSize);
        std::function<void()> body;
        std::shared_ptr<Completion> completion;  // set for a caller that waits; guarded by m_queueMutex
    };
    struct Delayed {
        Clock::time_point due;
        Submission submission;
    };

    int Submit(Submission submission, bool callerMayWait = true);
    bool AcceptingLocked() const;
    bool CollapseLocked(const Submission& submission);
    void StartLinkThread();
    void StopLinkThread();
    void LinkLoop();
    void Execute(Submission& submission);
    void CompleteLocked(Submission& submission, int count);
    // The transfer itself and the wait for its reply, both on the link thread.
    int Transfer(const Report& report, int expectedLength);
    // Tells the events of a submission's reports.
    void TellQueuedLocked(const Submission& submission);
    void TellUnqueuedLocked(const Submission& submission);
    // Whether the reply came.
    bool AwaitReply(std::uint8_t opcode);
    // Notes a register write the amplifier did (acknowledged) or did not acknowledge.
    void NoteAcknowledged(const Report& report, bool acknowledged);
    // While closing with a farewell: the moment queued commands stop going out.
    bool DrainExpired() const;

    ReplySink& m_sink;
    LinkTiming m_timing;
    LinkEvents* m_events;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_readerRunning{false};
    std::atomic<bool> m_callersWait{true};
    std::function<void(bool)> m_answeringHandler;
    std::mutex m_writeLock;
    AutoResetEvent m_replyEvent{true};
    // Guarded by m_writeLock for transfers; replaced only by Attach and Release.
    std::unique_ptr<Transport> m_transport;

    // The link thread and its queue, guarded by m_queueMutex.
    mutable std::mutex m_queueMutex;
    std::condition_variable m_queueChanged;  // wakes the link thread
    std::condition_variable m_progress;      // wakes callers waiting for a submission or for idleness
    std::deque<Submission> m_queue;
    std::vector<Delayed> m_delayed;
    // The latest unacknowledged write of each register, by block, index and channel.
    std::unordered_map<std::uint32_t, Report> m_unacknowledged;
    bool m_busy = false;
    bool m_abandon = false;
    bool m_finishing = false;
    Clock::time_point m_drainDeadline;
    std::thread m_linkThread;
    std::atomic<std::thread::id> m_linkThreadId{};
    std::mutex m_threadControl;  // serialises starting and stopping the link thread
    // Written by the link thread only.
    std::atomic<int> m_missedReplies{0};
    std::atomic<bool> m_lastAnswered{true};
};

}  // namespace varnoth
