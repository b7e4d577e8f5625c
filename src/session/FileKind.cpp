// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/FileKind.h"

#include <magic.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>

#include "device/Trace.h"

namespace varnoth {
namespace {

struct KindName {
    const char* chinese;
    const char* english;
};

constexpr std::array kKindNames = {
    KindName{"压缩包或归档文件", "an archive"},
    KindName{"图片", "a picture"},
    KindName{"音频或视频文件", "a sound or video file"},
    KindName{"文档", "a document"},
    KindName{"可执行程序", "a program"},
};

enum Name : FileKind::Kind { kArchive, kPicture, kMedia, kDocument, kProgram };

// The media types libmagic names on a strong signature, and what each is. An entry ending in '.' or '/'
// stands for every type it begins. Types libmagic gives on a signature of one or two bytes (DOS programs,
// zlib streams, MPEG audio frames, cpio) are left out: a firmware image may begin with those bytes.
struct KindRule {
    std::string_view type;
    FileKind::Kind kind;
};

constexpr std::array kKindRules = {
    KindRule{"application/zip", kArchive},
    KindRule{"application/x-tar", kArchive},
    KindRule{"application/gzip", kArchive},
    KindRule{"application/x-bzip2", kArchive},
    KindRule{"application/x-xz", kArchive},
    KindRule{"application/x-lzma", kArchive},
    KindRule{"application/x-lzip", kArchive},
    KindRule{"application/x-lz4", kArchive},
    KindRule{"application/zstd", kArchive},
    KindRule{"application/x-7z-compressed", kArchive},
    KindRule{"application/x-rar", kArchive},
    KindRule{"application/vnd.rar", kArchive},
    KindRule{"application/x-archive", kArchive},
    KindRule{"application/vnd.debian.binary-package", kArchive},
    KindRule{"application/x-rpm", kArchive},
    KindRule{"application/java-archive", kArchive},
    KindRule{"application/x-iso9660-image", kArchive},
    KindRule{"application/vnd.android.package-archive", kArchive},
    KindRule{"image/png", kPicture},
    KindRule{"image/jpeg", kPicture},
    KindRule{"image/gif", kPicture},
    KindRule{"image/webp", kPicture},
    KindRule{"image/tiff", kPicture},
    KindRule{"image/heic", kPicture},
    KindRule{"image/avif", kPicture},
    KindRule{"image/svg+xml", kPicture},
    KindRule{"audio/x-wav", kMedia},
    KindRule{"audio/flac", kMedia},
    KindRule{"audio/ogg", kMedia},
    KindRule{"application/ogg", kMedia},
    KindRule{"video/mp4", kMedia},
    KindRule{"video/quicktime", kMedia},
    KindRule{"video/webm", kMedia},
    KindRule{"video/x-matroska", kMedia},
    KindRule{"video/x-msvideo", kMedia},
    KindRule{"application/pdf", kDocument},
    KindRule{"application/msword", kDocument},
    KindRule{"application/vnd.ms-", kDocument},
    KindRule{"application/x-ole-storage", kDocument},
    KindRule{"application/CDFV2", kDocument},
    KindRule{"application/vnd.openxmlformats-officedocument.", kDocument},
    KindRule{"application/vnd.oasis.opendocument.", kDocument},
    KindRule{"application/epub+zip", kDocument},
    KindRule{"application/x-executable", kProgram},
    KindRule{"application/x-sharedlib", kProgram},
    KindRule{"application/x-pie-executable", kProgram},
    KindRule{"application/x-object", kProgram},
    KindRule{"application/x-coredump", kProgram},
    KindRule{"application/vnd.microsoft.portable-executable", kProgram},
    KindRule{"application/x-mach-binary", kProgram},
    KindRule{"application/x-java-applet", kProgram},
};

bool Matches(std::string_view rule, std::string_view type) {
    const char last = rule.back();
    if (last == '.' || last == '/') {
        return type.substr(0, rule.size()) == rule;
    }
    return type == rule;
}

// libmagic's database, opened once; a cookie serves one caller at a time.
class MagicCookie {
  public:
    MagicCookie() : m_cookie(magic_open(MAGIC_MIME_TYPE | MAGIC_NO_CHECK_COMPRESS | MAGIC_ERROR)) {
        if (m_cookie != nullptr && magic_load(m_cookie, nullptr) != 0) {
            Trace("libmagic cannot load its database: %s\n", magic_error(m_cookie));
            magic_close(m_cookie);
            m_cookie = nullptr;
        }
    }
    ~MagicCookie() {
        if (m_cookie != nullptr) {
            magic_close(m_cookie);
        }
    }
    MagicCookie(const MagicCookie&) = delete;
    MagicCookie& operator=(const MagicCookie&) = delete;

    std::string TypeOf(std::span<const std::uint8_t> bytes) {
        std::lock_guard lock(m_mutex);
        if (m_cookie == nullptr || bytes.empty()) {
            return {};
        }
        const char* type = magic_buffer(m_cookie, bytes.data(), bytes.size());
        return type == nullptr ? std::string() : std::string(type);
    }

  private:
    std::mutex m_mutex;
    magic_t m_cookie;
};

// The control codes text may hold: tab, line feed, vertical tab, form feed, carriage return and escape.
bool ControlInText(std::uint8_t byte) {
    return (byte >= '\t' && byte <= '\r') || byte == 0x1B;
}

bool NeverInText(std::uint8_t byte) {
    return (byte < 0x20 && !ControlInText(byte)) || byte == 0x7F;
}

// Whether the bytes are code units of text of the given size (1, 2 or 4 bytes) and byte order: none is NUL,
// a control code text never holds or (in four bytes) beyond Unicode. How many of them are ASCII goes to
// ascii.
bool UnitsAreText(std::span<const std::uint8_t> bytes, std::size_t unit, bool littleEndian,
                  std::size_t& ascii) {
    if (bytes.empty() || bytes.size() % unit != 0) {
        return false;
    }
    ascii = 0;
    for (std::size_t at = 0; at < bytes.size(); at += unit) {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < unit; ++i) {
            const std::uint8_t byte = bytes[at + (littleEndian ? unit - 1 - i : i)];
            value = (value << 8) | byte;
        }
        if (value < 0x80 && NeverInText(static_cast<std::uint8_t>(value))) {
            return false;
        }
        if (value > 0x10FFFF) {
            return false;
        }
        ascii += value < 0x80 ? 1 : 0;
    }
    return true;
}

// The encodings a byte-order mark announces: the mark, its code unit and byte order.
struct Mark {
    std::array<std::uint8_t, 4> bytes;
    std::size_t size;
    std::size_t unit;
    bool littleEndian;
};

// The four-byte marks first: UTF-32 little-endian begins like UTF-16 little-endian.
constexpr std::array kMarks = {
    Mark{{0xFF, 0xFE, 0x00, 0x00}, 4, 4, true},  Mark{{0x00, 0x00, 0xFE, 0xFF}, 4, 4, false},
    Mark{{0xEF, 0xBB, 0xBF, 0x00}, 3, 1, false}, Mark{{0xFF, 0xFE, 0x00, 0x00}, 2, 2, true},
    Mark{{0xFE, 0xFF, 0x00, 0x00}, 2, 2, false},
};

const Mark* MarkOf(std::span<const std::uint8_t> bytes) {
    const auto* mark = std::find_if(kMarks.begin(), kMarks.end(), [&](const Mark& m) {
        return bytes.size() >= m.size && std::equal(m.bytes.begin(), m.bytes.begin() + m.size, bytes.begin());
    });
    return mark == kMarks.end() ? nullptr : mark;
}

}  // namespace

std::size_t FileKind::ByteOrderMarkSize(std::span<const std::uint8_t> bytes) {
    const Mark* mark = MarkOf(bytes);
    return mark == nullptr ? 0 : mark->size;
}

bool FileKind::IsText(std::span<const std::uint8_t> bytes) {
    std::size_t ascii = 0;
    if (const Mark* mark = MarkOf(bytes)) {
        const std::span<const std::uint8_t> rest = bytes.subspan(mark->size);
        return rest.empty() || UnitsAreText(rest, mark->unit, mark->littleEndian, ascii);
    }
    if (UnitsAreText(bytes, 1, false, ascii)) {
        return true;
    }
    // UTF-16 without a mark: mostly ASCII, so a quarter of its units at least.
    for (const bool littleEndian : {true, false}) {
        if (UnitsAreText(bytes, 2, littleEndian, ascii) && ascii * 4 >= bytes.size() / 2) {
            return true;
        }
    }
    return false;
}

std::optional<FileKind::Kind> FileKind::Recognise(std::span<const std::uint8_t> bytes) {
    static MagicCookie cookie;
    const std::string type = cookie.TypeOf(bytes);
    const auto* rule = std::find_if(kKindRules.begin(), kKindRules.end(),
                                    [&](const KindRule& r) { return Matches(r.type, type); });
    if (rule == kKindRules.end()) {
        return std::nullopt;
    }
    return rule->kind;
}

const char* FileKind::Name(Kind kind, int language) {
    const KindName& name = kKindNames.at(kind);
    return language == 0 ? name.chinese : name.english;
}

}  // namespace varnoth
