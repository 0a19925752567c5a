#include "cli/keyboard_session.h"

#include <cstdio>

#include "core/hex.h"
#include "platform/program_folder.h"
#include "platform/xdg_paths.h"
#include "sim/sim_hid_service.h"
#include "sim/sim_state_file.h"
#ifdef QUORVANE_HAVE_HIDAPI
#include "device/hidapi/make_hidapi_service.h"
#endif

namespace qv::cli {

std::optional<KeyboardChoice> ParseKeyboardChoice(const std::string& text) {
    if (text == "real") {
        return KeyboardChoice{};
    }
    if (text == "sim") {
        return KeyboardChoice{KeyboardChoice::Kind::Simulated, platform::DefaultSimStatePath()};
    }
    if (text.rfind("sim:", 0) == 0 && text.size() > 4) {
        return KeyboardChoice{KeyboardChoice::Kind::Simulated, text.substr(4)};
    }
    return std::nullopt;
}

KeyboardSession::~KeyboardSession() {
    // The application cancels its registrations before the service it registered with goes.
    app_.reset();
    service_.reset();
}

std::variant<std::unique_ptr<KeyboardSession>, SessionError> KeyboardSession::Open(
    const KeyboardChoice& choice, const SessionOptions& options) {
    std::unique_ptr<KeyboardSession> session(new KeyboardSession(options));
    if (choice.kind == KeyboardChoice::Kind::Simulated) {
        auto loaded = sim::LoadOrFactory(choice.statePath);
        if (auto* failure = std::get_if<sim::StateFileError>(&loaded)) {
            return SessionError{failure->message};
        }
        auto service =
            std::make_unique<sim::SimHidService>(std::get<sim::KeyboardMemory>(std::move(loaded)));
        session->simulated_ = service.get();
        session->statePath_ = choice.statePath;
        session->service_ = std::move(service);
    } else {
#ifdef QUORVANE_HAVE_HIDAPI
        session->service_ = device::MakeHidapiService();
#else
        return SessionError{"this build has no support for real keyboards; use --keyboard=sim"};
#endif
    }

    session->languageKey_ = std::make_unique<platform::IniSettingsStore>(
        platform::SettingsFilePath(ui::kLanguageSettingsOrganisation));
    session->app_ = std::make_unique<app::KeyboardApp>(app::KeyboardAppEnvironment{
        .service = *session->service_,
        .view = session->view_,
        .prompt = session->prompt_,
        .launcher = session->launcher_,
        .exit = session->exit_,
        .programFolder = platform::ProgramFolder(),
        .documentsFolder = platform::DocumentsFolder(),
        .languageKey = *session->languageKey_,
        .systemLanguage = session->systemLanguage_,
        // A command line run is always "started hidden": it never opens a window.
        .startedWithStart = true});
    if (options.trace) {
        session->app_->transport->SetTrace(
            [](device::TraceDirection direction, std::uint32_t tag, Bytes report) {
                const char* tagName = tag == device::TAG_CTRL   ? "CTRL"
                                      : tag == device::TAG_CONS ? "CONS"
                                                                : "LED ";
                std::fprintf(stderr, "%s %s %s\n",
                             direction == device::TraceDirection::Sent ? "->" : "<-", tagName,
                             HexBytes(report).c_str());
            });
    }
    if (!session->app_->Start()) {
        return SessionError{"the HID service could not be started"};
    }
    return session;
}

bool KeyboardSession::Arrive() {
    (void)app_->Settle();
    return !exit_.Ended();
}

std::optional<SessionError> KeyboardSession::Close() {
    if (simulated_ == nullptr) {
        return std::nullopt;
    }
    simulated_->WaitUntilIdle();
    auto saved = sim::SaveStateFile(statePath_, simulated_->Memory());
    if (auto* failure = std::get_if<sim::StateFileError>(&saved)) {
        return SessionError{failure->message};
    }
    return std::nullopt;
}

}  // namespace qv::cli
