// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ModeDataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>
#include <vector>

#include "device/Trace.h"
#include "files/ModeDataCheck.h"
#include "session/DeviceSession.h"

namespace varnoth {
namespace {

namespace fs = std::filesystem;

static_assert(ModeDataFile::kMicControlSubAt == kFileBlockSize);
static_assert(ModeDataFile::kMachineAt == ModeDataFile::kMicControlSubAt + 2);
static_assert(ModeDataFile::kIrAt == ModeDataFile::kMachineAt + MachineSettings::kRecordSize);
static_assert(ModeDataFile::kSize == ModeDataFile::kIrAt + RemoteCodes::kRecordSize);

// The system's reason for a failed write, for the errors a user can act on; others in the system's words.
struct WriteReason {
    int error;
    const char* chinese;
    const char* english;
};

constexpr WriteReason kWriteReasons[] = {
    {EACCES, "没有写入权限", "permission denied"},
    {EPERM, "没有写入权限", "permission denied"},
    {EROFS, "文件系统是只读的", "the file system is read-only"},
    {ENOSPC, "磁盘已满", "the disk is full"},
    {EDQUOT, "超出磁盘配额", "the disk quota is exceeded"},
    {ENOENT, "文件夹不存在", "the folder does not exist"},
    {ENOTDIR, "路径中有一部分不是文件夹", "a part of the path is not a folder"},
    {ENAMETOOLONG, "文件名太长", "the name is too long"},
    {ELOOP, "符号链接循环", "the symbolic links form a loop"},
    {EISDIR, "这是一个文件夹", "it is a folder"},
    {EIO, "输入输出错误", "an input/output error"},
};

std::string WriteReasonOf(int error, int language) {
    for (const WriteReason& reason : kWriteReasons) {
        if (reason.error == error) {
            return language == 0 ? reason.chinese : reason.english;
        }
    }
    return std::strerror(error);
}

// The message of a failed write: the error code and the path, the write protection named only where it is
// the cause, and the system's reason in the user's language.
ModeDataFile::Result CantWrite(int error, const std::string& path, int language) {
    const bool protectedFile = error == EACCES || error == EPERM || error == EROFS;
    std::string text = "Errcode=" + std::to_string(error) + ",Can't write to file:\n" + path + "\n";
    if (protectedFile) {
        text += "Probaby it is write protected.\n";
    }
    text += (language == 0 ? "原因：" : "Reason: ") + WriteReasonOf(error, language);
    if (language != 0) {
        text += ".";
    }
    return {false, kCantWriteCaption, text};
}

ModeDataFile::Result CantRead(int language, const std::string& what, const std::string& path) {
    return {false, language == 0 ? kCantReadCaptionChinese : kCantReadCaption, what + ":\n" + path};
}

// What a path names when it is not a regular file.
enum class Kind { Folder, Pipe, Device, Other };

Kind KindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return Kind::Folder;
    }
    if (S_ISFIFO(mode) || S_ISSOCK(mode)) {
        return Kind::Pipe;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return Kind::Device;
    }
    return Kind::Other;
}

ModeDataFile::Result NotRegular(const std::string& path, Kind kind, int language, bool save) {
    static constexpr const char* kEnglish[] = {"a folder", "a pipe or socket", "a device", "a special file"};
    static constexpr const char* kChinese[] = {"文件夹", "管道或套接字", "设备", "特殊文件"};
    const auto which = static_cast<std::size_t>(kind);
    if (language == 0) {
        return {false, save ? kCantWriteCaption : kCantReadCaptionChinese,
                std::string("这是") + kChinese[which] + "，不是普通文件，模式数据文件只能" +
                    (save ? "保存到" : "读取自") + "普通文件:\n" + path};
    }
    return {false, save ? kCantWriteCaption : kCantReadCaption,
            std::string("This is ") + kEnglish[which] + ", not a regular file; a mode data file is " +
                (save ? "saved to" : "read from") + " regular files only:\n" + path};
}

ModeDataFile::Result NoTemporaryFile(const std::string& path, int language) {
    if (language == 0) {
        return {false, kCantWriteCaption,
                "文件所在的文件夹不允许创建临时文件。文件本身可写，但为了保存失败时不损坏它，只通过临时文件替"
                "换它；"
                "请保存到其他文件夹:\n" +
                    path};
    }
    return {
        false, kCantWriteCaption,
        "The folder does not allow a temporary file beside this file. The file itself is writable, but it is "
        "only ever replaced through a temporary file, so that a failed save cannot damage it; save to "
        "another folder:\n" +
            path};
}

ModeDataFile::Result NoFileName(const std::string& path, int language) {
    if (language == 0) {
        return {false, kCantWriteCaption,
                "这个名字没有文件名部分（为空或以 / 结尾），不能保存:\n\"" + path + "\""};
    }
    return {false, kCantWriteCaption,
            "This name has no file name (it is empty or ends in /); nothing was saved:\n\"" + path + "\""};
}

// Follows symbolic links to the file they finally name (which need not exist); nothing for a loop.
std::optional<fs::path> ResolveLinks(const fs::path& path) {
    fs::path target = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(target, error))) {
            return target;
        }
        const fs::path next = fs::read_symlink(target, error);
        if (error) {
            return target;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return std::nullopt;
}

// A file descriptor closed when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    explicit operator bool() const { return m_fd >= 0; }
    int Get() const { return m_fd; }
    int Close() {
        const int result = m_fd >= 0 ? ::close(m_fd) : 0;
        m_fd = -1;
        return result;
    }

  private:
    int m_fd;
};

// 0, or the error that stopped the write.
int WriteWhole(int fd, const std::uint8_t* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t wrote = ::write(fd, bytes + done, size - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return wrote < 0 ? errno : EIO;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

// 0, or the error of flushing a folder; file systems that cannot flush a folder count as done.
int SyncFolder(const fs::path& folder) {
    FileDescriptor fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd) {
        return 0;
    }
    if (::fsync(fd.Get()) != 0 && errno != EINVAL && errno != EROFS) {
        return errno;
    }
    return 0;
}

// A name for the temporary file beside the target that no other save uses at the same time.
fs::path TemporaryBeside(const fs::path& target) {
    std::random_device random;
    const unsigned tag = random();
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", tag);
    std::string name = ".";
    name += target.filename().string();
    name += suffix;
    return target.parent_path() / name;
}

template <std::size_t N>
std::array<std::uint8_t, N> Slice(const ModeDataFile::Image& image, std::size_t first) {
    std::array<std::uint8_t, N> part{};
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(first), N, part.begin());
    return part;
}

}  // namespace

ModeDataFile::Image ModeDataFile::Snapshot(const DeviceSession& session) {
    Image image{};
    const auto block = session.Store().GetFileBlock();
    std::copy(block.begin(), block.end(), image.begin());
    image[kMicControlSubAt] = session.GetMicControlSubTime();
    image[kMicControlSubAt + 1] = session.GetMicControlSubRate();
    const MachineSettings::Record machine = session.GetMachineSet().GetSavedRecord();
    std::copy(machine.begin(), machine.end(), image.begin() + kMachineAt);
    const RemoteCodes::Record ir = session.GetRemote().GetRecord();
    std::copy(ir.begin(), ir.end(), image.begin() + kIrAt);
    return image;
}

void ModeDataFile::Apply(DeviceSession& session, const Image& image) {
    session.Store().SetFileBlock(Slice<kFileBlockSize>(image, 0));
    session.LoadFileRecords(image[kMicControlSubAt], image[kMicControlSubAt + 1],
                            Slice<MachineSettings::kRecordSize>(image, kMachineAt),
                            Slice<RemoteCodes::kRecordSize>(image, kIrAt));
}

ModeDataFile::Result ModeDataFile::SaveData(const DeviceSession& session, const std::string& path,
                                            int language) {
    return WriteImage(path, Snapshot(session), language);
}

ModeDataFile::Result ModeDataFile::LoadData(DeviceSession& session, const std::string& path, int language) {
    Image image{};
    Result result = ReadImage(path, image, language);
    if (result.ok) {
        Apply(session, image);
    }
    return result;
}

ModeDataFile::Result ModeDataFile::WriteImage(const std::string& path, const Image& image, int language) {
    return WriteBytes(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                      language);
}

ModeDataFile::Result ModeDataFile::WriteBytes(const std::string& path, std::string_view bytes, int language) {
    if (!NamesAFile(path)) {
        return NoFileName(path, language);
    }
    const std::optional<fs::path> resolved = ResolveLinks(path);
    if (!resolved) {
        return CantWrite(ELOOP, path, language);
    }
    const fs::path& target = *resolved;
    struct stat info {};
    const bool replacing = ::stat(target.c_str(), &info) == 0;
    if (replacing && !S_ISREG(info.st_mode)) {
        return NotRegular(path, KindOf(info.st_mode), language, true);
    }
    if (replacing && ::access(target.c_str(), W_OK) != 0) {
        return CantWrite(errno, path, language);
    }
    const fs::path temporary = TemporaryBeside(target);
    const mode_t mode = replacing ? (info.st_mode & 07777) : 0666;
    FileDescriptor out(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (!out) {
        const int error = errno;
        if (replacing && (error == EACCES || error == EPERM || error == EROFS)) {
            return NoTemporaryFile(path, language);
        }
        return CantWrite(error, path, language);
    }
    // The owner, group and permissions of the file replaced, whatever the process's user and mask: a save
    // by another user allowed to replace it (root) leaves it its owner's. Changing the owner may clear the
    // set-ID bits, so the mode follows it; a user who may not give the file away keeps it as the system
    // allows.
    if (replacing) {
        if (::fchown(out.Get(), info.st_uid, info.st_gid) != 0) {
            Trace("cannot keep the owner of %s: %s\n", path.c_str(), std::strerror(errno));
        }
        ::fchmod(out.Get(), mode);
    }
    int error = WriteWhole(out.Get(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (error == 0 && ::fsync(out.Get()) != 0) {
        error = errno;
    }
    if (error == 0 && out.Close() != 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return CantWrite(error, path, language);
    }
    // The rename itself reaches the disk with the folder.
    if (const int folderError = SyncFolder(target.parent_path()); folderError != 0) {
        return CantWrite(folderError, path, language);
    }
    return {true, {}, {}};
}

ModeDataFile::Result ModeDataFile::ReadImage(const std::string& path, Image& image, int language,
                                             bool checkValues) {
    // Not blocking: opening a pipe would otherwise wait for a writer.
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!in) {
        const int error = errno;
        return CantRead(language,
                        language == 0
                            ? std::string("无法打开文件 (") + std::strerror(error) + ")"
                            : std::string("Can't open the file for reading (") + std::strerror(error) + ")",
                        path);
    }
    struct stat info {};
    if (::fstat(in.Get(), &info) != 0) {
        return CantRead(language, language == 0 ? "无法读取文件" : "Can't read the file", path);
    }
    if (!S_ISREG(info.st_mode)) {
        return NotRegular(path, KindOf(info.st_mode), language, false);
    }
    // One byte more than a mode data file tells a longer file.
    std::array<std::uint8_t, kSize + 1> bytes{};
    std::size_t count = 0;
    while (count < bytes.size()) {
        const ssize_t got = ::read(in.Get(), bytes.data() + count, bytes.size() - count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return CantRead(language, language == 0 ? "无法读取文件" : "Can't read the file", path);
        }
        if (got == 0) {
            break;
        }
        count += static_cast<std::size_t>(got);
    }
    return ParseBytes(bytes.data(), count, path, image, language, checkValues);
}

ModeDataFile::Result ModeDataFile::ParseBytes(const std::uint8_t* bytes, std::size_t count,
                                              const std::string& path, Image& image, int language,
                                              bool checkValues) {
    if (count != kSize) {
        const std::string held = count > kSize
                                     ? (language == 0 ? "超过 " : "more than ") + std::to_string(kSize)
                                     : std::to_string(count);
        return CantRead(language,
                        language == 0 ? "不是模式数据文件：文件有 " + held + " 字节，模式数据文件正好 " +
                                            std::to_string(kSize) + " 字节"
                                      : "Not a mode data file: it holds " + held +
                                            " bytes, a mode data file exactly " + std::to_string(kSize),
                        path);
    }
    Image read{};
    std::copy_n(bytes, kSize, read.begin());
    if (const std::optional<ModeDataFault> fault =
            checkValues ? ModeDataCheck::FirstFault(read) : std::nullopt) {
        return {false, language == 0 ? kBadContentsCaptionChinese : kBadContentsCaption,
                fault->Message().In(language) + "\n" + path};
    }
    image = read;
    return {true, {}, {}};
}

bool NamesAFile(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return false;
    }
    const std::string name = fs::path(path).filename().string();
    return name != "." && name != "..";
}

std::string WithModeFileExtension(const std::string& path) {
    fs::path name(path);
    std::string extension = name.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == std::string(".") + kModeFileExtension) {
        return path;
    }
    return name.replace_extension(kModeFileExtension).string();
}

}  // namespace varnoth
