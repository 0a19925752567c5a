#include "gui/about_dialog.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace qv::gui {

AboutDialog::AboutDialog(const QIcon& icon, const QString& webSite, QWidget* parent)
    : QDialog(parent),
      version_(new QLabel(QString::fromLatin1(kBuiltInVersion), this)),
      secondLine_(new QLabel(this)),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(48, 48));
    auto* layout = new QGridLayout(this);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(version_, 0, 1);
    layout->addWidget(secondLine_, 1, 1);
    // The maker's site, when the skin names one.
    if (!webSite.isEmpty()) {
        auto* link =
            new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(webSite.toHtmlEscaped()), this);
        link->setObjectName(QStringLiteral("WebSite"));
        link->setOpenExternalLinks(true);
        link->setTextInteractionFlags(Qt::TextBrowserInteraction);
        layout->addWidget(link, 2, 1);
    }
    layout->addWidget(ok_, 0, 2, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutDialog::SetTexts(const AboutTexts& texts) {
    setWindowTitle(texts.title);
    version_->setText(texts.version);
    secondLine_->setText(texts.copyright);
    ok_->setText(texts.ok);
}

QString AboutDialog::VersionText() const {
    return version_->text();
}

void AboutDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        emit HelpRequested();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace qv::gui
