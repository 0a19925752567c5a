#include "profiles/profile_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/hex.h"
#include "profiles/profile_file_codec.h"
#include "profiles/profile_file_support.h"
#include "profiles/profile_header.h"
#include "texts/temp_folder.h"

namespace qv::profiles {
namespace {

using keys::KeyKind;
using test::ReadFileBytes;
using test::WriteFileBytes;
using Bytes8 = std::vector<std::uint8_t>;

// Rewrites the checksum after a header change, as a careful forger would.
void Reseal(Bytes8& file) {
    file[kHeaderChecksumOffset] =
        ProfileHeaderChecksum(std::span(file).first<kProfileHeaderSize>());
}

void SetText(ImageContents& image, std::size_t index, KeyKind kind, std::u16string_view text) {
    image.ImageEntry(index).kind = kind;
    image.texts.SetText(index, text);
}

class ProfileFileTest : public ::testing::Test {
protected:
    std::filesystem::path Save(const ImageContents& image, const std::string& name = "p.fwc") {
        const std::filesystem::path path = folder.Path() / name;
        EXPECT_TRUE(WriteImageToFile(path, image));
        return path;
    }

    // The check, keeping the files it found a format problem in (what the user is told about).
    ProfileFileCheck Validate(const std::filesystem::path& path) {
        const ProfileFileCheckResult result = CheckProfileFile(path);
        if (result.formatProblem) {
            formatProblems.push_back(path);
        }
        return result.check;
    }

    qv::test::TempFolder folder;
    std::vector<std::filesystem::path> formatProblems;
};

TEST_F(ProfileFileTest, DefaultFileIsOneImageBlockAndValidates) {
    const std::filesystem::path path = folder.Path() / "new.fwc";
    ASSERT_TRUE(WriteDefaultProfileFile(path));
    const Bytes8 bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 32832u);
    EXPECT_EQ(HexBytes(Bytes(bytes).first(32)),
              "46 44 20 00 03 00 01 00 40 80 00 00 00 08 00 00 "
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 76");

    EXPECT_EQ(Validate(path), ProfileFileCheck::Valid);
    EXPECT_TRUE(formatProblems.empty());
    ImageContents loaded;
    ASSERT_TRUE(LoadImageFromFile(path, loaded).Loaded());
    ImageContents expected;
    InstallDefaultImage(expected);
    EXPECT_EQ(loaded, expected);
}

TEST_F(ProfileFileTest, VariedImageRoundTripsAndIsNotChangedBySaving) {
    const ImageContents image = test::VariedImage();
    const std::filesystem::path path = Save(image);
    EXPECT_EQ(image, test::VariedImage()) << "saving leaves the image as it was";
    // The format carries an entry of any kind; a check for an import takes none it does not know.
    const ProfileFileCheckResult check = CheckProfileFile(path);
    EXPECT_EQ(check.check, ProfileFileCheck::Invalid);
    EXPECT_EQ(check.formatProblem,
              "the key entries are not a profile's: profile 3, key slot 511: kind 4660 is not a "
              "kind of key assignment");

    ImageContents loaded;
    const LoadResult result = LoadImageFromFile(path, loaded);
    ASSERT_TRUE(result.Loaded());
    EXPECT_TRUE(result.problems.empty());

    // Files carry the texts' offsets and a clear flag; everything else comes back as it was.
    ImageContents expected = test::VariedImage();
    expected.ImageEntry(2).value = 0;
    expected.ImageEntry(512 + 256).value = 28;
    expected.ImageEntry(3 * 512 + 16).value = 28 + 32;
    expected.headerFlag = 0;
    EXPECT_EQ(loaded, expected);
}

TEST_F(ProfileFileTest, TextsArePackedInEntryOrderAndOrphanedTextsStillCount) {
    ImageContents image;
    SetText(image, 10, KeyKind::LaunchProgram, u"abcde");
    SetText(image, 11, KeyKind::Key, u"orphan");  // its entry no longer carries a text
    SetText(image, 700, KeyKind::LaunchProgram, u"fghij");
    image.ImageEntry(700).value = 999;
    const Bytes8 bytes = ReadFileBytes(Save(image));

    const std::size_t areaSize = 12 + 14 + 12;
    ASSERT_EQ(bytes.size(), 32832u + areaSize);
    EXPECT_EQ(ReadU32LE(bytes, 16), areaSize) << "the header counts the orphan";
    EXPECT_EQ(ReadU32LE(bytes, 64 + 10 * 16 + 4), 0u);
    EXPECT_EQ(ReadU32LE(bytes, 64 + 700 * 16 + 4), 12u);
    EXPECT_EQ(ReadU32LE(bytes, 64 + 11 * 16 + 4), 0u) << "not a text entry: value kept";
    EXPECT_EQ(HexBytes(Bytes(bytes).subspan(32832)),
              "61 00 62 00 63 00 64 00 65 00 00 00 66 00 67 00 68 00 69 00 6A 00 00 00 "
              "00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(image.ImageEntry(700).value, 999u) << "the image keeps its own value";
}

TEST_F(ProfileFileTest, TheLongestTextSavesAndOneMoreIsRefused) {
    ImageContents image;
    SetText(image, 3, KeyKind::TextBlock, std::u16string(kMaxKeyTextUnits, u'a'));
    const std::filesystem::path path = Save(image);
    ImageContents loaded;
    const LoadResult result = LoadImageFromFile(path, loaded);
    ASSERT_TRUE(result.Loaded());
    EXPECT_TRUE(result.problems.empty());
    EXPECT_EQ(loaded.texts, image.texts);

    image.texts.SetText(3, std::u16string(kMaxKeyTextUnits + 1, u'a'));
    EXPECT_FALSE(WriteImageToFile(path, image));
    EXPECT_EQ(LoadImageFromFile(path, loaded).status, LoadStatus::Loaded) << "old file kept";
}

// Each case damages a sound file (one macro, one text) and expects the format message.
TEST_F(ProfileFileTest, ValidationRulesAndTheirResults) {
    struct Case {
        const char* what;
        std::function<void(Bytes8&)> damage;
        ProfileFileCheck expected;
    };
    const auto set16 = [](std::size_t offset, std::uint16_t value) {
        return [=](Bytes8& f) {
            WriteU16LE(f, offset, value);
            Reseal(f);
        };
    };
    const auto set32 = [](std::size_t offset, std::uint32_t value) {
        return [=](Bytes8& f) {
            WriteU32LE(f, offset, value);
            Reseal(f);
        };
    };
    constexpr std::uint32_t kTotal = 32832 + 16512 + 4;
    using enum ProfileFileCheck;
    const std::vector<Case> cases = {
        {"sound", [](Bytes8&) {}, Valid},
        {"flag 1 is accepted",
         [](Bytes8& f) {
             f[30] = 1;
             Reseal(f);
         },
         Valid},
        {"longer than its header says", [](Bytes8& f) { f.resize(f.size() + 10); }, Valid},
        {"magic", set16(0, 0x4447), Invalid},
        {"header size", set16(2, 33), Invalid},
        {"format", set16(4, 2), Invalid},
        {"constant one", set16(6, 0), Invalid},
        {"entry count", set16(12, 2047), Invalid},
        {"flag 2",
         [](Bytes8& f) {
             f[30] = 2;
             Reseal(f);
         },
         Invalid},
        {"total one byte more", set32(8, kTotal + 1), Invalid},
        {"total one byte less", set32(8, kTotal - 1), Invalid},
        {"checksum alone", [](Bytes8& f) { ++f[31]; }, Invalid},
        {"101 macros even with a consistent total",
         [](Bytes8& f) {
             WriteU16LE(f, 14, 101);
             WriteU32LE(f, 8, 32832 + 101 * 16512 + 4);
             Reseal(f);
             f.resize(32832 + 101 * 16512 + 4);
         },
         Invalid},
        {"text area above the bound even with a consistent total",
         [](Bytes8& f) {
             const std::uint32_t text = 134'217'728 + 2;
             WriteU32LE(f, 16, text);
             WriteU32LE(f, 8, 32832 + 16512 + text);
             Reseal(f);
         },
         Invalid},
        {"shorter than its header says", [](Bytes8& f) { f.pop_back(); }, Invalid},
    };

    ImageContents image;
    image.macros = {test::Macro(1, u"m", {})};
    SetText(image, 5, KeyKind::TextBlock, u"t");
    const Bytes8 sound = ReadFileBytes(Save(image, "sound.fwc"));
    ASSERT_EQ(sound.size(), kTotal);
    const std::filesystem::path path = folder.Path() / "damaged.fwc";
    for (const Case& c : cases) {
        Bytes8 bytes = sound;
        c.damage(bytes);
        WriteFileBytes(path, bytes);
        formatProblems.clear();
        EXPECT_EQ(Validate(path), c.expected) << c.what;
        EXPECT_EQ(CheckProfileBytes(bytes).check, c.expected) << c.what << ", from memory";
        const std::vector<std::filesystem::path> expectedProblems =
            c.expected == Valid ? std::vector<std::filesystem::path>{} : std::vector{path};
        EXPECT_EQ(formatProblems, expectedProblems) << c.what;
    }
}

TEST_F(ProfileFileTest, FilesThatAreNoCandidatesAreRefusedWithoutMessage) {
    const std::filesystem::path absent = folder.Path() / "absent.fwc";
    const std::filesystem::path shortFile = folder.Path() / "short.fwc";
    WriteFileBytes(shortFile, Bytes8(32831, 0));
    const std::filesystem::path readOnly = folder.Path() / "read-only.fwc";
    ASSERT_TRUE(WriteDefaultProfileFile(readOnly));
    std::filesystem::permissions(
        readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    const std::filesystem::path directory = folder.Path() / "directory.fwc";
    std::filesystem::create_directory(directory);

    using enum ProfileFileCheck;
    EXPECT_EQ(Validate(absent), Invalid);
    EXPECT_EQ(Validate(shortFile), Invalid);
    EXPECT_EQ(Validate(readOnly), CannotOpen);
    EXPECT_EQ(Validate(directory), CannotOpen);
    EXPECT_TRUE(formatProblems.empty());

    ImageContents image;
    EXPECT_EQ(LoadImageFromFile(readOnly, image).status, LoadStatus::CannotOpen);
    EXPECT_EQ(LoadImageFromFile(absent, image).status, LoadStatus::Missing);
}

TEST_F(ProfileFileTest, FourGibibytesAreNoProfileFile) {
    const std::filesystem::path huge = folder.Path() / "huge.fwc";
    ASSERT_TRUE(WriteDefaultProfileFile(huge));
    std::error_code error;
    std::filesystem::resize_file(huge, std::uint64_t{1} << 32, error);  // sparse
    if (error) {
        GTEST_SKIP() << "no sparse 4 GiB file here: " << error.message();
    }
    EXPECT_EQ(Validate(huge), ProfileFileCheck::Invalid);
    EXPECT_TRUE(formatProblems.empty());
}

// Files that did not pass validation still load without reading past what they hold.
TEST_F(ProfileFileTest, HostileFilesAreCutOrRefusedOnLoad) {
    ImageContents image;
    image.macros = {test::Macro(1, u"m", {{10, 0x01E, macros::KeyState::Press}})};
    SetText(image, 0, KeyKind::LaunchProgram, u"ab");  // at 0: 61 00 62 00 00 00
    SetText(image, 1, KeyKind::TextBlock, u"cd");      // at 6
    const Bytes8 sound = ReadFileBytes(Save(image, "sound.fwc"));
    const std::size_t area = 32832 + 16512;
    ASSERT_EQ(sound.size(), area + 12);
    const std::size_t value1 = 64 + 16 + 4;

    struct Case {
        const char* what;
        std::function<void(Bytes8&)> damage;
        LoadStatus status;
        std::u16string text1;
        std::size_t macroCount;
        std::size_t actionCount;
        bool reported;
    };
    using enum LoadStatus;
    const std::vector<Case> cases = {
        {"odd offset reads the even one below", [&](Bytes8& f) { WriteU32LE(f, value1, 7); },
         Loaded, u"cd", 1, 1, false},
        {"offset past the text area", [&](Bytes8& f) { WriteU32LE(f, value1, 12); }, Loaded, u"", 1,
         1, true},
        {"offset far past the file", [&](Bytes8& f) { WriteU32LE(f, value1, 0xFFFFFFFF); }, Loaded,
         u"", 1, 1, true},
        {"text without terminator", [&](Bytes8& f) { WriteU16LE(f, area + 10, u'e'); }, Loaded,
         u"cde", 1, 1, true},
        {"text area of odd size ends inside a unit",
         [&](Bytes8& f) {
             WriteU32LE(f, 16, 9);
             f.resize(area + 9);
         },
         Loaded, u"c", 1, 1, true},
        {"step count beyond the record", [&](Bytes8& f) { WriteU16LE(f, 32832 + 508, 0xFFFF); },
         Loaded, u"cd", 1, 2000, true},
        {"101 macro records",
         [&](Bytes8& f) {
             WriteU16LE(f, 14, 101);
             Bytes8 grown(f.begin(), f.begin() + area);
             for (int i = 0; i < 100; ++i) {
                 grown.insert(grown.end(), f.begin() + 32832, f.begin() + area);
             }
             grown.insert(grown.end(), f.begin() + area, f.end());
             f = std::move(grown);
         },
         Loaded, u"cd", 100, 1, true},
        {"shorter than the header says", [](Bytes8& f) { f.pop_back(); }, Truncated, u"", 0, 0,
         true},
        {"macro count runs past the end", [](Bytes8& f) { WriteU16LE(f, 14, 0xFFFF); }, Truncated,
         u"", 0, 0, true},
        {"shorter than an image block", [](Bytes8& f) { f.resize(32831); }, Truncated, u"", 0, 0,
         true},
        {"text area above the bound", [](Bytes8& f) { WriteU32LE(f, 16, 0xFFFFFFFF); }, TooLarge,
         u"", 0, 0, true},
    };

    const std::filesystem::path path = folder.Path() / "hostile.fwc";
    for (const Case& c : cases) {
        Bytes8 bytes = sound;
        c.damage(bytes);
        WriteFileBytes(path, bytes);
        ImageContents loaded = test::VariedImage();
        const LoadResult result = LoadImageFromFile(path, loaded);
        EXPECT_EQ(result.status, c.status) << c.what;
        ImageContents fromMemory = test::VariedImage();
        const LoadResult memoryResult = LoadImageFromBytes(bytes, fromMemory);
        EXPECT_EQ(memoryResult.status, result.status) << c.what << ", from memory";
        EXPECT_EQ(memoryResult.problems, result.problems) << c.what << ", from memory";
        EXPECT_EQ(fromMemory, loaded) << c.what << ", from memory";
        EXPECT_EQ(!result.problems.empty(), c.reported) << c.what;
        if (c.status != Loaded) {
            EXPECT_EQ(loaded, test::VariedImage()) << c.what << ": image untouched";
            continue;
        }
        EXPECT_EQ(loaded.texts.Text(0), u"ab") << c.what;
        EXPECT_EQ(loaded.texts.Text(1), c.text1) << c.what;
        ASSERT_EQ(loaded.macros.size(), c.macroCount) << c.what;
        EXPECT_EQ(loaded.macros[0].actions.size(), c.actionCount) << c.what;
    }
}

class AtomicSaveTest : public ProfileFileTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteDefaultProfileFile(target));
        old = ReadFileBytes(target);
    }

    // Only the target and what the test put there: no temporary file is left behind.
    void ExpectOnlyTarget(std::vector<std::string> others = {}) {
        others.push_back(target.filename().string());
        std::vector<std::string> entries = folder.Entries();
        std::sort(entries.begin(), entries.end());
        std::sort(others.begin(), others.end());
        EXPECT_EQ(entries, others);
    }

    std::filesystem::path target = folder.Path() / "$Profile0";
    Bytes8 old;
};

TEST_F(AtomicSaveTest, ASaveThatRunsOutOfSpaceKeepsTheOldFile) {
    // The process may not write files larger than 40,000 bytes: the new file, with a macro,
    // fails part way through, as on a full disk.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = 40000;
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = WriteImageToFile(target, test::VariedImage());
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(target), old);
    ExpectOnlyTarget();
}

TEST_F(AtomicSaveTest, ATargetThatCannotBeReplacedIsLeftAlone) {
    const std::filesystem::path directory = folder.Path() / "taken.fwc";
    std::filesystem::create_directories(directory / "inside");
    EXPECT_FALSE(WriteImageToFile(directory, test::VariedImage()));
    EXPECT_TRUE(std::filesystem::is_directory(directory / "inside"));
    EXPECT_FALSE(WriteImageToFile(folder.Path() / "missing" / "p.fwc", test::VariedImage()));
    ExpectOnlyTarget({"taken.fwc"});
}

TEST_F(AtomicSaveTest, ALeftoverOfAnInterruptedSaveChangesNothing) {
    // What a crash between writing and renaming leaves: a half-written file beside the target.
    const std::string leftover = target.filename().string() + ".tmp-123";
    WriteFileBytes(folder.Path() / leftover, Bytes8(1000, 0xAB));
    EXPECT_EQ(ReadFileBytes(target), old);
    EXPECT_EQ(Validate(target), ProfileFileCheck::Valid);

    ASSERT_TRUE(WriteImageToFile(target, test::VariedImage()));
    ImageContents loaded;
    ASSERT_TRUE(LoadImageFromFile(target, loaded).Loaded());
    EXPECT_EQ(loaded.macros, test::VariedImage().macros);
    ExpectOnlyTarget({leftover});
}

}  // namespace
}  // namespace qv::profiles
