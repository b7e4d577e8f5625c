#include "device/DeviceLink.h"

#include <algorithm>
#include <array>
#include <utility>

#include "device/Opcodes.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

constexpr std::size_t kFirstArgByte = 2;

// The text of a name or date reply: bytes 2.. up to the first zero byte, at most maxChars of them. Each
// byte is one character (Latin-1), returned as UTF-8.
std::string ReplyText(const Report& report, std::size_t maxChars) {
    const auto* first = report.data() + kFirstArgByte;
    const auto* last = report.data() + report.size();
    const auto* end = std::find(first, last, std::uint8_t{0});
    end = first + std::min(static_cast<std::size_t>(end - first), maxChars);
    std::string text;
    for (const auto* p = first; p != end; ++p) {
        if (*p < 0x80) {
            text += static_cast<char>(*p);
        } else {
            text += static_cast<char>(0xC0 | (*p >> 6));
            text += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return text;
}

struct RouteEntry {
    std::uint8_t opcode;
    void (*route)(ReplySink&, const Report&);
};

// What each reply does; a reply with any other opcode does nothing.
constexpr std::array<RouteEntry, 9> kRoutes{{
    {op::ReadCurEffectMode, [](ReplySink& s, const Report& r) { s.OnCurEffectMode(r[2]); }},
    {op::ReadK750Single, [](ReplySink& s, const Report& r) { s.OnRegisterRead(r); }},
    {op::ReadK750Array, [](ReplySink& s, const Report& r) { s.OnRegisterRead(r); }},
    {op::ReadMicControlSub, [](ReplySink& s, const Report& r) { s.OnMicControlSub(r[3], r[4]); }},
    {op::StudyKey, [](ReplySink& s, const Report& r) { s.OnKeyStudied(r[2], r[3], r[4]); }},
    {op::ReadIRSet,
     [](ReplySink& s, const Report& r) {
         s.OnIrRecord(std::span<const std::uint8_t, ReplySink::kIrRecordSize>(r.data() + kFirstArgByte,
                                                                              ReplySink::kIrRecordSize));
     }},
    {op::ReadDevName, [](ReplySink& s, const Report& r) { s.OnDevName(ReplyText(r, kDevNameChars)); }},
    {op::ReadDevDate, [](ReplySink& s, const Report& r) { s.OnDevDate(ReplyText(r, kDevDateChars)); }},
    {op::Machine_ReadAll,
     [](ReplySink& s, const Report& r) {
         s.OnMachineRecord(std::span<const std::uint8_t, ReplySink::kMachineRecordSize>(
             r.data() + kFirstArgByte, ReplySink::kMachineRecordSize));
     }},
}};

}  // namespace

DeviceLink::DeviceLink(ReplySink& sink, LinkTiming timing) : m_sink(sink), m_timing(timing) {}

DeviceLink::~DeviceLink() {
    m_connected.store(false);
    Release();
}

Report DeviceLink::BuildCommand(int opcode, std::initializer_list<int> args) {
    Report report{};
    report[0] = 2;
    report[1] = static_cast<std::uint8_t>(opcode);
    std::size_t next = kFirstArgByte;
    for (const int value : args) {
        if (value == -1 || next == kReportSize) {
            break;
        }
        report[next++] = static_cast<std::uint8_t>(value & 0xFF);
    }
    return report;
}

int DeviceLink::SendCommand(int opcode, std::initializer_list<int> args) {
    return WriteReport(BuildCommand(opcode, args));
}

int DeviceLink::WriteReport(const Report& report, int expectedLength) {
    std::unique_lock lock(m_writeLock, std::defer_lock);
    if (!lock.try_lock_for(m_timing.lockWait)) {
        Trace("write lock not obtained, report %d dropped\n", report[1]);
        return 0;
    }
    if (!m_connected.load() || !m_transport) {
        return 0;
    }
    // A missing reply is no error: the report goes out anyway, unless the link closed meanwhile.
    m_replyEvent.WaitFor(m_timing.replyWait);
    if (!m_connected.load()) {
        return 0;
    }
    const int count = m_transport->Transfer(report);
    Trace(">Write: %d %d %d %d %d %d %d %d %d %d \n", report[0], report[1], report[2], report[3], report[4],
          report[5], report[6], report[7], report[8], report[9]);
    if (count != expectedLength) {
        Trace("usb数据写入失败");
    }
    return count;
}

void DeviceLink::SetConnected(bool connected) {
    m_connected.store(connected);
    if (!connected) {
        m_replyEvent.Set();
    }
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
