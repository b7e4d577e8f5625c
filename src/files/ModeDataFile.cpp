#include "files/ModeDataFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "session/DeviceSession.h"

namespace varnoth {
namespace {

namespace fs = std::filesystem;

static_assert(ModeDataFile::kMicControlSubAt == kFileBlockSize);
static_assert(ModeDataFile::kMachineAt == ModeDataFile::kMicControlSubAt + 2);
static_assert(ModeDataFile::kIrAt == ModeDataFile::kMachineAt + MachineSettings::kRecordSize);
static_assert(ModeDataFile::kSize == ModeDataFile::kIrAt + RemoteCodes::kRecordSize);

ModeDataFile::Result CantWrite(int error, const std::string& path) {
    const int length = std::snprintf(nullptr, 0, kCantWriteFormat, error, path.c_str());
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::snprintf(text.data(), text.size(), kCantWriteFormat, error, path.c_str());
    return {false, kCantWriteCaption, text.data()};
}

ModeDataFile::Result CantRead(const std::string& what, const std::string& path) {
    return {false, kCantReadCaption, what + ":\n" + path};
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
    const auto block = session.GetFileBlock();
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
    session.SetFileBlock(Slice<kFileBlockSize>(image, 0));
    session.LoadFileRecords(image[kMicControlSubAt], image[kMicControlSubAt + 1],
                            Slice<MachineSettings::kRecordSize>(image, kMachineAt),
                            Slice<RemoteCodes::kRecordSize>(image, kIrAt));
}

ModeDataFile::Result ModeDataFile::SaveData(const DeviceSession& session, const std::string& path) {
    return WriteImage(path, Snapshot(session));
}

ModeDataFile::Result ModeDataFile::LoadData(DeviceSession& session, const std::string& path) {
    Image image{};
    Result result = ReadImage(path, image);
    if (result.ok) {
        Apply(session, image);
    }
    return result;
}

ModeDataFile::Result ModeDataFile::WriteImage(const std::string& path, const Image& image) {
    return WriteBytes(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
}

ModeDataFile::Result ModeDataFile::WriteBytes(const std::string& path, std::string_view bytes) {
    fs::path target(path);
    std::error_code error;
    // A link keeps pointing at the file: the new contents go beside the file it names.
    if (fs::is_symlink(target, error)) {
        const fs::path resolved = fs::canonical(target, error);
        if (!error) {
            target = resolved;
        }
    }
    const bool replacing = fs::exists(target, error);
    if (replacing) {
        // Opening for appending changes nothing and fails on a protected file or a folder.
        std::ofstream probe(target, std::ios::binary | std::ios::app);
        if (!probe) {
            return CantWrite(errno, path);
        }
    }
    const fs::path temporary = TemporaryBeside(target);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return CantWrite(errno, path);
        }
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        const int writeError = errno;
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return CantWrite(writeError != 0 ? writeError : EIO, path);
        }
    }
    if (replacing) {
        fs::permissions(temporary, fs::status(target, error).permissions(), error);
    }
    fs::rename(temporary, target, error);
    if (error) {
        const int renameError = error.value();
        fs::remove(temporary, error);
        return CantWrite(renameError, path);
    }
    return {true, {}, {}};
}

ModeDataFile::Result ModeDataFile::ReadImage(const std::string& path, Image& image) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        return CantRead("This is a folder, not a mode data file", path);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return CantRead(std::string("Can't open the file for reading (") + std::strerror(errno) + ")", path);
    }
    // One byte more than a mode data file tells a longer file.
    std::array<char, kSize + 1> bytes{};
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        return CantRead("Can't read the file", path);
    }
    const auto count = static_cast<std::size_t>(in.gcount());
    if (count != kSize) {
        const std::string held = count > kSize ? "more than " + std::to_string(kSize) : std::to_string(count);
        return CantRead("Not a mode data file: it holds " + held + " bytes, a mode data file exactly " +
                            std::to_string(kSize),
                        path);
    }
    std::transform(bytes.begin(), bytes.begin() + kSize, image.begin(),
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return {true, {}, {}};
}

std::string WithModeFileExtension(const std::string& path) {
    return fs::path(path).replace_extension(kModeFileExtension).string();
}

}  // namespace varnoth
