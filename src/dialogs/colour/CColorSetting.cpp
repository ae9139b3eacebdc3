#include "CColorSetting.h"

#include "CColorButton.h"
#include "texts/QtTexts.h"
#include "uikit/ControlId.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace {

// Dialog units of the layout to pixels (the font's average character width and height).
QRect fromDialogUnits(int x, int y, int width, int height)
{
    constexpr double kX = 1.5;
    constexpr double kY = 1.625;
    return {static_cast<int>(x * kX), static_cast<int>(y * kY), static_cast<int>(width * kX),
            static_cast<int>(height * kY)};
}

QColor toQColor(const Rgbx& color)
{
    return {color.red, color.green, color.blue};
}

// The button's colour as stored; an unchanged colour keeps its fourth byte as read.
Rgbx toRgbx(const QColor& color, const Rgbx& before)
{
    const Rgbx picked =
        Rgbx::fromRgb(static_cast<std::uint8_t>(color.red()), static_cast<std::uint8_t>(color.green()),
                      static_cast<std::uint8_t>(color.blue()));
    if (picked.red == before.red && picked.green == before.green && picked.blue == before.blue)
        return before;
    return picked;
}

CColorButton* makeColorButton(QWidget* parent, int id, const Rgbx& color, int y, bool english)
{
    auto* button = new CColorButton(parent, english);
    uikit::setControlId(button, id);
    button->setColor(toQColor(color));
    button->setGeometry(fromDialogUnits(156, y, 50, 14));
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, int id, const QString& text, QRect where, bool ticked)
{
    auto* box = new QCheckBox(text, parent);
    uikit::setControlId(box, id);
    box->setGeometry(where);
    box->setChecked(ticked);
    return box;
}

void makeLabel(QWidget* parent, const QString& text, int y)
{
    auto* label = new QLabel(text, parent);
    label->setGeometry(fromDialogUnits(102, y, 41, 8));
    label->adjustSize();
}

} // namespace

CColorSetting::CColorSetting(GlobalSettings& settings, QWidget* parent) : QDialog(parent), settings_(settings)
{
    const bool english = settings_.englishUi();
    const auto say = [english](texts::TextId id) { return texts::qtext(id, english); };
    setWindowTitle(say(texts::TextId::ColourCaption));
    setFixedSize(fromDialogUnits(0, 0, 214, 122).size());
    const ColorScheme& colors = settings_.colors;

    customColors_ = makeCheckBox(this, IdCustomColors, say(texts::TextId::CustomColours),
                                 fromDialogUnits(12, 12, 56, 10), colors.customColors());
    customExcess_ = makeCheckBox(this, IdCustomExcess, say(texts::TextId::CustomExcessColour),
                                 fromDialogUnits(12, 66, 72, 10), colors.customExcessColor());
    customMask_ = makeCheckBox(this, IdCustomMask, say(texts::TextId::CustomMaskColour),
                               fromDialogUnits(12, 84, 72, 10), colors.customMaskColor());
    makeLabel(this, say(texts::TextId::PassColour), 12);
    makeLabel(this, say(texts::TextId::HighColour), 30);
    makeLabel(this, say(texts::TextId::LowColour), 48);
    pass_ = makeColorButton(this, IdPassColor, colors.passColor, 10, english);
    high_ = makeColorButton(this, IdHighColor, colors.highColor, 28, english);
    low_ = makeColorButton(this, IdLowColor, colors.lowColor, 46, english);
    excess_ = makeColorButton(this, IdExcessColor, colors.excessColor, 64, english);
    mask_ = makeColorButton(this, IdMaskColor, colors.maskColor, 82, english);

    auto* ok = new QPushButton(say(texts::TextId::ColourOk), this);
    uikit::setControlId(ok, IdOk);
    ok->setGeometry(fromDialogUnits(96, 102, 50, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton(say(texts::TextId::ColourCancel), this);
    uikit::setControlId(cancel, IdCancel);
    cancel->setGeometry(fromDialogUnits(150, 102, 50, 14));
    connect(ok, &QPushButton::clicked, this, &CColorSetting::accept);
    connect(cancel, &QPushButton::clicked, this, &CColorSetting::reject);

    // The resource places are the starting layout: a control grows to show its whole text (an
    // English label is longer), moving the controls to its right along, and the dialog grows.
    const QList<QWidget*> controls = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) {
        const QSize wanted = control->sizeHint().expandedTo(control->size());
        const int grown = wanted.width() - control->width();
        control->resize(wanted);
        if (grown <= 0)
            continue;
        for (QWidget* other : controls)
            if (other != control && other->x() >= control->x() + control->width() - grown &&
                other->geometry().top() < control->geometry().bottom() &&
                other->geometry().bottom() > control->geometry().top())
                other->move(other->x() + grown, other->y());
    }
    setFixedSize(
        size().expandedTo(childrenRect().size() + QSize(childrenRect().left(), childrenRect().top())));
}

void CColorSetting::accept()
{
    ColorScheme& colors = settings_.colors;
    colors.passColor = toRgbx(pass_->color(), colors.passColor);
    colors.highColor = toRgbx(high_->color(), colors.highColor);
    colors.lowColor = toRgbx(low_->color(), colors.lowColor);
    colors.excessColor = toRgbx(excess_->color(), colors.excessColor);
    colors.maskColor = toRgbx(mask_->color(), colors.maskColor);
    std::uint8_t flags = colors.colorFlags;
    flags = GlobalSettings::setBit(flags, ColorScheme::CustomColors, customColors_->isChecked());
    flags = GlobalSettings::setBit(flags, ColorScheme::CustomMaskColor, customMask_->isChecked());
    flags = GlobalSettings::setBit(flags, ColorScheme::CustomExcessColor, customExcess_->isChecked());
    colors.colorFlags = flags; // bits 3..7 as they were
    QDialog::accept();
}
