#include "cli/edit_commands.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "assignments/assignment_description.h"
#include "assignments/assignment_spec.h"
#include "cli/exit_codes.h"
#include "cli/listing.h"
#include "core/utf16.h"
#include "keys/key_name_parser.h"
#include "macros/macro_text.h"
#include "platform/xdg_paths.h"
#include "profiles/profile_file.h"
#include "profiles/profile_folder.h"
#include "ui/lookup_keys.h"
#include "ui/safe_format.h"

namespace qv::cli {
namespace {

struct EditOptions {
    std::string key;
    std::string target;
    int repeat = 1;
    bool applyNow = false;
    int profile = 0;
    int macroId = 0;
    std::string macroName;
    std::string steps;
    bool force = false;
    std::string file;
};

std::filesystem::path PendingFile() {
    return platform::StateFolder() / "quorvane" / "pending.fwc";
}

bool HasPending() {
    std::error_code error;
    return std::filesystem::exists(PendingFile(), error);
}

int Fail(const std::string& message, int code) {
    std::fprintf(stderr, "quorvanectl: %s\n", message.c_str());
    return code;
}

// The keyboard's arrival, then the pending changes of earlier runs on top of what it holds.
int LoadWorkingImage(KeyboardSession& session) {
    if (!session.Arrive()) {
        return Fail("the keyboard's firmware is too old for this tool", kExitDeviceError);
    }
    if (!HasPending()) {
        return kExitOk;
    }
    profiles::ImageContents pending;
    const profiles::LoadResult loaded = profiles::LoadImageFromFile(PendingFile(), pending);
    if (!loaded.Loaded()) {
        return Fail("the pending changes in " + PendingFile().string() +
                        " cannot be read; `quorvanectl discard` drops them",
                    kExitSetupError);
    }
    *session.app().profileImage.Lock() = std::move(pending);
    session.app().core.SetApplyPending(true);
    return kExitOk;
}

// Keeps the edited image as pending changes, or writes it at once.
int FinishEdit(KeyboardSession& session, bool applyNow) {
    app::KeyboardApp& app = session.app();
    {
        auto image = app.profileImage.Lock();
        std::error_code error;
        std::filesystem::create_directories(PendingFile().parent_path(), error);
        if (!profiles::WriteImageToFile(PendingFile(), *image)) {
            return Fail("could not keep the change in " + PendingFile().string(), kExitSetupError);
        }
    }
    app.core.SetApplyPending(true);
    if (!applyNow) {
        std::cout << "Pending; `quorvanectl apply` writes it to the keyboard.\n";
        return kExitOk;
    }
    app.core.Apply();
    if (app.core.ApplyPending()) {
        return Fail("the keyboard did not take the changes; they stay pending", kExitDeviceError);
    }
    std::error_code error;
    std::filesystem::remove(PendingFile(), error);
    std::cout << "Written to the keyboard.\n";
    return kExitOk;
}

int ActiveProfileOf(KeyboardSession& session) {
    return session.app().activeProfile.GetActiveProfile(session.commands());
}

int RunKeysShow(KeyboardSession& session, const GlobalOptions& options, int profileOption) {
    if (const int status = LoadWorkingImage(session); status != kExitOk) {
        return status;
    }
    const int profile = profileOption != 0 ? profileOption - 1 : ActiveProfileOf(session);
    if (profile < 0) {
        return Fail("the keyboard's active profile cannot be read", kExitDeviceError);
    }
    const keys::TextLookupFn lookup = session.Lookup();
    auto image = session.app().profileImage.Lock();
    const keys::KeyBlock& block = image->blocks[static_cast<std::size_t>(profile)];
    if (options.json) {
        std::cout << nlohmann::json{{"profile", profile + 1},
                                    {"assignments", AssignmentsJson(block, image->macros, lookup)}}
                         .dump(2)
                  << "\n";
    } else {
        std::cout << "Profile " << profile + 1 << (HasPending() ? " (with pending changes)" : "")
                  << "\n"
                  << AssignmentsText(block, image->macros, lookup);
    }
    return kExitOk;
}

int RunAssign(KeyboardSession& session, const EditOptions& o) {
    if (const int status = LoadWorkingImage(session); status != kExitOk) {
        return status;
    }
    const keys::TextLookupFn lookup = session.Lookup();
    const auto slot = keys::ParseKeySlot(o.key, lookup);
    if (!slot) {
        return Fail("unknown key \"" + o.key + "\" (see `quorvanectl keys list`)", kExitBadInput);
    }
    const int profile = ActiveProfileOf(session);
    if (profile < 0) {
        return Fail("the keyboard's active profile cannot be read", kExitDeviceError);
    }
    {
        auto image = session.app().profileImage.Lock();
        const auto parsed = keys::ParseAssignment(o.target, o.repeat, *slot, image->macros, lookup);
        if (const auto* error = std::get_if<keys::AssignmentError>(&parsed)) {
            return Fail(error->message, kExitBadInput);
        }
        image->blocks[static_cast<std::size_t>(profile)][*slot] = std::get<keys::KeyEntry>(parsed);
    }
    return FinishEdit(session, o.applyNow);
}

std::uint16_t FreeMacroId(const macros::MacroList& list) {
    for (std::uint16_t id = macros::kMinMacroId; id <= macros::kMaxMacroId; ++id) {
        if (std::none_of(list.begin(), list.end(),
                         [&](const auto& m) { return m.macroId == id; })) {
            return id;
        }
    }
    return 0;
}

int RunMacroAdd(KeyboardSession& session, const EditOptions& o) {
    if (const int status = LoadWorkingImage(session); status != kExitOk) {
        return status;
    }
    const keys::TextLookupFn lookup = session.Lookup();
    const auto steps = macros::ParseMacroText(o.steps, lookup);
    if (const auto* error = std::get_if<macros::MacroTextError>(&steps)) {
        return Fail("the macro steps are not right: " + error->message, kExitBadInput);
    }
    const std::u16string name = Utf8ToUtf16(o.macroName);
    if (name.empty() || name.size() > macros::kMaxMacroNameLength) {
        return Fail("a macro name has 1 to 249 characters", kExitBadInput);
    }
    std::uint16_t id = 0;
    {
        auto image = session.app().profileImage.Lock();
        if (image->macros.size() >= macros::kMaxMacros) {
            const std::string format = session.app().lookup.LookupText(
                session.app().texts.SlotText(ui::TextSlot::MACRO_ERR_MAX));
            return Fail(ui::SafeFormat(format, "At most %d macros.", {100}), kExitBadInput);
        }
        id = FreeMacroId(image->macros);
        image->macros.push_back({.name = name,
                                 .repeatCount = static_cast<std::uint8_t>(o.repeat),
                                 .macroId = id,
                                 .actions = std::get<std::vector<macros::MacroAction>>(steps)});
    }
    std::cout << "Macro " << id << " added.\n";
    return FinishEdit(session, o.applyNow);
}

int RunMacroDelete(KeyboardSession& session, const EditOptions& o) {
    if (const int status = LoadWorkingImage(session); status != kExitOk) {
        return status;
    }
    {
        auto image = session.app().profileImage.Lock();
        auto& list = image->macros;
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const auto& m) { return m.macroId == o.macroId; });
        if (found == list.end()) {
            return Fail("no macro has the id " + std::to_string(o.macroId), kExitBadInput);
        }
        int uses = 0;
        for (auto& block : image->blocks) {
            for (std::size_t slot = 0; slot < keys::kGKeySlotEnd; ++slot) {
                keys::KeyEntry& entry = block[slot];
                if (entry.kind == keys::KeyKind::Macro &&
                    entry.value == static_cast<std::uint32_t>(o.macroId)) {
                    ++uses;
                    if (o.force) {
                        entry = keys::KeyEntry{.aux = keys::GKeyAuxCode(slot)};
                    }
                }
            }
        }
        if (uses > 0 && !o.force) {
            return Fail(std::to_string(uses) +
                            " key(s) play this macro; --force deletes it and puts them back to "
                            "their defaults",
                        kExitBadInput);
        }
        list.erase(found);
    }
    return FinishEdit(session, o.applyNow);
}

int RunMacroList(KeyboardSession& session, const GlobalOptions& options, int onlyId) {
    if (const int status = LoadWorkingImage(session); status != kExitOk) {
        return status;
    }
    const keys::TextLookupFn lookup = session.Lookup();
    auto image = session.app().profileImage.Lock();
    nlohmann::json json = nlohmann::json::array();
    bool found = false;
    for (const macros::MacroRecord& macro : image->macros) {
        if (onlyId != 0 && macro.macroId != onlyId) {
            continue;
        }
        found = true;
        if (options.json) {
            json.push_back(MacroJson(macro, lookup));
        } else {
            std::cout << MacroText(macro, onlyId != 0, lookup);
        }
    }
    if (onlyId != 0 && !found) {
        return Fail("no macro has the id " + std::to_string(onlyId), kExitBadInput);
    }
    if (options.json) {
        std::cout << json.dump(2) << "\n";
    } else if (image->macros.empty()) {
        std::cout << "No macros.\n";
    }
    return kExitOk;
}

}  // namespace

void AddEditCommands(CLI::App& app, CommandRunner& selected, OfflineRunner& offline) {
    auto o = std::make_shared<EditOptions>();
    const auto applyFlag = [o](CLI::App* command) {
        command->add_flag("--apply", o->applyNow,
                          "Write to the keyboard at once instead of keeping the change pending");
    };

    app.add_subcommand("capture",
                       "Read the keyboard's key pages and macros into the current profile file "
                       "(what the app does whenever the keyboard arrives)")
        ->callback([&selected] {
            selected = [](KeyboardSession& session, const GlobalOptions&) {
                if (!session.Arrive()) {
                    return Fail("the keyboard's firmware is too old for this tool",
                                kExitDeviceError);
                }
                std::cout << "Captured into " << session.app().store.CurrentProfileFile().string()
                          << "\n";
                return kExitOk;
            };
        });

    auto* keysCmd = app.add_subcommand("keys", "Key names and the key assignments of a profile");
    keysCmd->require_subcommand(1);
    keysCmd->add_subcommand("list", "Every key name the other commands accept")
        ->callback([&selected] {
            selected = [](KeyboardSession& session, const GlobalOptions& options) {
                nlohmann::json json = nlohmann::json::array();
                for (const auto& key : keys::NamedKeys(session.Lookup())) {
                    if (options.json) {
                        json.push_back(
                            {{"name", key.name}, {"short", key.shortName}, {"code", key.code}});
                    } else {
                        std::printf("%-24s %-18s 0x%03X\n", key.name.c_str(), key.shortName.c_str(),
                                    key.code);
                    }
                }
                if (options.json) {
                    std::cout << json.dump(2) << "\n";
                }
                return kExitOk;
            };
        });
    auto* show = keysCmd->add_subcommand(
        "show",
        "The key assignments of a profile (the active one unless --profile is given), "
        "pending changes included");
    show->add_option("--profile", o->profile, "Profile 1..4")->check(CLI::Range(1, 4));
    show->callback([&selected, o] {
        selected = [o](KeyboardSession& session, const GlobalOptions& options) {
            return RunKeysShow(session, options, o->profile);
        };
    });

    auto* assign = app.add_subcommand(
        "assign",
        "Give a key of the active profile a new job. TARGET is one of: default, disabled, "
        "stop-macro, key:NAME, mouse:left|right|middle|wheel-up|wheel-down, macro:ID, "
        "media:NAME, function:open|new|undo|save|copy|cut|paste|find|select-all|zoom-out|"
        "zoom-in");
    assign->add_option("key", o->key, "The key: its name (see `keys list`) or G1..G18")->required();
    assign->add_option("target", o->target, "What the key does")->required();
    assign->add_option("--repeat", o->repeat, "How often a macro plays per press, 1..255")
        ->check(CLI::Range(1, 255));
    applyFlag(assign);
    assign->callback([&selected, o] {
        selected = [o](KeyboardSession& session, const GlobalOptions&) {
            return RunAssign(session, *o);
        };
    });

    auto* macro = app.add_subcommand("macro", "List, show, add and delete macros");
    macro->require_subcommand(1);
    macro->add_subcommand("list", "Every macro with its id")->callback([&selected] {
        selected = [](KeyboardSession& session, const GlobalOptions& options) {
            return RunMacroList(session, options, 0);
        };
    });
    auto* macroShow = macro->add_subcommand("show", "One macro, step by step");
    macroShow->add_option("id", o->macroId, "Macro id")->required();
    macroShow->callback([&selected, o] {
        selected = [o](KeyboardSession& session, const GlobalOptions& options) {
            return RunMacroList(session, options, o->macroId);
        };
    });
    auto* macroAdd = macro->add_subcommand(
        "add",
        "Add a macro. STEPS, separated by commas: press KEY, release KEY, tap KEY (press and "
        "release), and delays after a step in milliseconds (30ms, wait 30 or 30). Example: "
        "\"press LCtrl, tap C, 50ms, release LCtrl\"");
    macroAdd->add_option("name", o->macroName, "The macro's name")->required();
    macroAdd->add_option("steps", o->steps, "The steps")->required();
    macroAdd->add_option("--repeat", o->repeat, "How often it plays per press, 1..255")
        ->check(CLI::Range(1, 255));
    applyFlag(macroAdd);
    macroAdd->callback([&selected, o] {
        selected = [o](KeyboardSession& session, const GlobalOptions&) {
            return RunMacroAdd(session, *o);
        };
    });
    auto* macroDelete = macro->add_subcommand("delete", "Delete a macro");
    macroDelete->add_option("id", o->macroId, "Macro id")->required();
    macroDelete->add_flag("--force", o->force,
                          "Also put the keys that play it back to their defaults");
    applyFlag(macroDelete);
    macroDelete->callback([&selected, o] {
        selected = [o](KeyboardSession& session, const GlobalOptions&) {
            return RunMacroDelete(session, *o);
        };
    });

    app.add_subcommand("apply", "Write the pending changes to the keyboard")->callback([&selected] {
        selected = [](KeyboardSession& session, const GlobalOptions&) {
            if (const int status = LoadWorkingImage(session); status != kExitOk) {
                return status;
            }
            const bool pending = HasPending();
            session.app().core.Apply();
            if (!pending) {
                std::cout << "Nothing to apply.\n";
                return kExitOk;
            }
            if (session.app().core.ApplyPending()) {
                return Fail("the keyboard did not take the changes; they stay pending",
                            kExitDeviceError);
            }
            std::error_code error;
            std::filesystem::remove(PendingFile(), error);
            std::cout << "Written to the keyboard.\n";
            return kExitOk;
        };
    });

    app.add_subcommand("discard", "Drop the pending changes")->callback([&offline] {
        offline = [](const GlobalOptions&) {
            std::error_code error;
            if (!std::filesystem::remove(PendingFile(), error)) {
                std::cout << "Nothing pending.\n";
            } else {
                std::cout << "Pending changes dropped.\n";
            }
            return kExitOk;
        };
    });

    auto* validate = app.add_subcommand("validate", "Check that a file is a sound profile file");
    validate->add_option("file", o->file, "A .fwc file")->required();
    validate->callback([&offline, o] {
        offline = [o](const GlobalOptions& options) {
            const profiles::ProfileFileCheckResult result = profiles::CheckProfileFile(o->file);
            const bool valid = result.check == profiles::ProfileFileCheck::Valid;
            const char* why = valid ? "a sound profile file"
                              : result.check == profiles::ProfileFileCheck::CannotOpen
                                  ? "cannot be opened for reading and writing"
                              : result.formatProblem ? result.formatProblem->c_str()
                                                     : "missing, too small or too large";
            if (options.json) {
                std::cout
                    << nlohmann::json{{"file", o->file}, {"valid", valid}, {"reason", why}}.dump(2)
                    << "\n";
            } else if (valid) {
                std::cout << o->file << ": " << why << "\n";
            } else {
                std::fprintf(stderr, "quorvanectl: %s: %s\n", o->file.c_str(), why);
            }
            return valid ? kExitOk : kExitBadInput;
        };
    });

    auto* import = app.add_subcommand(
        "import", "Make a profile file the keyboard's configuration (all four profiles)");
    import->add_option("file", o->file, "A .fwc file")->required();
    import->callback([&selected, o] {
        selected = [o](KeyboardSession& session, const GlobalOptions&) {
            if (!session.Arrive()) {
                return Fail("the keyboard's firmware is too old for this tool", kExitDeviceError);
}
const profiles::ImportResult result = session.app().store.ImportProfile(o->file);
if (result.status != profiles::ImportStatus::Imported) {
    return Fail(o->file + " was not imported", kExitBadInput);
}
for (const std::string& problem : result.problems) {
    std::fprintf(stderr, "quorvanectl: warning: %s\n", problem.c_str());
}
if (!result.writtenToKeyboard) {
    return Fail("imported, but the keyboard did not take it", kExitDeviceError);
}
std::error_code error;
std::filesystem::remove(PendingFile(), error);
std::cout << "Imported " << o->file << "\n";
return kExitOk;
};  // namespace qv::cli
});

auto* exportCmd = app.add_subcommand(
    "export", "Write the key configuration (pending changes included) to a profile file");
exportCmd->add_option("file", o->file, "The file to write, e.g. games.fwc")->required();
exportCmd->callback([&selected, o] {
    selected = [o](KeyboardSession& session, const GlobalOptions&) {
        if (const int status = LoadWorkingImage(session); status != kExitOk) {
            return status;
        }
        if (!session.app().store.ExportProfile(o->file)) {
            return Fail("could not write " + o->file, kExitSetupError);
        }
        std::cout << "Exported to " << o->file << "\n";
        return kExitOk;
    };
});
}

}  // namespace qv::cli
