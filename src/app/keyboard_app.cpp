#include "app/keyboard_app.h"

#include "platform/ini_file.h"
#include "profiles/profile_folder.h"
#include "ui/safe_format.h"

namespace qv::app {

// The lighting panel's switch kept in the profile folder's per-key colour settings file.
namespace {

class WskbPanelSwitch final : public lighting::PanelSwitchStore {
public:
    explicit WskbPanelSwitch(std::filesystem::path file) : file_(std::move(file)) {}
    bool PanelSwitchOn() const override {
        return platform::ReadProfileString(file_, "KEYCOLOR", "DengCheck", "0",
                                           platform::kProfileReadMaxChars) == "1";
    }

private:
    std::filesystem::path file_;
};

}  // namespace

KeyboardApp::KeyboardApp(const KeyboardAppEnvironment& environment)
    : lookup(environment.programFolder, environment.languageKey, environment.systemLanguage),
      link(environment.startedWithStart),
      transport(std::in_place, environment.service, environment.transportTiming),
      commands(*transport),
      panelSwitch(std::make_unique<WskbPanelSwitch>(
          profiles::ProfileFolderPath(environment.documentsFolder) / "wskb.ini")),
      lighting(commands, *panelSwitch),
      store(
          profiles::ProfileFolderPath(environment.documentsFolder), profileImage, deviceImage,
          commands, activeProfile, facts, environment.prompt,
          {.slotText = [this](ui::TextSlot slot) { return texts.SlotText(slot); },
           .deviceWriteTexts =
               [this] {
                   return profiles::DeviceWriteTexts{
                       lookup.LookupText(texts.SlotText(ui::TextSlot::EXTRA_MACRO_TOO_LONG)),
                       lookup.LookupText(texts.SlotText(ui::TextSlot::EXTRA_PROFILE_SPACE_TIGHT))};
               }}),
      core({.transport = *transport,
            .link = link,
            .facts = facts,
            .activeProfile = activeProfile,
            .lighting = lighting,
            .profileImage = profileImage,
            .deviceImage = deviceImage,
            .profileActions = store,
            .prompt = environment.prompt,
            .launcher = environment.launcher,
            .exit = environment.exit,
            .texts = texts,
            .lookup = lookup,
            .window = loop,
            .view = environment.view,
            .helpFolder = environment.programFolder / "Help",
            .busyTiming = environment.busyTiming}),
      worker({.transport = *transport,
              .window = loop,
              .link = link,
              .facts = facts,
              .activeProfile = activeProfile,
              .prompt = environment.prompt,
              .texts = texts,
              .lookup = lookup}) {
    store.SetHooks(
        {.imageReplaced = {}, .applyNoLongerPending = [this] { core.SetApplyPending(false); }});
    loop.SetHandler(&core);
}

KeyboardApp::~KeyboardApp() {
    loop.Shutdown();
    worker.Shutdown();
    core.Shutdown();
    transport.reset();
}

bool KeyboardApp::Start() {
    if (!transport->Load(&worker)) {
        return false;
    }
    core.SetApplyPending(false);
    loop.Post({device::MSG_INIT, device::TAG_INIT});
    return true;
}

bool KeyboardApp::Settle(std::chrono::milliseconds timeout) {
    const bool idle = loop.RunUntil([this] { return worker.IsIdle(); }, timeout);
    loop.RunUntilIdle();
    return idle;
}

}  // namespace qv::app
