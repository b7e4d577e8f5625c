// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnoth {

class DeviceSession;

// The mode data file: one complete parameter set of the amplifier as a raw image of exactly 141 bytes, no
// header. Offsets: 0 the 112 parameter bytes of the store in store order, 112 the mic-controls-sub time and
// 113 its rate, 114 the machine-settings record (saved copy, 11 bytes), 125 the IR key record (16 bytes).
// The master volumes, the levels, the current mode, the device name and date are not in the file.
class ModeDataFile {
  public:
    static constexpr std::size_t kSize = 141;
    static constexpr std::size_t kMicControlSubAt = 112;
    static constexpr std::size_t kMachineAt = 114;
    static constexpr std::size_t kIrAt = 125;
    using Image = std::array<std::uint8_t, kSize>;

    // What a save or load came to: on failure the caption and text of the message for the user.
    struct Result {
        bool ok = false;
        std::string caption;
        std::string message;
    };

    // The session's parameter set as a file image.
    static Image Snapshot(const DeviceSession& session);
    // Puts a file image into the session without sending anything: the store's parameter bytes, the
    // mic-controls-sub setting and, as the session's flags allow, the machine settings (working copy, bytes
    // 0..8) and the IR keys (DeviceSession::LoadFileRecords).
    static void Apply(DeviceSession& session, const Image& image);

    // Writes the session's parameter set to path. Only a regular file (or a new one) is written; through a
    // symbolic link the link's target is. The bytes go to a temporary file beside the target, which is
    // flushed to the disk and then replaces the target, and the folder is flushed too; on failure an
    // existing file stays as it was and the message is the "Can't write to file" one. A file the user has
    // made read-only is not replaced; a replaced file keeps its owner, group and permissions. Messages are in
    // the given language (0 Chinese, else English).
    static Result SaveData(const DeviceSession& session, const std::string& path, int language = 1);
    // Reads the file at path into the session. Anything but a regular file (a folder, a pipe, a device), a
    // file that cannot be read whole, one that does not hold exactly 141 bytes or one with a value the panel
    // cannot produce is refused with a message naming it, and nothing in the session changes.
    static Result LoadData(DeviceSession& session, const std::string& path, int language = 1);

    // The file halves of SaveData and LoadData.
    static Result WriteImage(const std::string& path, const Image& image, int language = 1);
    // Writes any bytes the way SaveData does: a temporary file beside the target replaces it once whole.
    static Result WriteBytes(const std::string& path, std::string_view bytes, int language = 1);
    // checkValues false reads a file whose values are outside the panel's ranges too (only its size counts),
    // for a caller that keeps such values out itself.
    static Result ReadImage(const std::string& path, Image& image, int language = 1, bool checkValues = true);
    // The checks of ReadImage on the bytes read (a file's first kSize + 1 bytes tell its length): the size,
    // then every value (ModeDataCheck). The image is filled only when the bytes are sound.
    static Result ParseBytes(const std::uint8_t* bytes, std::size_t count, const std::string& path,
                             Image& image, int language = 1, bool checkValues = true);
};

// The file dialogs' filter and default extension.
inline constexpr const char* kModeFileFilterName = "Mode Data File(*.vqm)";
inline constexpr const char* kModeFilePattern = "*.vqm";
inline constexpr const char* kModeFileExtension = "vqm";

// The caption of the message when a file cannot be written; the message gives the error code, the path, the
// write protection where that is the cause, and the system's reason in the user's language.
inline constexpr const char* kCantWriteCaption = "Can't write to file";
inline constexpr const char* kCantReadCaption = "Can't read file";
inline constexpr const char* kCantReadCaptionChinese = "无法读取文件";
inline constexpr const char* kBadContentsCaption = "Not a valid mode data file";
inline constexpr const char* kBadContentsCaptionChinese = "模式数据文件无效";

// The name a mode data file is saved under: a name whose extension is "vqm" in any letter case stays as it
// is; any other extension is replaced by "vqm", and a name without one gains it ("set" and "set.txt" both
// become "set.vqm", "Set.VQM" stays). Only the last part of the path counts. Loading never changes a name.
std::string WithModeFileExtension(const std::string& path);
// Whether a name names a file: not empty, not ending in "/", not "." or "..". Nothing is saved under a name
// without a file part (it would become a hidden ".vqm" in that folder).
bool NamesAFile(const std::string& path);

}  // namespace varnoth
