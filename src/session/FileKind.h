// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace varnoth {

// Recognises files that are plainly something other than a raw binary image: text in any common encoding
// (with or without a byte-order mark) and the kinds of file with an unmistakable signature (archives,
// pictures, sound and video, documents, programs), the latter through libmagic. A kind is reported only on
// a strong signature, so that the raw bytes of a firmware image, which can start with anything, pass.
class FileKind {
  public:
    // A recognised kind: its index into the kind table (which names it in both languages).
    using Kind = std::size_t;

    // Whether the bytes are text: a byte-order mark (UTF-8, UTF-16, UTF-32), UTF-16 or UTF-32 text without
    // one, or bytes with none of the control codes that never occur in text (UTF-8, Latin-1, GB18030, Big5,
    // Shift JIS and the other 8-bit encodings all pass this).
    static bool IsText(std::span<const std::uint8_t> bytes);
    // How many bytes of a byte-order mark the bytes begin with (0 for none).
    static std::size_t ByteOrderMarkSize(std::span<const std::uint8_t> bytes);
    // The kind of file the bytes recognisably are, other than text; nothing for anything else.
    static std::optional<Kind> Recognise(std::span<const std::uint8_t> bytes);
    // The kind's name for a sentence ("a ZIP archive"): language 0 Chinese, else English.
    static const char* Name(Kind kind, int language);
};

}  // namespace varnoth
