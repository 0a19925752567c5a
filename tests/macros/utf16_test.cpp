#include "core/utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

TEST(Utf16, WellFormedTextBothWays) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"Macro 1", u"Macro 1"},
        {"\xC3\xBC\xDF\xBF", u"\u00FC\u07FF"},                            // two-byte forms
        {"\xE0\xA0\x80\xE6\xBC\xA2\xEF\xBF\xBF", u"\u0800\u6F22\uFFFF"},  // three-byte forms
        {"\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", u"\U0001F600\U0010FFFF"},    // surrogate pairs
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(Utf16, IllFormedUtf8BecomesReplacements) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"a\x80z", u"a\uFFFDz"},                            // stray continuation
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xF5\xFF", u"\uFFFD\uFFFD"},
        {"\xE6\xBC", u"\uFFFD"},                    // cut at the end: one replacement
        {"\xF0\x9F\x98z", u"\uFFFDz"},              // broken by an ASCII byte
        {"\xE6\xBC\xE6\xBC\xA2", u"\uFFFD\u6F22"},  // broken by the next lead byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
    }
}

TEST(Utf16, UnpairedSurrogatesBecomeReplacements) {
    const struct {
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {u"a\xD83D", "a\xEF\xBF\xBD"},  // high at the end
        {std::u16string{u'\xDE00', u'b'},
         "\xEF\xBF\xBD"
         "b"},  // lone low
        {std::u16string{u'\xD83D', u'c', u'\xDE00'},
         "\xEF\xBF\xBD"
         "c\xEF\xBF\xBD"},
        {std::u16string{u'\xD83D', u'\xD83D', u'\xDE00'}, "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << testing::PrintToString(c.utf8);
    }
}

}  // namespace
}  // namespace qv
