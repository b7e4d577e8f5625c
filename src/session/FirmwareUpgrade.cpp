#include "session/FirmwareUpgrade.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "device/DeviceLink.h"
#include "device/Opcodes.h"
#include "device/Trace.h"

namespace varnoth {
namespace {

constexpr std::size_t kDataByte = 5;
constexpr std::uint8_t kHeadHigh = 0xE4;
constexpr std::uint8_t kHeadLow = 0x00;
constexpr std::uint8_t kHeadMark = 0x20;
constexpr std::uint8_t kHeadBytes = 3;
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

// An Intel HEX file is text: records of the form ":llaaaatt…cc" on lines of their own.
bool LooksLikeIntelHex(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty() || bytes[0] != ':') {
        return false;
    }
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) {
        return std::isxdigit(b) || b == ':' || b == '\r' || b == '\n' || b == ' ' || b == '\t';
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

int FirmwareUpgrade::IsNeedUp(const std::string& devName, const std::string& devDate) {
    if (!SameIgnoringCase(devName, kModelName)) {
        return kForeignModel;
    }
    const std::optional<DeviceDate> date = ParseDeviceDate(devDate);
    if (!date) {
        Trace("firmware date \"%s\" cannot be read\n", devDate.c_str());
        return kSame;
    }
    if (*date < kImageDate) {
        return kOlder;
    }
    return *date == kImageDate ? kSame : kNewer;
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
    m_progress.store(0, std::memory_order_relaxed);
    std::vector<std::uint8_t> buffer(image.begin(), image.end());
    const std::uint8_t b0 = buffer[0], b1 = buffer[1], b2 = buffer[2];
    buffer[1] = kPatch1;
    buffer[2] = kPatch2;
    int failed = TransferImage(buffer.data(), buffer.size());
    failed += DecodeUpgrade(b0, b1, b2);
    m_running.store(false);
    if (failed != 0) {
        return UpgradeResult::Failed(
            UpgradeFault::ReportsLost,
            std::to_string(failed) +
                " reports of the firmware image could not be sent; the amplifier's "
                "firmware is incomplete. Switch the amplifier on in upgrade mode and "
                "upgrade again.",
            static_cast<std::size_t>(failed));
    }
    return UpgradeResult::Sent(image.size(), "The firmware image (" + std::to_string(image.size()) +
                                                 " bytes) was sent to the amplifier.");
}

int FirmwareUpgrade::TransferImage(const std::uint8_t* bytes, std::size_t size) {
    const int sent = static_cast<int>(kReportSize);
    int failed = 0;
    for (std::size_t a = 0; a < size; a += kPageSize) {
        failed += m_link.SendCommand(op::UpgradeBlock,
                                     {static_cast<int>((a >> 8) & 0xFF), static_cast<int>(a & 0xFF)}) == sent
                      ? 0
                      : 1;
    }
    const std::size_t step = size / 100;
    for (std::size_t off = 0; off < size;) {
        m_progress.store(static_cast<int>(off / step), std::memory_order_relaxed);
        const std::size_t n = std::min(kChunkSize, size - off);
        Report report{};
        report[0] = 2;
        report[1] = op::UpgradeData;
        report[2] = static_cast<std::uint8_t>((off >> 8) & 0xFF);
        report[3] = static_cast<std::uint8_t>(off & 0xFF);
        report[4] = static_cast<std::uint8_t>(n);
        std::copy(bytes + off, bytes + off + n, report.begin() + kDataByte);
        failed += m_link.WriteReport(report) == sent ? 0 : 1;
        off += n;
    }
    return failed;
}

int FirmwareUpgrade::DecodeUpgrade(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    const int sent = static_cast<int>(kReportSize);
    int failed = m_link.SendCommand(op::UpgradeBlock, {kHeadHigh, kHeadLow, kHeadMark}) == sent ? 0 : 1;
    failed += m_link.SendCommand(op::UpgradeData, {kHeadHigh, kHeadLow, kHeadBytes, a, b, c}) == sent ? 0 : 1;
    return failed;
}

}  // namespace varnoth
