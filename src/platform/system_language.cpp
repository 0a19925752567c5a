#include "platform/system_language.h"

#include <array>
#include <cstdlib>

namespace qv::platform {
namespace {

struct LocaleId {
    std::string_view locale;  // "ll" for a language's main id, "ll_CC" for a country
    std::uint16_t id;
};

constexpr std::array kLocaleIds = std::to_array<LocaleId>({
    {"en", 0x0409},    {"en_US", 0x0409}, {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009},
    {"en_NZ", 0x1409}, {"en_IE", 0x1809}, {"en_ZA", 0x1C09}, {"en_JM", 0x2009}, {"en_BZ", 0x2809},
    {"en_TT", 0x2C09}, {"en_ZW", 0x3009}, {"en_PH", 0x3409}, {"en_IN", 0x4009}, {"en_MY", 0x4409},
    {"en_SG", 0x4809}, {"fr", 0x040C},    {"fr_FR", 0x040C}, {"fr_BE", 0x080C}, {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"fr_MC", 0x180C}, {"de", 0x0407},    {"de_DE", 0x0407},
    {"de_CH", 0x0807}, {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407}, {"es", 0x0C0A},
    {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"es_GT", 0x100A}, {"es_CR", 0x140A}, {"es_PA", 0x180A},
    {"es_DO", 0x1C0A}, {"es_VE", 0x200A}, {"es_CO", 0x240A}, {"es_PE", 0x280A}, {"es_AR", 0x2C0A},
    {"es_EC", 0x300A}, {"es_CL", 0x340A}, {"es_UY", 0x380A}, {"es_PY", 0x3C0A}, {"es_BO", 0x400A},
    {"es_SV", 0x440A}, {"es_HN", 0x480A}, {"es_NI", 0x4C0A}, {"es_PR", 0x500A}, {"es_US", 0x540A},
    {"pt", 0x0416},    {"pt_BR", 0x0416}, {"pt_PT", 0x0816}, {"nl", 0x0413},    {"nl_NL", 0x0413},
    {"nl_BE", 0x0813}, {"it", 0x0410},    {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"sv", 0x041D},
    {"sv_SE", 0x041D}, {"sv_FI", 0x081D}, {"zh", 0x0804},    {"zh_CN", 0x0804}, {"zh_TW", 0x0404},
    {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404}, {"id", 0x0421},    {"ko", 0x0412},
    {"ja", 0x0411},    {"ru", 0x0419},    {"pl", 0x0415},    {"tr", 0x041F},    {"cs", 0x0405},
    {"da", 0x0406},    {"fi", 0x040B},    {"el", 0x0408},    {"hu", 0x040E},    {"nb", 0x0414},
    {"no", 0x0414},    {"nn", 0x0814},    {"uk", 0x0422},    {"ar", 0x0401},    {"ar_EG", 0x0C01},
    {"he", 0x040D},    {"th", 0x041E},    {"vi", 0x042A},    {"ro", 0x0418},    {"sk", 0x041B},
    {"hr", 0x041A},    {"bg", 0x0402},    {"ca", 0x0403},    {"ms", 0x043E},    {"hi", 0x0439},
    {"fa", 0x0429},    {"sl", 0x0424},    {"et", 0x0425},    {"lv", 0x0426},    {"lt", 0x0427},
    {"is", 0x040F},
});

std::optional<std::uint16_t> Find(std::string_view locale) {
    for (const LocaleId& entry : kLocaleIds) {
        if (entry.locale == locale) {
            return entry.id;
        }
    }
    return std::nullopt;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

}  // namespace

std::optional<std::uint16_t> LanguageIdFromLocale(std::string_view locale) {
    locale = locale.substr(0, locale.find_first_of(".@"));
    const std::size_t separator = locale.find_first_of("_-");
    const std::string_view language = locale.substr(0, separator);
    if (language.size() < 2 || language.size() > 3) {
        return std::nullopt;
    }
    std::string key;
    for (const char c : language) {
        key.push_back(Lower(c));
    }
    if (separator != std::string_view::npos) {
        std::string full = key + "_";
        for (const char c : locale.substr(separator + 1)) {
            full.push_back(Upper(c));
        }
        if (const auto id = Find(full)) {
            return id;
        }
    }
    return Find(key);
}

PosixSystemLanguage::PosixSystemLanguage()
    : environment_([](const char* name) -> std::optional<std::string> {
          const char* value = std::getenv(name);
          if (value == nullptr) {
              return std::nullopt;
          }
          return std::string(value);
      }) {}

std::uint16_t PosixSystemLanguage::DefaultLanguageId() const {
    // The same precedence as the C library's choice of the message language; an empty
    // variable counts as unset.
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const std::optional<std::string> value = environment_(name);
        if (value && !value->empty()) {
            return LanguageIdFromLocale(*value).value_or(kDefaultLanguageId);
        }
    }
    return kDefaultLanguageId;
}

}  // namespace qv::platform
