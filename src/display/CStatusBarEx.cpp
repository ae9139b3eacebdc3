#include "display/CStatusBarEx.h"

#include "display/TextFace.h"
#include "texts/QtTexts.h"
#include "uikit/ControlId.h"

#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>

// One pane of the bar: draws itself from the bar's attributes.
class CStatusBarEx::PaneWidget : public QWidget {
public:
    PaneWidget(CStatusBarEx* bar, int index) : QWidget(bar), bar_(bar), index_(index) {}

    // Room for the pane's text in the bar's font, with a little margin each side.
    QSize sizeHint() const override
    {
        const CStatusBarEx::Pane& pane = bar_->pane(index_);
        const QFontMetrics metrics(bar_->font());
        const QString& text = pane.ownerDrawn ? pane.label : pane.initialText;
        return {metrics.horizontalAdvance(text) + 2 * kTextMargin, metrics.height()};
    }
    static constexpr int kTextMargin = 2;

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.setFont(bar_->font());
        CStatusBarEx::drawPane(painter, rect(), bar_->pane(index_));
    }

private:
    CStatusBarEx* bar_;
    int index_;
};

CStatusBarEx::CStatusBarEx(QWidget* parent) : QStatusBar(parent)
{
    uikit::setControlId(this, kStatusBarId);
    setSizeGripEnabled(false);
    setFont(barFont());

    progress_ = new QProgressBar(this);
    uikit::setControlId(progress_, kProgressId);
    progress_->setTextVisible(false);
    progress_->setGeometry(0, 0, 300, 10);
    progress_->hide();
}

QFont CStatusBarEx::barFont()
{
    // Height 20 is the font's line height (ascent and descent), as for the grid view's fonts, so a
    // label fits the 22-pixel bar whole.
    return display::makeFont(display::FontSpec{QStringLiteral("微软雅黑"), 20, 0, false, QFont::Normal});
}

int CStatusBarEx::barHeight()
{
    constexpr int kBarChrome = 5;
    constexpr int kResourceHeight = 22;
    return std::max(kResourceHeight, QFontMetrics(barFont()).height() + kBarChrome);
}

void CStatusBarEx::AllocatePanes(int count)
{
    for (PaneWidget* w : paneWidgets_) {
        removeWidget(w);
        delete w;
    }
    paneWidgets_.clear();
    panes_.assign(static_cast<std::size_t>(std::max(count, 0)), Pane{});
    // Shown only until the window sets the panes, before the head's language is known.
    const QString plugIn = texts::qtext(texts::TextId::PanePlugInHead, false);
    const QString initial[] = {QStringLiteral(">"), plugIn, plugIn};
    static constexpr int paneIds[] = {102, 104, 105};
    for (int i = 0; i < paneCount(); ++i) {
        Pane& p = panes_[static_cast<std::size_t>(i)];
        p.fillColor = palette().color(QPalette::Button);
        if (i < 3)
            p.initialText = initial[i];
        auto* w = new PaneWidget(this, i);
        if (i < 3)
            uikit::setControlId(w, paneIds[i]);
        paneWidgets_.push_back(w);
        addWidget(w);
    }
}

void CStatusBarEx::setPaneWidth(int index, int width, bool stretch)
{
    if (!valid(index))
        return;
    PaneWidget* w = paneWidgets_[static_cast<std::size_t>(index)];
    removeWidget(w);
    panes_[static_cast<std::size_t>(index)].setWidth = width;
    if (stretch) {
        w->setMinimumWidth(width);
        w->setMaximumWidth(QWIDGETSIZE_MAX);
    } else {
        w->setFixedWidth(width);
    }
    insertWidget(index, w, stretch ? 1 : 0);
    w->show();
}

void CStatusBarEx::changed(int index)
{
    panes_[static_cast<std::size_t>(index)].ownerDrawn = true;
    fitToText(index);
    paneWidgets_[static_cast<std::size_t>(index)]->update();
}

// A pane is as wide as it was set, or wider when its text needs it (an English label, a GUID in a
// wide font): a pane never cuts its text.
void CStatusBarEx::fitToText(int index)
{
    PaneWidget* w = paneWidgets_[static_cast<std::size_t>(index)];
    const int set = panes_[static_cast<std::size_t>(index)].setWidth;
    const int needed = std::max(set, w->sizeHint().width());
    if (w->maximumWidth() == QWIDGETSIZE_MAX)
        w->setMinimumWidth(needed);
    else
        w->setFixedWidth(needed);
}

void CStatusBarEx::SetPaneLabel(int index, const QString& text)
{
    if (!valid(index))
        return;
    panes_[static_cast<std::size_t>(index)].label = text;
    changed(index);
}

void CStatusBarEx::SetPaneLabelColor(int index, const QColor& color)
{
    if (!valid(index))
        return;
    panes_[static_cast<std::size_t>(index)].labelColor = color;
    changed(index);
}

void CStatusBarEx::SetPaneFillColor(int index, const QColor& color)
{
    if (!valid(index))
        return;
    panes_[static_cast<std::size_t>(index)].fillColor = color;
    changed(index);
}

void CStatusBarEx::SetPaneFillMode(int index, int mode)
{
    if (!valid(index))
        return;
    panes_[static_cast<std::size_t>(index)].fillMode = mode;
    changed(index);
}

void CStatusBarEx::SetPaneLabelAlign(int index, int alignment)
{
    if (!valid(index))
        return;
    panes_[static_cast<std::size_t>(index)].alignment = alignment;
    changed(index);
}

QRect CStatusBarEx::paneRect(int index) const
{
    if (!valid(index))
        return {};
    return paneWidgets_[static_cast<std::size_t>(index)]->geometry();
}

std::optional<QPoint> CStatusBarEx::labelOrigin(const QRect& rect, const Pane& pane, int labelWidth)
{
    if (pane.alignment == AlignLeft) {
        const int inset = pane.fillMode == FillHatched ? 1 : 0; // the hatch sits inside its outline
        return QPoint(rect.left() + inset + 1, rect.top() + inset);
    }
    if (pane.alignment == AlignRight)
        return QPoint(rect.left() + rect.width() - labelWidth - 2, rect.top());
    return std::nullopt;
}

void CStatusBarEx::drawPane(QPainter& painter, const QRect& rect, const Pane& pane)
{
    painter.save();
    painter.setClipRect(rect);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (!pane.ownerDrawn) {
        // Until its first update the pane shows its resource text, as the plain bar does.
        painter.setPen(Qt::black);
        painter.drawText(rect.left() + 1, rect.top() + painter.fontMetrics().ascent(), pane.initialText);
        painter.restore();
        return;
    }
    if (pane.fillMode == FillPlain) {
        painter.fillRect(rect, pane.fillColor);
    } else if (pane.fillMode == FillHatched) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
        painter.fillRect(rect.adjusted(1, 1, -1, -1), QBrush(QColor(155, 155, 155), Qt::DiagCrossPattern));
    }
    const QFontMetrics metrics = painter.fontMetrics();
    if (const auto origin = labelOrigin(rect, pane, metrics.horizontalAdvance(pane.label))) {
        painter.setPen(pane.labelColor);
        painter.drawText(origin->x(), origin->y() + metrics.ascent(), pane.label);
    }
    painter.restore();
}

void CStatusBarEx::PlaceProgress(int anchorPane, int otherPane)
{
    if (progress_ == nullptr)
        return;
    progressAnchor_ = anchorPane;
    progressOther_ = otherPane;
    const QRect a = paneRect(anchorPane);
    const QRect b = paneRect(otherPane);
    const int span = anchorPane == otherPane ? a.width() : a.width() + b.width();
    // The span is measured from the bar's left edge, as the panes' own rectangles are.
    progress_->setGeometry(a.left() + 2, a.top(), span - a.left(), a.bottom() + 1 - 2 * a.top() + 2);
}

void CStatusBarEx::setProgressVisible(bool visible)
{
    progressVisible_ = visible;
    if (visible) {
        PlaceProgress(progressAnchor_, progressOther_);
        progress_->show();
        progress_->raise();
    } else {
        progress_->hide();
    }
}

void CStatusBarEx::resizeEvent(QResizeEvent* event)
{
    QStatusBar::resizeEvent(event);
    if (progressVisible_)
        PlaceProgress(progressAnchor_, progressOther_);
}
