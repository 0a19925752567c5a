#pragma once

// The about box: the application icon, the version line, a second line, a link to the maker's
// web site (when the skin names one) and OK. It is modeless, and the main window keeps at most one.

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace qv::gui {

struct AboutTexts {
    QString title;
    QString version;
    QString copyright;
    QString ok;
};

class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    // The version line's text until the first texts arrive.
    static constexpr const char* kBuiltInVersion = "Game Keyboard Drive V1.0.0";

    AboutDialog(const QIcon& icon, const QString& webSite, QWidget* parent = nullptr);

    void SetTexts(const AboutTexts& texts);

    [[nodiscard]] QString VersionText() const;

signals:
    // F1 was pressed in the box.
    void HelpRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* version_;
    QLabel* secondLine_;
    QPushButton* ok_;
};

}  // namespace qv::gui
