#include <gtest/gtest.h>

#include <array>
#include <future>
#include <optional>
#include <vector>

#include "core/hex.h"
#include "profiles/image_block.h"
#include "profiles/profile_header.h"
#include "profiles/profile_image.h"

namespace qv::profiles {
namespace {

TEST(ProfileHeader, DefaultHeaderIsByteExact) {
    std::array<std::uint8_t, kProfileHeaderSize> header;
    header.fill(0xCC);
    BuildProfileHeader(header, 0, 0, 0);
    EXPECT_EQ(HexBytes(header),
              "46 44 20 00 03 00 01 00 40 80 00 00 00 08 00 00 "
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 76");
}

TEST(ProfileHeader, CountsSizesAndFlagGoIntoTotalAndChecksum) {
    std::array<std::uint8_t, kProfileHeaderSize> header{};
    BuildProfileHeader(header, 3, 0x1234, 1);
    EXPECT_EQ(ReadU32LE(header, 8), 32832u + 3 * 16512u + 0x1234u);
    EXPECT_EQ(ReadU16LE(header, 14), 3);
    EXPECT_EQ(ReadU32LE(header, 16), 0x1234u);
    EXPECT_EQ(header[30], 1);
    unsigned sum = 0;
    for (std::size_t i = 0; i < 31; ++i) {
        sum += header[i];
    }
    EXPECT_EQ(header[31], sum % 256);
}

TEST(ImageBlock, DefaultImageBlock) {
    ImageContents image;
    InstallDefaultImage(image);
    const std::vector<std::uint8_t> block = EncodeImageBlock(image, 0);
    ASSERT_EQ(block.size(), 32832u);
    EXPECT_EQ(block[31], 0x76);
    EXPECT_EQ(HexBytes(Bytes(block).subspan(32, 32)),
              "4B 48 20 00 20 80 00 00 04 00 00 02 00 00 00 00 "
              "45 0C 04 50 4F 1C 0E 00 00 00 00 00 00 00 00 00");
    // Only the aux fields of block 0's G key entries are set.
    std::vector<std::uint8_t> expected(32768, 0);
    for (std::size_t n = 0; n < 18; ++n) {
        const std::uint16_t aux = static_cast<std::uint16_t>((n < 9 ? 0x0301 : 0x1301) + n % 9);
        WriteU16LE(expected, (256 + n) * 16 + 2, aux);
    }
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), block.begin() + 64));
}

TEST(ImageBlock, EntriesRoundTripWithEveryField) {
    ImageContents image;
    std::uint32_t seed = 1;
    for (std::size_t i = 0; i < kImageKeyEntryCount; ++i) {
        seed = seed * 1103515245u + 12345u;
        image.ImageEntry(i) = {static_cast<keys::KeyKind>(seed >> 28),
                               static_cast<std::uint16_t>(seed), seed, seed ^ 0xA5A5A5A5u, ~seed};
    }
    image.macros.resize(2);
    image.headerFlag = 1;
    const std::vector<std::uint8_t> block = EncodeImageBlock(image, 100);
    EXPECT_EQ(ReadU32LE(block, 8), 32832u + 2 * 16512u + 100u);
    EXPECT_EQ(block[30], 1);
    EXPECT_EQ(keys::KeyEntry::FromBytes(block, 64 + 8192 * 2 + 16 * 5), image.blocks[2][5])
        << "profile p's block starts at 64 + 8192 p";

    std::vector<std::uint8_t> file = block;
    file.resize(block.size() + 50, 0xEE);  // a file goes on after the block
    const auto decoded = DecodeImageBlockEntries(file);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, image.blocks);

    const std::vector<std::uint8_t> cut(block.begin(), block.end() - 1);
    EXPECT_FALSE(DecodeImageBlockEntries(cut).has_value());
    EXPECT_FALSE(DecodeImageBlockEntries({}).has_value());
}

TEST(KeyTextTable, TotalBytesFollowTheSlots) {
    KeyTextTable texts;
    texts.SetText(0, u"notepad.exe");  // 12 units with the terminator
    texts.SetText(2047, u"ab");
    EXPECT_EQ(texts.TotalBytes(), 24u + 6u);
    texts.SetText(0, u"x");
    EXPECT_EQ(texts.TotalBytes(), 4u + 6u);
    texts.SetText(2047, std::u16string_view(u"\0hidden", 7));
    EXPECT_TRUE(texts.Text(2047).empty()) << "a text ends at its first NUL";
    EXPECT_EQ(texts.TotalBytes(), 4u);
    texts.Clear();
    EXPECT_EQ(texts.TotalBytes(), 0u);
    EXPECT_TRUE(texts.Text(0).empty());
}

TEST(ImageContents, ReleaseEmptiesEverything) {
    ImageContents image;
    InstallDefaultImage(image);
    image.macros.resize(3);
    image.texts.SetText(5, u"x");
    image.headerFlag = 1;
    image.ImageEntry(600).kind = keys::KeyKind::Disabled;
    ReleaseImageContents(image);
    EXPECT_EQ(image, ImageContents{});
    EXPECT_EQ(image.texts.TotalBytes(), 0u);
}

TEST(ProfileImage, ImageLockIsReentrantAndExcludesOtherThreads) {
    ProfileImage image;
    std::optional<ProfileImage::Access> outer(image.Lock());
    {
        const ProfileImage::Access inner = image.Lock();  // the holder may take it again
        inner->headerFlag = 1;
    }
    auto other = std::async(std::launch::async, [&] { return image.Lock()->headerFlag; });
    EXPECT_EQ(other.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    (*outer)->headerFlag = 0;
    outer.reset();
    EXPECT_EQ(other.get(), 0) << "the other thread sees the holder's last change";
}

}  // namespace
}  // namespace qv::profiles
