#pragma once

// The profile manager: the keyboard's four profiles and the profile files the user keeps, one
// of them checked as the one to use, skinned from Profile.ini. Add writes a new profile file of
// the default settings, Load lists an existing one, Delete takes a row off the list; Apply (and
// OK) records the rows in the settings and hands the checked row to the application, which
// switches to that profile or imports that file. The rules are app::ProfileManagerModel's.

#include <QPixmap>
#include <QString>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/profile_manager_model.h"
#include "gui/file_chooser.h"
#include "gui/widgets/base_dialog.h"
#include "gui/widgets/button_cuts.h"
#include "gui/widgets/window_skin_target.h"
#include "texts/skin_placement.h"

class QLabel;
class QTableWidget;

namespace qv::platform {
class SettingsStore;
}

namespace qv::gui {

class PngButton;

class ProfileManagerDialog final : public BaseDialog {
    Q_OBJECT

public:
    // A lookup key in, the text to show out.
    using LookupFn = std::function<std::string(std::string_view key)>;

    // `settings` receives the rows at Apply; none keeps no record.
    ProfileManagerDialog(QWidget* parent, const std::filesystem::path& programFolder,
                         LookupFn lookup, platform::SettingsStore* settings, FileChooser chooser);
    ~ProfileManagerDialog() override;

    // The skin, on the first opening only: nothing when the dialog is ready, else the picture
    // that could not be loaded (the program then ends).
    [[nodiscard]] std::optional<ui::SkinExit> Initialise();

    // Opens (window-modal) on the four profiles of the current profile file in `profileFolder`
    // with `activeProfile` checked; Add offers `newFileName` there.
    void OpenFor(const std::filesystem::path& profileFolder, int activeProfile,
                 const std::string& newFileName);
    [[nodiscard]] bool IsOpen() const { return open_; }
    // Closes as Cancel does; nothing when closed.
    void CloseIfOpen();
    // The texts again, after the language changed.
    void LoadTexts();

    // ---- What tests look at ----
    [[nodiscard]] QTableWidget* List() const { return list_; }
    [[nodiscard]] PngButton* Button(std::string_view skinKey) const;
    [[nodiscard]] const app::ProfileManagerModel& Model() const { return model_; }

signals:
    // Apply or OK: what the checked row asks of the keyboard.
    void Applied(const qv::app::ManagerChoice& choice);
    // F1.
    void HelpRequested();
    // Something the user must be told (a file that could not be written).
    void MessageRequested(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void PlaceButton(const ui::PlacedControl& placed);
    void PlaceControl(const ui::PlacedControl& placed);
    void ConnectControls();
    void ShowRows();
    void OnItemChanged(int row, int column);
    void Add();
    void Load();
    void Delete();
    void Apply();
    void Finish();
    [[nodiscard]] QString Text(std::string_view lookupKey) const;

    LookupFn lookup_;
    std::filesystem::path programFolder_;
    platform::SettingsStore* settings_;
    FileChooser chooser_;
    bool initialised_ = false;
    std::vector<ButtonPictureSource> sources_;
    std::map<std::string, PngButton*, std::less<>> buttons_;
    QTableWidget* list_ = nullptr;
    QLabel* title_ = nullptr;

    app::ProfileManagerModel model_{{}, -1};
    std::filesystem::path profileFolder_;
    std::string newFileName_;
    bool open_ = false;
    // While the list is filled, its change signals are no user's choice.
    bool filling_ = false;
};

}  // namespace qv::gui

Q_DECLARE_METATYPE(qv::app::ManagerChoice)
