#include "platform/system_language.h"

#include <gtest/gtest.h>

#include <map>

namespace qv::platform {
namespace {

TEST(SystemLanguageTest, MapsLocalesToLanguageIds) {
    const std::vector<std::pair<std::string_view, std::optional<std::uint16_t>>> cases = {
        {"en_US.UTF-8", 0x0409}, {"fr_FR", 0x040C},       {"zh_CN.GB18030", 0x0804},
        {"de_DE@euro", 0x0407},  {"de_CH.UTF-8", 0x0807}, {"en_NZ", 0x1409},
        {"zh_TW.Big5", 0x0404},  {"zh_HK", 0x0C04},       {"es_ES", 0x0C0A},
        {"es_MX", 0x080A},       {"pt_PT", 0x0816},       {"pt-BR", 0x0416},
        {"ko_KR.eucKR", 0x0412}, {"id_ID", 0x0421},       {"EN_gb", 0x0809},
        {"fr_SN", 0x040C},  // unknown country: the language's main id
        {"ja", 0x0411},          {"C", std::nullopt},     {"C.UTF-8", std::nullopt},
        {"POSIX", std::nullopt}, {"", std::nullopt},      {"xx_YY", std::nullopt},
        {"_US", std::nullopt},
    };
    for (const auto& [locale, id] : cases) {
        EXPECT_EQ(LanguageIdFromLocale(locale), id) << locale;
    }
}

TEST(SystemLanguageTest, TakesTheFirstSetOfLcAllLcMessagesAndLang) {
    const auto languageWith = [](std::map<std::string, std::string> variables) {
        const PosixSystemLanguage language(
            [variables](const char* name) -> std::optional<std::string> {
                const auto found = variables.find(name);
                return found == variables.end() ? std::nullopt : std::optional(found->second);
            });
        return language.DefaultLanguageId();
    };
    EXPECT_EQ(languageWith({{"LC_ALL", "fr_FR"}, {"LC_MESSAGES", "de_DE"}, {"LANG", "ko_KR"}}),
              0x040C);
    EXPECT_EQ(languageWith({{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE"}, {"LANG", "ko_KR"}}), 0x0407);
    EXPECT_EQ(languageWith({{"LANG", "ko_KR.UTF-8"}}), 0x0412);
    // A set variable that names no language does not fall through to the next one.
    EXPECT_EQ(languageWith({{"LC_ALL", "C"}, {"LANG", "ko_KR"}}), kDefaultLanguageId);
    EXPECT_EQ(languageWith({}), kDefaultLanguageId);
}

}  // namespace
}  // namespace qv::platform
