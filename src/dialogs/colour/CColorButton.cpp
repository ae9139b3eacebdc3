#include "CColorButton.h"

#include "texts/QtTexts.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {
constexpr int kPaletteColumns = 8;
constexpr int kSwatch = 18;
} // namespace

CColorButton::CColorButton(QWidget* parent, bool english) : QToolButton(parent)
{
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    chooser_ = [](const QColor& current, QWidget* owner) {
        // The standard chooser, without the alpha channel or other extensions.
        return QColorDialog::getColor(current, owner);
    };

    popup_ = new QMenu(this);
    auto* panel = new QWidget(popup_);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const QList<QColor>& colors = standardColors();
    for (int i = 0; i < colors.size(); ++i) {
        const QColor color = colors[i];
        auto* swatch = new QPushButton(panel);
        swatch->setFixedSize(kSwatch, kSwatch);
        swatch->setToolTip(color.name());
        swatch->setStyleSheet(
            QStringLiteral("background-color: %1; border: 1px solid gray;").arg(color.name()));
        swatch->setProperty("paletteColor", color);
        connect(swatch, &QPushButton::clicked, this, [this, color] {
            popup_->close();
            pick(color);
        });
        grid->addWidget(swatch, i / kPaletteColumns, i % kPaletteColumns);
    }
    layout->addLayout(grid);
    auto* other = new QPushButton(texts::qtext(texts::TextId::ColourOther, english), panel);
    other->setObjectName(QStringLiteral("otherColorButton"));
    connect(other, &QPushButton::clicked, this, [this] {
        popup_->close();
        chooseOther();
    });
    layout->addWidget(other);
    auto* action = new QWidgetAction(popup_);
    action->setDefaultWidget(panel);
    popup_->addAction(action);
    setMenu(popup_);
}

const QList<QColor>& CColorButton::standardColors()
{
    static const QList<QColor> colors = {
        QColor(0, 0, 0),       QColor(128, 0, 0),     QColor(0, 128, 0),     QColor(128, 128, 0),
        QColor(0, 0, 128),     QColor(128, 0, 128),   QColor(0, 128, 128),   QColor(192, 192, 192),
        QColor(128, 128, 128), QColor(255, 0, 0),     QColor(0, 255, 0),     QColor(255, 255, 0),
        QColor(0, 0, 255),     QColor(255, 0, 255),   QColor(0, 255, 255),   QColor(255, 255, 255),
        QColor(255, 128, 128), QColor(255, 192, 128), QColor(255, 255, 128), QColor(128, 255, 128),
        QColor(128, 255, 255), QColor(128, 128, 255), QColor(255, 128, 255), QColor(224, 224, 224),
        QColor(192, 64, 0),    QColor(255, 128, 0),   QColor(128, 192, 0),   QColor(0, 160, 96),
        QColor(0, 96, 192),    QColor(96, 64, 192),   QColor(192, 0, 96),    QColor(96, 96, 96),
        QColor(150, 150, 255), QColor(100, 255, 100), QColor(200, 100, 100), QColor(200, 200, 100),
        QColor(100, 100, 100), QColor(64, 32, 0),     QColor(0, 64, 64),     QColor(32, 32, 64),
    };
    return colors;
}

void CColorButton::setColor(const QColor& color)
{
    if (!color.isValid())
        return;
    color_ = color.toRgb();
    update();
}

void CColorButton::setChooser(Chooser chooser)
{
    chooser_ = std::move(chooser);
}

void CColorButton::chooseOther()
{
    const QColor chosen = chooser_ ? chooser_(color_, this) : QColor();
    if (chosen.isValid())
        pick(chosen);
}

void CColorButton::pick(const QColor& color)
{
    setColor(color);
    emit colorChanged(color_);
}

void CColorButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.features &= ~QStyleOptionToolButton::MenuButtonPopup;
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    const QRect swatch = rect().adjusted(5, 4, -16, -4);
    painter.fillRect(swatch, color_);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
