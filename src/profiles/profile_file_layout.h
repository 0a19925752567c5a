#pragma once

// The profile file: the image block, the macro records, the text area, without gaps.
//
//   0                         image block (image_layout.h); header offset 14 counts the
//                             records, offset 16 gives the text area's size
//   32,832                    count x 16,512-byte macro records (macros/macro_record_codec.h)
//   32,832 + 16,512 x count   text area: NUL-terminated UTF-16LE strings. A Launch program or
//                             Text block entry's value is the byte offset of its text there
//                             (even; an odd offset is read as the even one below it).
//
// Texts are bounded here, not by the format: one text holds at most kMaxKeyTextUnits units,
// so the text area of any image the tool can hold is at most kMaxTextAreaSize bytes. A path or
// a typed text block is far below that; the bound keeps a hostile file from making the tool
// allocate gigabytes, and it keeps every file the tool writes readable by the tool.

#include <cstddef>
#include <cstdint>
#include <limits>

#include "macros/macro_record.h"
#include "macros/macro_record_codec.h"
#include "profiles/image_layout.h"

namespace qv::profiles {

inline constexpr std::size_t kMacroRecordsOffset = kImageBlockSize;
static_assert(kMacroRecordFileSize == macros::kMacroRecordSize);

inline constexpr std::size_t kMaxKeyTextUnits = 32767;  // terminator excluded
inline constexpr std::size_t kMaxKeyTextBytes = (kMaxKeyTextUnits + 1) * sizeof(char16_t);
inline constexpr std::size_t kMaxTextAreaSize = kImageKeyEntryCount * kMaxKeyTextBytes;
static_assert(kMaxTextAreaSize == 134'217'728);

// The smallest file is a bare image block; the largest has 100 macros and a full text area.
inline constexpr std::uint64_t kMinProfileFileSize = kImageBlockSize;
inline constexpr std::uint64_t kMaxProfileFileSize =
    kImageBlockSize + std::uint64_t{macros::kMaxMacros} * kMacroRecordFileSize + kMaxTextAreaSize;
static_assert(kMaxProfileFileSize == 135'901'760);
static_assert(kMaxProfileFileSize <= std::numeric_limits<std::uint32_t>::max());

// Files of this size or more are not profile files: the header's total is 32 bits.
inline constexpr std::uint64_t kProfileFileSizeLimit = std::uint64_t{1} << 32;

}  // namespace qv::profiles
