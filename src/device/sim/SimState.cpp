// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/sim/SimState.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace varnoth {
namespace {

constexpr char kMagic[8] = {'V', 'A', 'R', 'N', 'S', 'I', 'M', '\x1A'};
constexpr std::uint32_t kFormat = 1;
constexpr std::size_t kHeaderSize = sizeof kMagic + 4 + 4;  // magic, format, payload length
constexpr std::size_t kChecksumSize = 4;

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

std::uint32_t GetU32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

template <typename Bytes>
void PutBytes(std::vector<std::uint8_t>& out, const Bytes& bytes) {
    out.insert(out.end(), std::begin(bytes), std::end(bytes));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    out.push_back(static_cast<std::uint8_t>(text.size()));
    PutBytes(out, text);
}

std::vector<std::uint8_t> Payload(const VirtualAmpState& s) {
    std::vector<std::uint8_t> out;
    PutBytes(out, s.working.Raw());
    for (const RegisterBank& bank : s.stored) {
        PutBytes(out, bank.Raw());
    }
    for (const RegisterBank& bank : s.reset) {
        PutBytes(out, bank.Raw());
    }
    PutBytes(out, s.machine);
    PutBytes(out, s.ir);
    out.push_back(s.micControlSubTime);
    out.push_back(s.micControlSubRate);
    out.push_back(s.currentMode);
    out.push_back(s.upgradeMode ? 1 : 0);
    PutText(out, s.name);
    PutText(out, s.date);
    return out;
}

// Reads the payload front to back; every read fails once the payload is used up.
class PayloadReader {
  public:
    PayloadReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    template <typename Bytes>
    bool Read(Bytes& bytes) {
        const std::size_t n = std::size(bytes);
        if (m_size - m_at < n) {
            return false;
        }
        std::memcpy(std::data(bytes), m_data + m_at, n);
        m_at += n;
        return true;
    }
    bool ReadByte(std::uint8_t& b) {
        std::array<std::uint8_t, 1> one{};
        const bool ok = Read(one);
        b = one[0];
        return ok;
    }
    bool ReadText(std::string& text) {
        std::uint8_t length = 0;
        if (!ReadByte(length) || m_size - m_at < length) {
            return false;
        }
        text.assign(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return true;
    }
    bool AtEnd() const { return m_at == m_size; }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

bool ParsePayload(const std::uint8_t* data, std::size_t size, VirtualAmpState& s) {
    PayloadReader in(data, size);
    bool ok = in.Read(s.working.Raw());
    for (RegisterBank& bank : s.stored) {
        ok = ok && in.Read(bank.Raw());
    }
    for (RegisterBank& bank : s.reset) {
        ok = ok && in.Read(bank.Raw());
    }
    std::uint8_t upgrade = 0;
    ok = ok && in.Read(s.machine) && in.Read(s.ir) && in.ReadByte(s.micControlSubTime) &&
         in.ReadByte(s.micControlSubRate) && in.ReadByte(s.currentMode) && in.ReadByte(upgrade) &&
         in.ReadText(s.name) && in.ReadText(s.date) && in.AtEnd() && upgrade <= 1;
    s.upgradeMode = upgrade == 1;
    return ok;
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

// A state file is a few kilobytes; anything far larger is something else.
constexpr std::size_t kMaxStateFileSize = 1 << 20;

// The file a path finally names through symbolic links (which need not exist yet); a loop is a problem.
std::string LinkTarget(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return {};
        }
        std::vector<char> next(static_cast<std::size_t>(PATH_MAX) + 1);
        const ssize_t length = ::readlink(target.c_str(), next.data(), next.size() - 1);
        if (length < 0) {
            return {};
        }
        const std::string link(next.data(), static_cast<std::size_t>(length));
        const std::size_t slash = target.rfind('/');
        target =
            link.front() == '/' || slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
    return "cannot save the virtual amplifier state to " + Quoted(path) + ": " + std::strerror(ELOOP);
}

}  // namespace

VirtualAmpState VirtualAmpState::Factory() {
    VirtualAmpState s;
    for (std::size_t mode = 0; mode < sim::kModeCount; ++mode) {
        s.reset[mode] = sim::ModeResetSet(mode);
        s.stored[mode] = s.reset[mode];
    }
    s.working = s.reset[0];
    s.machine = sim::FactoryMachineRecord();
    s.ir = sim::FactoryIrRecord();
    s.micControlSubTime = 0;
    s.micControlSubRate = 20;
    s.name = sim::kFactoryName;
    s.date = sim::kFactoryDate;
    return s;
}

bool ValidDeviceText(const std::string& text) {
    return text.size() <= VirtualAmpState::kMaxTextLength && text.find('\0') == std::string::npos;
}

std::string VirtualAmpState::Problem() const {
    if (currentMode >= sim::kModeCount) {
        return "the current memory mode " + std::to_string(currentMode) + " does not exist";
    }
    if (!ValidDeviceText(name)) {
        return "the model name is longer than " + std::to_string(kMaxTextLength) +
               " bytes or holds a zero byte";
    }
    if (!ValidDeviceText(date)) {
        return "the firmware date is longer than " + std::to_string(kMaxTextLength) +
               " bytes or holds a zero byte";
    }
    return {};
}

std::string SaveStateFile(const VirtualAmpState& state, const std::string& path) {
    if (const std::string problem = state.Problem(); !problem.empty()) {
        return "cannot save the virtual amplifier state: " + problem;
    }
    const std::vector<std::uint8_t> payload = Payload(state);
    std::vector<std::uint8_t> file;
    PutBytes(file, kMagic);
    PutU32(file, kFormat);
    PutU32(file, static_cast<std::uint32_t>(payload.size()));
    PutBytes(file, payload);
    PutU32(file, Crc32(payload.data(), payload.size()));

    // Through a symbolic link its target is replaced, and only a regular file (or a new one) is.
    std::string target;
    if (const std::string problem = LinkTarget(path, target); !problem.empty()) {
        return problem;
    }
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return "cannot save the virtual amplifier state to " + Quoted(path) + ": it is not a regular file";
    }
    const std::string temporary = target + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return "cannot write the virtual amplifier state file " + Quoted(temporary) + ": " +
               std::strerror(errno);
    }
    int error = 0;
    for (std::size_t done = 0; done < file.size() && error == 0;) {
        const ssize_t wrote = ::write(fd, file.data() + done, file.size() - done);
        if (wrote < 0 && errno != EINTR) {
            error = errno;
        } else if (wrote > 0) {
            done += static_cast<std::size_t>(wrote);
        }
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        std::remove(temporary.c_str());
        return "cannot replace the virtual amplifier state file " + Quoted(path) + ": " +
               std::strerror(error);
    }
    return {};
}

std::string LoadStateFile(const std::string& path, VirtualAmpState& state) {
    const auto cannot = [&path](const char* what, int error) {
        return std::string("cannot ") + what + " the virtual amplifier state file " + Quoted(path) + ": " +
               std::strerror(error);
    };
    // Not blocking: opening a pipe would otherwise wait for a writer; only a regular file is read, and no
    // more of it than a state file can hold.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return cannot("open", errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return cannot("read", error);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return Quoted(path) + " is not a regular file";
    }
    std::vector<std::uint8_t> file(kMaxStateFileSize + 1);
    std::size_t count = 0;
    while (count < file.size()) {
        const ssize_t got = ::read(fd, file.data() + count, file.size() - count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return cannot("read", error);
        }
        if (got == 0) {
            break;
        }
        count += static_cast<std::size_t>(got);
    }
    ::close(fd);
    file.resize(count);
    if (file.size() > kMaxStateFileSize) {
        return Quoted(path) + " is not a virtual amplifier state file: it is too large";
    }
    if (file.size() < kHeaderSize || std::memcmp(file.data(), kMagic, sizeof kMagic) != 0) {
        return Quoted(path) + " is not a virtual amplifier state file";
    }
    const std::uint32_t format = GetU32(file.data() + sizeof kMagic);
    if (format != kFormat) {
        return Quoted(path) + " is a virtual amplifier state file of format " + std::to_string(format) +
               "; this program reads format " + std::to_string(kFormat);
    }
    const std::uint32_t length = GetU32(file.data() + sizeof kMagic + 4);
    if (file.size() != kHeaderSize + std::size_t{length} + kChecksumSize) {
        return "the virtual amplifier state file " + Quoted(path) + " is damaged: its length is wrong";
    }
    const std::uint8_t* payload = file.data() + kHeaderSize;
    if (Crc32(payload, length) != GetU32(payload + length)) {
        return "the virtual amplifier state file " + Quoted(path) +
               " is damaged: its checksum does not match";
    }
    VirtualAmpState loaded;
    if (!ParsePayload(payload, length, loaded)) {
        return "the virtual amplifier state file " + Quoted(path) + " is damaged: its contents are malformed";
    }
    if (const std::string problem = loaded.Problem(); !problem.empty()) {
        return "the virtual amplifier state file " + Quoted(path) + " is damaged: " + problem;
    }
    state = std::move(loaded);
    return {};
}

}  // namespace varnoth
