#pragma once

#include <QColor>
#include <QList>
#include <QToolButton>

#include <functional>

class QMenu;

// A colour-picker button: shows its colour and opens a palette of standard colours with an extra
// button "其它" that opens the standard colour chooser. It offers no automatic colour.
class CColorButton : public QToolButton {
    Q_OBJECT
public:
    // Asks for a colour starting from the current one; an invalid colour means cancelled.
    using Chooser = std::function<QColor(const QColor& current, QWidget* owner)>;

    // english: the language of the palette's "其它" / "Other" button.
    explicit CColorButton(QWidget* parent = nullptr, bool english = false);

    QColor color() const { return color_; }
    void setColor(const QColor& color);

    // The standard colours of the palette, row by row.
    static const QList<QColor>& standardColors();

    // The palette popup (standard colours and "其它").
    QMenu* palettePopup() const { return popup_; }
    // Replaces the full colour chooser (tests); the default is the standard colour dialog.
    void setChooser(Chooser chooser);

    // What "其它" does: the full chooser, keeping the colour when it is cancelled.
    void chooseOther();

signals:
    void colorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void pick(const QColor& color);

    QColor color_ = Qt::black;
    QMenu* popup_ = nullptr;
    Chooser chooser_;
};
