#pragma once

// The system's default language, as a Windows language id (LANGID: primary language in the low
// ten bits, sub-language above), which is what the stored language setting holds.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace qv::platform {

// What the system reports when nothing better is known: English (United States).
inline constexpr std::uint16_t kDefaultLanguageId = 0x0409;

class SystemLanguage {
public:
    virtual ~SystemLanguage() = default;
    [[nodiscard]] virtual std::uint16_t DefaultLanguageId() const = 0;
};

class FixedSystemLanguage final : public SystemLanguage {
public:
    explicit FixedSystemLanguage(std::uint16_t id) : id_(id) {}
    [[nodiscard]] std::uint16_t DefaultLanguageId() const override { return id_; }

private:
    std::uint16_t id_;
};

// The language of the POSIX locale for messages: the first set of LC_ALL, LC_MESSAGES and
// LANG. A locale that names no known language ("C", "POSIX", unset) gives kDefaultLanguageId.
class PosixSystemLanguage final : public SystemLanguage {
public:
    using Environment = std::function<std::optional<std::string>(const char* name)>;

    // The process environment.
    PosixSystemLanguage();
    // Another source of the three variables, for tests.
    explicit PosixSystemLanguage(Environment environment) : environment_(std::move(environment)) {}

    [[nodiscard]] std::uint16_t DefaultLanguageId() const override;

private:
    Environment environment_;
};

// "ll_CC.codeset@modifier" → id of language ll in country CC; a country the table does not
// know falls back to the language's main id ("fr_SN" → 0x040C). Nothing for an unknown
// language.
[[nodiscard]] std::optional<std::uint16_t> LanguageIdFromLocale(std::string_view locale);

}  // namespace qv::platform
