#pragma once

// Per-user settings in the shape of the system registry: values of two types, a 32-bit number
// and a text, stored by name under a key. A store stands for one open root key (the language
// key, the application's settings key); the key paths it takes are relative to that root, with
// "" naming the root itself and "\" or "/" between the parts. Names compare without regard to
// ASCII case, as the registry does.
//
// Stores are used from several threads at once (text lookups run on the device worker).

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace qv::platform {

enum class SettingsStatus {
    Ok,
    Absent,      // no value of that name
    WrongType,   // a value of that name holds the other type
    CannotOpen,  // the key (its file) cannot be opened or created
    WriteFailed,
    InvalidName,   // a name the store cannot hold
    InvalidValue,  // a text the store cannot hold (line breaks, not UTF-8)
};

struct DwordSetting {
    SettingsStatus status = SettingsStatus::Absent;
    std::uint32_t value = 0;
};

struct StringSetting {
    SettingsStatus status = SettingsStatus::Absent;
    std::string value;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    [[nodiscard]] virtual DwordSetting ReadDword(std::string_view key,
                                                 std::string_view name) const = 0;
    [[nodiscard]] virtual StringSetting ReadString(std::string_view key,
                                                   std::string_view name) const = 0;
    // A write replaces a value of either type.
    [[nodiscard]] virtual SettingsStatus WriteDword(std::string_view key, std::string_view name,
                                                    std::uint32_t value) = 0;
    [[nodiscard]] virtual SettingsStatus WriteString(std::string_view key, std::string_view name,
                                                     std::string_view value) = 0;
};

// Keeps values in memory with their types; for tests, which can also make the key unopenable.
class MemorySettingsStore final : public SettingsStore {
public:
    [[nodiscard]] DwordSetting ReadDword(std::string_view key,
                                         std::string_view name) const override;
    [[nodiscard]] StringSetting ReadString(std::string_view key,
                                           std::string_view name) const override;
    [[nodiscard]] SettingsStatus WriteDword(std::string_view key, std::string_view name,
                                            std::uint32_t value) override;
    [[nodiscard]] SettingsStatus WriteString(std::string_view key, std::string_view name,
                                             std::string_view value) override;

    // While false, every call answers CannotOpen and changes nothing.
    void SetOpenable(bool openable);

private:
    using Value = std::variant<std::uint32_t, std::string>;
    [[nodiscard]] static std::pair<std::string, std::string> Slot(std::string_view key,
                                                                  std::string_view name);

    mutable std::mutex mutex_;
    bool openable_ = true;
    std::map<std::pair<std::string, std::string>, Value> values_;
};

// Keeps one root key in an INI file laid out as the toolkit's INI settings are: the root's
// values in section [General], a subkey "A" in section [A], deeper parts in the value name
// ("A\B" name "x" is key "B\x" of section [A]). A number is stored as decimal text; the type of
// a stored value is therefore told by its text: digits that fit in 32 bits read as a number,
// anything else only as a text. A text written by WriteString that consists of digits therefore
// also reads as a number.
//
// The file is read at every call, so that the command-line tool and the desktop program see
// each other's changes, and replaced atomically at every write.
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

    [[nodiscard]] DwordSetting ReadDword(std::string_view key,
                                         std::string_view name) const override;
    [[nodiscard]] StringSetting ReadString(std::string_view key,
                                           std::string_view name) const override;
    [[nodiscard]] SettingsStatus WriteDword(std::string_view key, std::string_view name,
                                            std::uint32_t value) override;
    [[nodiscard]] SettingsStatus WriteString(std::string_view key, std::string_view name,
                                             std::string_view value) override;

    [[nodiscard]] const std::filesystem::path& File() const { return file_; }

private:
    [[nodiscard]] StringSetting ReadText(std::string_view key, std::string_view name) const;
    [[nodiscard]] SettingsStatus WriteText(std::string_view key, std::string_view name,
                                           std::string_view value);

    std::filesystem::path file_;
    // Serialises this process's read-modify-write cycles on the file.
    mutable std::mutex mutex_;
};

// Where the toolkit keeps the INI settings of an organisation's application: the config folder
// (XDG) + organisation + "/" + application + ".ini", or + organisation + ".ini" when there is
// no application (a key directly below Software, such as the language key).
[[nodiscard]] std::filesystem::path SettingsFilePath(std::string_view organisation,
                                                     std::string_view application = {});

}  // namespace qv::platform
