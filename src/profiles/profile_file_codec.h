#pragma once

// The profile file (layout in profile_file_layout.h) to and from an image's contents, in
// memory. Reading and writing the file itself is profile_file.h's job.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "profiles/profile_file_layout.h"
#include "profiles/profile_image.h"

namespace qv::profiles {

// The header's fields as they stand, unchecked.
struct ProfileFileHeader {
    std::uint16_t magic = 0;
    std::uint16_t headerSize = 0;
    std::uint16_t format = 0;
    std::uint16_t one = 0;
    std::uint32_t totalSize = 0;
    std::uint16_t entryCount = 0;
    std::uint16_t macroCount = 0;
    std::uint32_t textAreaSize = 0;
    std::uint8_t flag = 0;
    std::uint8_t checksum = 0;
    std::uint8_t computedChecksum = 0;  // the sum of bytes 0..30
};

[[nodiscard]] ProfileFileHeader ReadProfileFileHeader(
    std::span<const std::uint8_t, kProfileHeaderSize> header);

// Where the text area of a file with this many macro records starts, and where the file the
// header describes ends.
[[nodiscard]] std::uint64_t TextAreaOffset(std::size_t macroCount);
[[nodiscard]] std::uint64_t DescribedFileSize(const ProfileFileHeader& header);

// Why a header does not describe a profile file the tool accepts, or nothing when it does.
// The rules, in order: magic, header size 32, format 3, the constant 1, total at least an image
// block, 2048 entries, at most 100 macros, flag 0 or 1, total = the size the counts give, the
// checksum; and last the tool's own bound on the text area.
[[nodiscard]] std::optional<std::string> ProfileHeaderProblem(const ProfileFileHeader& header);

// The whole file for an image: header (flag 0), fixed block, entries, macro records and the
// packed texts. Texts are packed in entry order, each NUL-terminated, and the entry's value in
// the file becomes its offset; a text whose entry is neither Launch program nor Text block is
// left out, but the area keeps the size all texts together take, as the header declares it.
// The image itself is not changed: its value fields keep what they held. Nothing when the
// image cannot be a file the tool reads back: more than 100 macros, or a text longer than
// kMaxKeyTextUnits.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> EncodeProfileFile(
    const ImageContents& image);

// How messages name entry `index` of the image block: "profile 2, key slot 30".
[[nodiscard]] std::string ImageEntryName(std::size_t index);

// Fills the texts of every Launch program and Text block entry from a file's text area. Never
// reads outside `textArea`: an offset past its end gives no text, a string that reaches the end
// (or kMaxKeyTextUnits) without a terminator is cut there; both are reported in `problems`.
// Expects an empty table.
void DecodeKeyTexts(const ProfileKeyBlocks& blocks, Bytes textArea, KeyTextTable& texts,
                    std::vector<std::string>& problems);

}  // namespace qv::profiles
