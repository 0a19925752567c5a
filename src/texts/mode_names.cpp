#include "texts/mode_names.h"

#include "texts/builtin_lookup_text.h"
#include "texts/lookup_keys.h"
#include "texts/text_lookup.h"
#include "texts/user_text.h"

namespace qv::ui {
namespace {

std::string NameIn(const platform::IniFile& file, int mode) {
    return file.GetString(kModeNameSection, std::to_string(mode), "",
                          platform::kProfileReadMaxChars);
}

}  // namespace

std::string ModeName(const platform::IniFile& lookupFile, int mode) {
    if (std::string name = NameIn(lookupFile, mode); !IsNoUserText(name)) {
        return name;
    }
    static const platform::IniFile builtIn = platform::IniFile::ParseText(BuiltInLookupFileText());
    if (std::string name = NameIn(builtIn, mode); !IsNoUserText(name)) {
        return name;
    }
    return std::string(kMissingModeName);
}

std::string ModeName(const TextLookup& lookup, int mode) {
    const auto file = lookup.LoadLookupFile();
    return ModeName(file ? *file : platform::IniFile(), mode);
}

}  // namespace qv::ui
