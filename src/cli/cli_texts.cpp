#include "cli/cli_texts.h"

#include "platform/program_folder.h"

namespace qv::cli {

CliTexts::CliTexts()
    : languageKey_(platform::SettingsFilePath(ui::kLanguageSettingsOrganisation)),
      lookup_(platform::ProgramFolder(), languageKey_, systemLanguage_) {}

}  // namespace qv::cli
