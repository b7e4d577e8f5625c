#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>

#include "device/AutoResetEvent.h"
#include "device/ReplySink.h"
#include "device/TimedMutex.h"
#include "device/Transport.h"

namespace varnoth {

// The fixed delays of the link and of the session's worker threads. The defaults are the device's
// timing; tests shorten them. Set them before connecting.
struct LinkTiming {
    std::chrono::milliseconds lockWait{800};            // WriteReport: wait for the write lock
    std::chrono::milliseconds replyWait{800};           // WriteReport: wait for the previous command's reply
    std::chrono::milliseconds readerExitWait{1000};     // disconnect: wait for the reader to end
    std::chrono::milliseconds syncStartDelay{1300};     // read-all thread: pause before the first command
    std::chrono::milliseconds syncTailPause{200};       // read-all sequence: pause for the last replies
    std::chrono::milliseconds upgradeStartDelay{1300};  // upgrade thread: pause before the first report
};

// The longest model name and firmware date a reply may set; longer texts are cut.
inline constexpr std::size_t kDevNameChars = 29;
inline constexpr std::size_t kDevDateChars = 10;

// One link to one amplifier: the connected flag, the open transport, the write lock that serialises report
// transfers and the reply event that paces them to one outstanding command. Builds and sends commands and
// routes the replies into a ReplySink.
class DeviceLink {
  public:
    explicit DeviceLink(ReplySink& sink, LinkTiming timing = {});
    ~DeviceLink();

    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    const LinkTiming& Timing() const { return m_timing; }
    void SetTiming(const LinkTiming& timing) { m_timing = timing; }

    // Builds the output report of a command: report ID 2, the opcode, then the low byte of each argument
    // until the value -1 or until byte 60 is filled.
    static Report BuildCommand(int opcode, std::initializer_list<int> args);

    // Builds and sends one command; returns what WriteReport returns. Callable from any thread.
    int SendCommand(int opcode, std::initializer_list<int> args = {});

    // Sends a prepared report: waits for the write lock and for the reply to the previous command (each at
    // most 800 ms by default), transfers all 61 bytes and returns the count transferred. Returns 0 without
    // sending when not connected or when the write lock stays taken.
    int WriteReport(const Report& report, int expectedLength = static_cast<int>(kReportSize));

    // Routes one input report by its reply opcode (byte 1) and then releases the next command, except after
    // a key-studied reply.
    void DispatchReport(const Report& report);

    // Clearing the flag also wakes a writer waiting for a reply, which then sends nothing.
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

    ReplySink& m_sink;
    LinkTiming m_timing;
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_readerRunning{false};
    TimedMutex m_writeLock;
    AutoResetEvent m_replyEvent{true};
    // Guarded by m_writeLock for transfers; replaced only by Attach and Release.
    std::unique_ptr<Transport> m_transport;
};

}  // namespace varnoth
