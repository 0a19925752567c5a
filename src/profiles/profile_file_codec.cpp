#include "profiles/profile_file_codec.h"

#include <algorithm>

#include "macros/macro_record_codec.h"
#include "profiles/image_block.h"
#include "profiles/profile_header.h"

namespace qv::profiles {
namespace {

constexpr std::size_t kUnitSize = sizeof(char16_t);

bool CarriesText(keys::KeyKind kind) {
    return kind == keys::KeyKind::LaunchProgram || kind == keys::KeyKind::TextBlock;
}

std::size_t SlotBytes(std::u16string_view text) {
    return text.empty() ? 0 : (text.size() + 1) * kUnitSize;
}

}  // namespace

std::string ImageEntryName(std::size_t index) {
    return "profile " + std::to_string(index / keys::kKeyBlockSize + 1) + ", key slot " +
           std::to_string(index % keys::kKeyBlockSize);
}

ProfileFileHeader ReadProfileFileHeader(std::span<const std::uint8_t, kProfileHeaderSize> header) {
    const Bytes in(header);
    return {
        .magic = ReadU16LE(in, kHeaderMagicOffset),
        .headerSize = ReadU16LE(in, kHeaderSizeOffset),
        .format = ReadU16LE(in, kHeaderFormatOffset),
        .one = ReadU16LE(in, kHeaderOneOffset),
        .totalSize = ReadU32LE(in, kHeaderTotalSizeOffset),
        .entryCount = ReadU16LE(in, kHeaderEntryCountOffset),
        .macroCount = ReadU16LE(in, kHeaderMacroCountOffset),
        .textAreaSize = ReadU32LE(in, kHeaderTextAreaSizeOffset),
        .flag = ReadU8(in, kHeaderFlagOffset),
        .checksum = ReadU8(in, kHeaderChecksumOffset),
        .computedChecksum = ProfileHeaderChecksum(header),
    };
}

std::uint64_t TextAreaOffset(std::size_t macroCount) {
    return kMacroRecordsOffset + std::uint64_t{kMacroRecordFileSize} * macroCount;
}

std::uint64_t DescribedFileSize(const ProfileFileHeader& header) {
    return TextAreaOffset(header.macroCount) + header.textAreaSize;
}

std::optional<std::string> ProfileHeaderProblem(const ProfileFileHeader& header) {
    if (header.magic != kProfileMagic) {
        return "no profile file magic";
    }
    if (header.headerSize != kProfileHeaderSize) {
        return "header size " + std::to_string(header.headerSize) + " instead of 32";
    }
    if (header.format != kProfileFormat) {
        return "format " + std::to_string(header.format) + " instead of 3";
    }
    if (header.one != kProfileHeaderOne) {
        return "the constant at offset 6 is " + std::to_string(header.one) + " instead of 1";
    }
    if (header.totalSize < kImageBlockSize) {
        return "total size " + std::to_string(header.totalSize) + " is below an image block";
    }
    if (header.entryCount != kImageKeyEntryCount) {
        return std::to_string(header.entryCount) + " key entries instead of 2048";
    }
    if (header.macroCount > macros::kMaxMacros) {
        return std::to_string(header.macroCount) + " macros, more than " +
               std::to_string(macros::kMaxMacros);
    }
    if (header.flag > 1) {
        return "flag " + std::to_string(header.flag) + " is neither 0 nor 1";
    }
    if (header.totalSize != DescribedFileSize(header)) {
        return "total size " + std::to_string(header.totalSize) + " instead of " +
               std::to_string(DescribedFileSize(header)) + " for its macros and texts";
    }
    if (header.checksum != header.computedChecksum) {
        return "header checksum " + std::to_string(header.checksum) + " instead of " +
               std::to_string(header.computedChecksum);
    }
    if (header.textAreaSize > kMaxTextAreaSize) {
        return "text area of " + std::to_string(header.textAreaSize) + " bytes, more than " +
               std::to_string(kMaxTextAreaSize);
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> EncodeProfileFile(const ImageContents& image) {
    if (image.macros.size() > macros::kMaxMacros) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < KeyTextTable::kSlotCount; ++i) {
        if (image.texts.Text(i).size() > kMaxKeyTextUnits) {
            return std::nullopt;
        }
    }
    const auto macroCount = static_cast<std::uint16_t>(image.macros.size());
    // At most kMaxTextAreaSize now, so the file's total fits its 32-bit field.
    const auto textAreaSize = static_cast<std::uint32_t>(image.texts.TotalBytes());

    std::vector<std::uint8_t> file(ProfileFileSize(macroCount, textAreaSize), 0);
    const MutableBytes out(file);
    const std::vector<std::uint8_t> block = EncodeImageBlock(image, textAreaSize);
    std::copy(block.begin(), block.end(), file.begin());
    // Files are always written with the flag clear, whatever the image was loaded with.
    BuildProfileHeader(out.first<kProfileHeaderSize>(), macroCount, textAreaSize, 0);

    for (std::size_t m = 0; m < image.macros.size(); ++m) {
        macros::EncodeMacroRecord(image.macros[m],
                                  out.subspan(kMacroRecordsOffset + m * kMacroRecordFileSize)
                                      .first<kMacroRecordFileSize>());
    }

    const MutableBytes area = out.subspan(TextAreaOffset(macroCount));
    std::size_t sum = 0;
    for (std::size_t i = 0; i < KeyTextTable::kSlotCount; ++i) {
        const std::u16string& text = image.texts.Text(i);
        const std::size_t size = SlotBytes(text);
        if (size == 0 || sum + size > textAreaSize || !CarriesText(image.ImageEntry(i).kind)) {
            continue;
        }
        const std::size_t offset = sum & ~std::size_t{1};
        for (std::size_t u = 0; u < text.size(); ++u) {
            WriteU16LE(area, offset + u * kUnitSize, text[u]);
        }
        WriteU32LE(
            out, kImageKeyEntriesOffset + i * keys::KeyEntry::kSize + keys::KeyEntry::kValueOffset,
            static_cast<std::uint32_t>(offset));
        sum += size;
    }
    return file;
}

void DecodeKeyTexts(const ProfileKeyBlocks& blocks, Bytes textArea, KeyTextTable& texts,
                    std::vector<std::string>& problems) {
    // An odd last byte cannot start a unit.
    const std::size_t units = textArea.size() / kUnitSize;
    for (std::size_t i = 0; i < KeyTextTable::kSlotCount; ++i) {
        const keys::KeyEntry& entry = blocks[i / keys::kKeyBlockSize][i % keys::kKeyBlockSize];
        if (!CarriesText(entry.kind)) {
            continue;
        }
        const std::size_t first = entry.value / kUnitSize;
        if (first >= units) {
            // Without any text area an entry simply has no text yet; otherwise its offset is
            // broken.
            if (!textArea.empty()) {
                problems.push_back(ImageEntryName(i) + ": text offset " +
                                   std::to_string(entry.value) + " lies outside the text area of " +
                                   std::to_string(textArea.size()) + " bytes; no text read");
            }
            continue;
        }
        // One unit more than a text may hold tells a text at the limit from a longer one.
        const std::size_t limit = std::min(units, first + kMaxKeyTextUnits + 1);
        std::u16string text;
        bool terminated = false;
        for (std::size_t at = first; at < limit && !terminated; ++at) {
            const auto unit = static_cast<char16_t>(ReadU16LE(textArea, at * kUnitSize));
            terminated = unit == u'\0';
            if (!terminated) {
                text.push_back(unit);
            }
        }
        if (text.size() > kMaxKeyTextUnits) {
            text.resize(kMaxKeyTextUnits);
            problems.push_back(ImageEntryName(i) + ": text longer than " +
                               std::to_string(kMaxKeyTextUnits) + " characters; cut there");
        } else if (!terminated) {
            problems.push_back(ImageEntryName(i) +
                               ": text runs to the end of the text area without a " +
                               "terminator; cut there");
        }
        texts.SetText(i, text);
    }
}

}  // namespace qv::profiles
