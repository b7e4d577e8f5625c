// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "device/Protocol.h"
#include "device/Transport.h"

namespace varnoth {

class DeviceLink;

// Why a firmware transfer did not happen or did not complete.
enum class UpgradeFault {
    None,            // sent, or (for a file check) the file can be sent
    NotConnected,    // no amplifier, or it went away before the transfer began: nothing was sent
    NotUpgradeMode,  // the amplifier is not in upgrade mode and would ignore the image: nothing was sent
    NoImage,         // the build carries no image
    Busy,            // a transfer is already running
    HexFile,         // an Intel HEX text file, never flashed as raw bytes
    TextFile,        // another text file (a listing, a hex dump, any encoding), not a raw image
    OtherKind,       // recognisably another kind of file (count holds its FileKind::Kind)
    OneValue,        // every byte holds one value (an erased or zeroed dump; count holds the value)
    CannotOpen,      // the file cannot be opened (systemError says why)
    CannotRead,      // reading the file failed
    TooSmall,        // fewer than kMinImageSize bytes (count holds the size)
    TooLarge,        // more than kMaxImageSize bytes
    // The transfer stopped part-way, before the closing pair (page, pages and percent say where):
    NotSent,    // a report could not be sent
    NoReply,    // the amplifier did not acknowledge a report within the link's reply wait
    Unplugged,  // the amplifier went away
    Stopped,    // the user stopped it (Ctrl+C)
    NotClosed,  // every image report was acknowledged, but not the closing pair
};

// What a firmware transfer came to. The fields let a user interface say it in its own language; the
// message says it in English for the command line and the trace.
struct UpgradeResult {
    bool sent = false;    // every report of the image went out and the amplifier acknowledged each one
    std::string message;  // what was sent, or why nothing (or not all) was
    UpgradeFault fault = UpgradeFault::None;
    std::size_t count = 0;  // the image's size when sent or TooSmall; the byte value when OneValue; the
                            // file's kind when OtherKind
    std::string path;       // the image file, when the transfer was asked for one
    int systemError = 0;    // CannotOpen: the errno of the failed open
    // Where a transfer stopped part-way: in page `page` (from 1) of `pages`, with `percent` of the image
    // acknowledged.
    std::size_t page = 0;
    std::size_t pages = 0;
    int percent = 0;

    static UpgradeResult Sent(std::size_t size, std::string message) {
        UpgradeResult result;
        result.sent = true;
        result.message = std::move(message);
        result.count = size;
        return result;
    }
    static UpgradeResult Failed(UpgradeFault fault, std::string message, std::size_t count = 0,
                                std::string path = {}, int systemError = 0) {
        UpgradeResult result;
        result.message = std::move(message);
        result.fault = fault;
        result.count = count;
        result.path = std::move(path);
        result.systemError = systemError;
        return result;
    }
};

// A firmware date as the amplifier reports it: year, month, day.
struct DeviceDate {
    int year;
    int month;
    int day;
    auto operator<=>(const DeviceDate&) const = default;
};

// How the amplifier's firmware compares with the image the program carries. The numbers are what the
// command line's version report prints.
enum class FirmwareCheck : int { ForeignModel = -2, Newer = -1, Same = 0, Older = 1 };

// The firmware upgrader: the version check against the image the program carries, and the transfer of an
// image into the amplifier's flash while it waits in upgrade mode. An image is announced page by page, sent
// in chunks of 56 bytes with its bytes 1 and 2 replaced by 0xF1 0x88, and closed by writing its own first
// three bytes to 0xE400; the amplifier then runs it.
//
// The transfer runs on the link thread and stops at the first report that does not go out or is not
// acknowledged within the link's reply wait, at an unplug, or at a stop request; the closing pair goes out
// only after every report before it was acknowledged, so a device never runs a half-written image.
class FirmwareUpgrade {
  public:
    // The model the carried image is made for, and the image's firmware date.
    static constexpr const char* kModelName = "VQ317X";
    static constexpr DeviceDate kImageDate{2011, 11, 28};

    // Images the transfer can address: at least 100 bytes (the progress counts hundredths of the image,
    // and the first three bytes are sent twice), at most 64 KiB (addresses are 16 bits).
    static constexpr std::size_t kMinImageSize = 100;
    static constexpr std::size_t kMaxImageSize = 0x10000;
    static constexpr std::size_t kPageSize = 512;
    static constexpr std::size_t kChunkSize = wire::kMaxUpgradeChunk;

    explicit FirmwareUpgrade(DeviceLink& link);

    FirmwareUpgrade(const FirmwareUpgrade&) = delete;
    FirmwareUpgrade& operator=(const FirmwareUpgrade&) = delete;

    // The version check after a synchronisation: ForeignModel when the name is not kModelName (letter case
    // aside), else the device's firmware date against kImageDate: Older, Same or Newer. A date that cannot
    // be read (see ParseDeviceDate) gives Same: nothing is offered for a firmware of unknown age.
    static FirmwareCheck CheckVersion(const std::string& devName, const std::string& devDate);

    // Year, month and day from characters 0..3, 5..6 and 8..9; nothing unless they are digits forming a
    // calendar date from the year 1900 on.
    static std::optional<DeviceDate> ParseDeviceDate(const std::string& date);

    // The text of a date as the amplifier and the upgrade dialog show it, "2011-11-28".
    static std::string DateText(const DeviceDate& date);

    // Empty when an image of this size can be sent, else why not.
    static std::string ImageProblem(std::size_t size);

    // Reads a raw image file whole. Fault None on success, else why not, with a message naming the file: it
    // cannot be opened or read, it is an Intel HEX or other text file (by its extension or its contents; such
    // a file must never be flashed as raw bytes), it holds one byte value only (an erased or zeroed dump), or
    // its size is one ImageProblem refuses.
    static UpgradeResult ReadImageFile(const std::string& path, std::vector<std::uint8_t>& image);
    // The checks of ReadImageFile on the bytes of the file at path (at most kMaxImageSize + 1 of them): fault
    // None when they can be sent, else why not.
    static UpgradeResult ImageBytesProblem(const std::string& path, const std::vector<std::uint8_t>& bytes);

    // Sends the image file at path; refused (nothing sent) when ReadImageFile refuses it.
    UpgradeResult StartUpgrade(const std::string& path);
    // Sends an image held in memory; refused (nothing sent) when ImageProblem refuses its size. One transfer
    // at a time: a call while another runs is refused. Called on another thread than the link thread, the
    // transfer takes its turn on the link thread and the caller waits for its end.
    UpgradeResult StartUpgrade(std::span<const std::uint8_t> image);

    // The closing pair: announces 0xE400 (third byte 0x20) and writes a, b, c there. True when both reports
    // went out and were acknowledged.
    bool DecodeUpgrade(std::uint8_t a, std::uint8_t b, std::uint8_t c);

    // Asks the transfer under way to stop before its next report; the closing pair is not sent then. The
    // request lasts until the next transfer starts.
    void RequestStop() { m_stopRequested.store(true); }

    // Nothing to prepare or to finish: the amplifier's upgrade mode is entered and left at the device.
    void ReadyUpgrade() {}
    void EndUpgrade() {}

    // Percent of the image the amplifier has acknowledged so far.
    int GetProgress() const { return m_progress.load(std::memory_order_relaxed); }
    bool IsRunning() const { return m_running.load(); }

  private:
    // Where a transfer stopped: why (NotSent, NoReply, Unplugged or Stopped; None when it did not), and the
    // image address of the report that failed.
    struct Stop {
        UpgradeFault fault = UpgradeFault::None;
        std::size_t address = 0;
    };

    // Announces every page, then sends the chunks, each after the last was acknowledged.
    Stop TransferImage(const std::uint8_t* bytes, std::size_t size);
    // Sends one report of the transfer and waits for its acknowledgement: None when it was acknowledged.
    UpgradeFault Send(const Report& report);
    UpgradeResult Transfer(std::span<const std::uint8_t> image);
    UpgradeResult Failure(const Stop& stop, std::size_t size) const;

    DeviceLink& m_link;
    std::atomic<int> m_progress{0};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequested{false};
};

}  // namespace varnoth
