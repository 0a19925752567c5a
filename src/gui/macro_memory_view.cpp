#include "gui/macro_memory_view.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace qv::gui {
namespace {

// The bar's colour says the same as the warning: fits, fits without names, does not fit.
constexpr const char* kBarStyle =
    "QProgressBar { background: #1b1e24; border: 1px solid #3d4450; border-radius: 3px; }"
    "QProgressBar::chunk { background: %1; border-radius: 2px; }";
constexpr const char* kFitsColour = "#15917f";
constexpr const char* kNamesDroppedColour = "#d9a441";
constexpr const char* kRefusedColour = "#e0574f";
constexpr int kBarHeight = 10;

}  // namespace

MacroMemoryView::MacroMemoryView(QWidget* parent)
    : QWidget(parent),
      bar_(new QProgressBar(this)),
      figure_(new QLabel(this)),
      warning_(new QLabel(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    bar_->setObjectName(QStringLiteral("MacroMemoryBar"));
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->setFixedHeight(kBarHeight);
    figure_->setObjectName(QStringLiteral("MacroMemoryFigure"));
    warning_->setObjectName(QStringLiteral("MacroMemoryWarning"));
    warning_->setWordWrap(true);
    warning_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QLabel* label : {figure_, warning_}) {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 0.9);
        label->setFont(font);
    }
    layout->addWidget(bar_);
    layout->addWidget(figure_);
    layout->addWidget(warning_);
    layout->addStretch(1);
}

void MacroMemoryView::Show(const macros::MacroMemoryMeter& meter, const QString& figure,
                           const QString& warning) {
    const char* colour = meter.ApplyRefused()   ? kRefusedColour
                         : meter.NamesDropped() ? kNamesDroppedColour
                                                : kFitsColour;
    if (!meter.CapacityKnown()) {
        colour = kFitsColour;
    }
    bar_->setStyleSheet(QString::fromLatin1(kBarStyle).arg(QLatin1String(colour)));
    bar_->setValue(static_cast<int>(std::min<std::size_t>(meter.PercentUsed(), 100)));
    bar_->setAccessibleName(figure);
    figure_->setText(figure);
    warning_->setText(warning);
    warning_->setStyleSheet(QStringLiteral("color: %1;").arg(QLatin1String(colour)));
    warning_->setVisible(!warning.isEmpty());
    setToolTip(warning.isEmpty() ? figure : figure + QLatin1Char('\n') + warning);
}

}  // namespace qv::gui
