#include "cli/keyboard_session.h"

#include <cstdio>

#include "core/hex.h"
#include "platform/program_folder.h"
#include "platform/xdg_paths.h"

namespace qv::cli {

KeyboardSession::~KeyboardSession() {
    // The application cancels its registrations before the service it registered with goes.
    app_.reset();
    backend_.reset();
}

std::variant<std::unique_ptr<KeyboardSession>, SessionError> KeyboardSession::Open(
    const KeyboardChoice& choice, const SessionOptions& options) {
    std::unique_ptr<KeyboardSession> session(new KeyboardSession(options));
    auto backend = service::KeyboardBackend::Open(choice);
    if (auto* failure = std::get_if<service::BackendError>(&backend)) {
        return SessionError{failure->message};
    }
    session->backend_ = std::move(std::get<std::unique_ptr<service::KeyboardBackend>>(backend));

    session->languageKey_ = std::make_unique<platform::IniSettingsStore>(
        platform::SettingsFilePath(ui::kLanguageSettingsOrganisation));
    session->app_ = std::make_unique<app::KeyboardApp>(app::KeyboardAppEnvironment{
        .service = session->backend_->service(),
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
    if (auto failure = backend_->Save()) {
        return SessionError{failure->message};
    }
    return std::nullopt;
}

}  // namespace qv::cli
