#pragma once

// Shared by the profile file and profile store tests: raw file access, and an image that uses
// every part of the file format.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "keys/key_entry.h"
#include "profiles/profile_image.h"

namespace qv::profiles::test {

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::filesystem::path& path,
                           const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline macros::MacroRecord Macro(std::uint16_t id, std::u16string name,
                                 std::vector<macros::MacroAction> actions,
                                 std::uint8_t repeat = 1) {
    macros::MacroRecord macro;
    macro.macroId = id;
    macro.name = std::move(name);
    macro.actions = std::move(actions);
    macro.repeatCount = repeat;
    return macro;
}

// Entries in every block with every field used (unknown kinds included), macros with names
// and steps, texts of both kinds that carry one, and the flag a file may carry.
inline ImageContents VariedImage() {
    using keys::KeyKind;
    ImageContents image;
    image.blocks[0] = keys::FreshKeyBlock();
    image.blocks[0][1] = {KeyKind::Key, 0, 0x02A, 0xDEADBEEF, 0x01020304};
    image.blocks[0][2] = {KeyKind::LaunchProgram, 0, 777};
    image.blocks[1][59] = {KeyKind::Macro, 3, 2};
    image.blocks[1][256] = {KeyKind::TextBlock, 0x0301, 0};
    image.blocks[2][30] = {KeyKind::Media, 0, 13, 0, 0xFFFFFFFF};
    image.blocks[2][511] = {static_cast<KeyKind>(0x1234), 0xABCD, 0x89ABCDEF, 5, 6};
    image.blocks[3][16] = {KeyKind::TextBlock, 0, 1};
    image.blocks[3][17] = {KeyKind::Disabled};
    image.texts.SetText(2, u"/usr/bin/foot");
    image.texts.SetText(512 + 256, u"Hello, w\u00f6rld \U0001F600");
    image.texts.SetText(3 * 512 + 16, u"x");
    image.macros = {
        Macro(2, u"Combo \u00e9",
              {{50, 0x01E, macros::KeyState::Press}, {0, 0x01E, macros::KeyState::Release}}, 3),
        Macro(1, u"", {}),
        Macro(100, std::u16string(249, u'z'),
              std::vector<macros::MacroAction>(2000, {40000, 0x173, macros::KeyState::Release}),
              255),
    };
    image.headerFlag = 1;
    return image;
}

}  // namespace qv::profiles::test
