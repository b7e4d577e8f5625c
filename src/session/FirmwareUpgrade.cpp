// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/FirmwareUpgrade.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>

#include "device/Commands.h"
#include "device/DeviceLink.h"
#include "device/Trace.h"
#include "session/FileKind.h"

namespace varnoth {
namespace {

// The closing pair: the announcement of the head at 0xE400 with its mark, then its three bytes.
constexpr std::uint16_t kHeadAddress = 0xE400;
constexpr std::uint8_t kHeadMark = 0x20;
// What the image's bytes 1 and 2 become on the way; the amplifier gets the real ones at 0xE400 last.
constexpr std::uint8_t kPatch1 = 0xF1;
constexpr std::uint8_t kPatch2 = 0x88;

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::optional<int> Digits(const std::string& text, std::size_t first, std::size_t count) {
    int value = 0;
    for (std::size_t i = first; i < first + count; ++i) {
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// An Intel HEX file is text: records of the form ":llaaaatt…cc" on lines of their own, perhaps after a
// byte-order mark.
bool LooksLikeIntelHex(const std::vector<std::uint8_t>& bytes) {
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(FileKind::ByteOrderMarkSize(bytes));
    if (first == bytes.end() || *first != ':') {
        return false;
    }
    return std::all_of(first, bytes.end(), [](std::uint8_t b) {
        return std::isxdigit(b) || b == ':' || b == '\r' || b == '\n' || b == ' ' || b == '\t';
    });
}

// Plain ASCII text (a listing, a script, a hex dump): printable characters and line breaks only.
bool LooksLikeAsciiText(const std::vector<std::uint8_t>& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) {
        return (b >= 0x20 && b < 0x7F) || b == '\r' || b == '\n' || b == '\t';
    });
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

UpgradeFault SizeFault(std::size_t size) {
    return size < FirmwareUpgrade::kMinImageSize ? UpgradeFault::TooSmall : UpgradeFault::TooLarge;
}

}  // namespace

FirmwareUpgrade::FirmwareUpgrade(DeviceLink& link) : m_link(link) {}

std::optional<DeviceDate> FirmwareUpgrade::ParseDeviceDate(const std::string& date) {
    const std::optional<int> year = Digits(date, 0, 4);
    const std::optional<int> month = Digits(date, 5, 2);
    const std::optional<int> day = Digits(date, 8, 2);
    if (!year || !month || !day || *year < 1900) {
        return std::nullopt;
    }
    const std::chrono::year_month_day calendar{std::chrono::year{*year},
                                               std::chrono::month{static_cast<unsigned>(*month)},
                                               std::chrono::day{static_cast<unsigned>(*day)}};
    if (!calendar.ok()) {
        return std::nullopt;
    }
    return DeviceDate{*year, *month, *day};
}

std::string FirmwareUpgrade::DateText(const DeviceDate& date) {
    char text[16];
    std::snprintf(text, sizeof text, "%4d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

FirmwareCheck FirmwareUpgrade::CheckVersion(const std::string& devName, const std::string& devDate) {
    if (!SameIgnoringCase(devName, kModelName)) {
        return FirmwareCheck::ForeignModel;
    }
    const std::optional<DeviceDate> date = ParseDeviceDate(devDate);
    if (!date) {
        Trace("firmware date \"%s\" cannot be read\n", devDate.c_str());
        return FirmwareCheck::Same;
    }
    if (*date < kImageDate) {
        return FirmwareCheck::Older;
    }
    return *date == kImageDate ? FirmwareCheck::Same : FirmwareCheck::Newer;
}

std::string FirmwareUpgrade::ImageProblem(std::size_t size) {
    if (size < kMinImageSize) {
        return "it holds " + std::to_string(size) + " bytes; a firmware image holds at least " +
               std::to_string(kMinImageSize);
    }
    if (size > kMaxImageSize) {
        return "it holds more than " + std::to_string(kMaxImageSize) +
               " bytes, beyond the amplifier's 16-bit addresses";
    }
    return {};
}

UpgradeResult FirmwareUpgrade::ReadImageFile(const std::string& path, std::vector<std::uint8_t>& image) {
    const auto refused = [&path](UpgradeFault fault, std::string message, std::size_t count = 0,
                                 int systemError = 0) {
        return UpgradeResult::Failed(fault, std::move(message), count, path, systemError);
    };
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string refusedHex = "The firmware image " + Quoted(path) +
                                   " is an Intel HEX text file; only raw binary images (.bin) can be sent.";
    if (extension == ".hex") {
        return refused(UpgradeFault::HexFile, refusedHex);
    }
    // Only a regular file: a pipe or a device would block the read or never end.
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!error && !std::filesystem::is_regular_file(status)) {
        return refused(UpgradeFault::CannotOpen,
                       "The firmware image " + Quoted(path) + " is not a regular file.", 0, EINVAL);
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int error = errno;
        return refused(UpgradeFault::CannotOpen,
                       "Can't open the firmware image " + Quoted(path) + ": " + std::strerror(error) + ".", 0,
                       error);
    }
    // One byte more than the largest image tells an oversized file without reading all of it.
    std::vector<std::uint8_t> bytes(kMaxImageSize + 1);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (file.bad()) {
        return refused(UpgradeFault::CannotRead, "Can't read the firmware image " + Quoted(path) + ".");
    }
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (UpgradeResult problem = ImageBytesProblem(path, bytes); problem.fault != UpgradeFault::None) {
        return problem;
    }
    image = std::move(bytes);
    UpgradeResult readable;
    readable.count = image.size();
    readable.path = path;
    return readable;
}

UpgradeResult FirmwareUpgrade::ImageBytesProblem(const std::string& path,
                                                 const std::vector<std::uint8_t>& bytes) {
    const auto refused = [&path](UpgradeFault fault, std::string message, std::size_t count = 0) {
        return UpgradeResult::Failed(fault, std::move(message), count, path, 0);
    };
    if (LooksLikeIntelHex(bytes)) {
        return refused(UpgradeFault::HexFile,
                       "The firmware image " + Quoted(path) +
                           " is an Intel HEX text file; only raw binary images (.bin) can be sent.");
    }
    if (const std::string problem = ImageProblem(bytes.size()); !problem.empty()) {
        return refused(SizeFault(bytes.size()),
                       "The firmware image " + Quoted(path) + " cannot be sent: " + problem + ".",
                       bytes.size());
    }
    const auto text = [&] {
        return refused(UpgradeFault::TextFile, "The firmware image " + Quoted(path) +
                                                   " is a text file, not a raw binary image (.bin).");
    };
    if (LooksLikeAsciiText(bytes)) {
        return text();
    }
    if (std::all_of(bytes.begin(), bytes.end(), [&](std::uint8_t b) { return b == bytes.front(); })) {
        char value[8];
        std::snprintf(value, sizeof value, "0x%02X", bytes.front());
        return refused(
            UpgradeFault::OneValue,
            "The firmware image " + Quoted(path) + " holds no firmware: every byte is " + value + ".",
            bytes.front());
    }
    if (FileKind::IsText(bytes)) {
        return text();
    }
    if (const std::optional<FileKind::Kind> kind = FileKind::Recognise(bytes)) {
        return refused(UpgradeFault::OtherKind,
                       "The firmware image " + Quoted(path) + " is " + FileKind::Name(*kind, 1) +
                           ", not a raw binary image (.bin).",
                       *kind);
    }
    return UpgradeResult{};
}

UpgradeResult FirmwareUpgrade::StartUpgrade(const std::string& path) {
    std::vector<std::uint8_t> image;
    if (UpgradeResult check = ReadImageFile(path, image); check.fault != UpgradeFault::None) {
        return check;
    }
    UpgradeResult result = StartUpgrade(image);
    result.path = path;
    return result;
}

UpgradeResult FirmwareUpgrade::StartUpgrade(std::span<const std::uint8_t> image) {
    if (const std::string problem = ImageProblem(image.size()); !problem.empty()) {
        return UpgradeResult::Failed(SizeFault(image.size()),
                                     "The firmware image cannot be sent: " + problem + ".", image.size());
    }
    if (m_running.exchange(true)) {
        return UpgradeResult::Failed(UpgradeFault::Busy, "A firmware transfer is already running.");
    }
    m_stopRequested.store(false);
    m_progress.store(0, std::memory_order_relaxed);
    UpgradeResult result;
    if (m_link.IsLinkThread()) {
        result = Transfer(image);
    } else {
        // Only the link thread sees whether each report was acknowledged: the transfer takes its turn there.
        auto promise = std::make_shared<std::promise<UpgradeResult>>();
        std::future<UpgradeResult> ended = promise->get_future();
        if (!m_link.RunSequence([this, image, promise] { promise->set_value(Transfer(image)); })) {
            promise->set_value(UpgradeResult::Failed(UpgradeFault::NotConnected,
                                                     "No amplifier is connected; nothing was sent."));
        }
        promise.reset();
        try {
            result = ended.get();
        } catch (const std::future_error&) {
            result = UpgradeResult::Failed(
                UpgradeFault::NotConnected,
                "The amplifier went away before the firmware transfer began; nothing was sent.");
        }
    }
    m_running.store(false);
    return result;
}

UpgradeResult FirmwareUpgrade::Transfer(std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> buffer(image.begin(), image.end());
    const std::uint8_t b0 = buffer[0], b1 = buffer[1], b2 = buffer[2];
    buffer[1] = kPatch1;
    buffer[2] = kPatch2;
    const Stop stop = TransferImage(buffer.data(), buffer.size());
    if (stop.fault != UpgradeFault::None) {
        return Failure(stop, image.size());
    }
    if (!DecodeUpgrade(b0, b1, b2)) {
        return UpgradeResult::Failed(
            UpgradeFault::NotClosed,
            "The amplifier did not confirm the end of the firmware transfer; it may not start. Switch it "
            "off, switch it on in upgrade mode (hold ENTER while switching it on) and upgrade again.");
    }
    return UpgradeResult::Sent(image.size(), "The firmware image (" + std::to_string(image.size()) +
                                                 " bytes) was sent to the amplifier and every report was "
                                                 "acknowledged.");
}

UpgradeResult FirmwareUpgrade::Failure(const Stop& stop, std::size_t size) const {
    UpgradeResult result;
    result.fault = stop.fault;
    result.page = stop.address / kPageSize + 1;
    result.pages = (size + kPageSize - 1) / kPageSize;
    result.percent = GetProgress();
    const std::string reached = "at page " + std::to_string(result.page) + " of " +
                                std::to_string(result.pages) + " (" + std::to_string(result.percent) +
                                "% acknowledged)";
    const std::string again =
        " The amplifier's firmware is incomplete and was not started. Switch the amplifier off, switch it on "
        "in upgrade mode (hold ENTER while switching it on) and upgrade again.";
    switch (stop.fault) {
        case UpgradeFault::Stopped:
            result.message = "The firmware transfer was stopped " + reached + "." + again;
            break;
        case UpgradeFault::Unplugged:
            result.message = "The amplifier went away during the firmware transfer, " + reached + "." + again;
            break;
        case UpgradeFault::NoReply:
            result.message = "The amplifier did not acknowledge a report of the firmware image " + reached +
                             "; the transfer stopped there." + again;
            break;
        default:
            result.message = "A report of the firmware image could not be sent " + reached +
                             " (was the amplifier unplugged?); the transfer stopped there." + again;
            break;
    }
    return result;
}

UpgradeFault FirmwareUpgrade::Send(const Report& report) {
    if (m_stopRequested.load()) {
        return UpgradeFault::Stopped;
    }
    if (!m_link.IsConnected()) {
        return UpgradeFault::Unplugged;
    }
    const int count = m_link.WriteReport(report);
    if (!m_link.IsConnected()) {
        return UpgradeFault::Unplugged;
    }
    if (count != static_cast<int>(kReportSize)) {
        return UpgradeFault::NotSent;
    }
    return m_link.LastAnswered() ? UpgradeFault::None : UpgradeFault::NoReply;
}

FirmwareUpgrade::Stop FirmwareUpgrade::TransferImage(const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t a = 0; a < size; a += kPageSize) {
        const Report announce = wire::UpgradeBlock{static_cast<std::uint16_t>(a)}.Encode();
        if (const UpgradeFault fault = Send(announce); fault != UpgradeFault::None) {
            return {fault, a};
        }
    }
    for (std::size_t off = 0; off < size;) {
        const std::size_t n = std::min(kChunkSize, size - off);
        const Report report =
            wire::UpgradeData::Of(static_cast<std::uint16_t>(off), std::span(bytes + off, n)).Encode();
        if (const UpgradeFault fault = Send(report); fault != UpgradeFault::None) {
            return {fault, off};
        }
        off += n;
        m_progress.store(static_cast<int>(off * 100 / size), std::memory_order_relaxed);
    }
    return {};
}

bool FirmwareUpgrade::DecodeUpgrade(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    const std::array<std::uint8_t, 3> head{a, b, c};
    return Send(wire::UpgradeBlock{kHeadAddress, kHeadMark}.Encode()) == UpgradeFault::None &&
           Send(wire::UpgradeData::Of(kHeadAddress, head).Encode()) == UpgradeFault::None;
}

}  // namespace varnoth
