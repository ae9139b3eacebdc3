#include "display/CColorBar.h"

#include "uikit/ControlId.h"

#include <QLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>

using display::BoardGrid;

CColorBar::CColorBar(BoardGrid& grid, QWidget* parent) : QWidget(parent), grid_(grid)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setModeCycling(false);
}

bool CColorBar::Attach(QWidget* parent, int controlId)
{
    if (attached_)
        return true;
    QWidget* placeholder = uikit::findControl(parent, controlId);
    if (placeholder == nullptr || placeholder == this)
        return false;
    QWidget* host = placeholder->parentWidget();
    setParent(host);
    setGeometry(placeholder->geometry());
    if (host != nullptr && host->layout() != nullptr)
        delete host->layout()->replaceWidget(placeholder, this);
    uikit::setControlId(placeholder, -1);
    placeholder->hide();
    placeholder->deleteLater();
    uikit::setControlId(this, controlId);
    show();
    attached_ = true;
    return true;
}

void CColorBar::startRepaintTimer(int milliseconds)
{
    timer_.start(milliseconds, Qt::PreciseTimer, this);
}

void CColorBar::stopRepaintTimer()
{
    timer_.stop();
}

void CColorBar::setModeCycling(bool on)
{
    modeCycling_ = on;
    setAttribute(Qt::WA_TransparentForMouseEvents, !on);
}

void CColorBar::SetMousePoint(int x, int y, std::uint32_t flags)
{
    mouse_ = {x, y, flags};
}

void CColorBar::HitTest()
{
    hit_ = display::HitTest(width(), height(), grid_, mouse_, hit_);
}

void CColorBar::SetReferences(int count, int row, int col, const std::uint16_t* values)
{
    grid_.SetReferences(count, row, col, values);
}

void CColorBar::SetThresholdsHigh(int count, int row, int col, const std::uint16_t* values)
{
    grid_.SetThresholdsHigh(count, row, col, values);
}

void CColorBar::SetThresholdsLow(int count, int row, int col, const std::uint16_t* values)
{
    grid_.SetThresholdsLow(count, row, col, values);
}

void CColorBar::SetMasks(int count, int row, int col, const std::uint8_t* values)
{
    grid_.SetMasks(count, row, col, values);
}

const QImage& CColorBar::repaintFrame()
{
    const QImage& image = renderer_.render(grid_, size());
    HitTest();
    // Only what the tick changed goes to the screen; an idle tick costs no copy at all.
    const QRegion& changed = renderer_.changedRegion();
    if (!changed.isEmpty())
        update(changed);
    return image;
}

void CColorBar::paintEvent(QPaintEvent* event)
{
    if (renderer_.frame().size() != size())
        renderer_.render(grid_, size());
    // In strips: a large copy is handed to Qt's worker threads, which costs more in hand-offs
    // than the copy itself.
    constexpr int kStripRows = 32;
    QPainter painter(this);
    for (const QRect& r : event->region())
        for (int y = r.top(); y <= r.bottom(); y += kStripRows) {
            const QRect strip(r.left(), y, r.width(), std::min(kStripRows, r.bottom() + 1 - y));
            painter.drawImage(strip.topLeft(), renderer_.frame(), strip);
        }
}

void CColorBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer_.timerId())
        repaintFrame();
    else
        QWidget::timerEvent(event);
}

void CColorBar::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    SetMousePoint(p.x(), p.y(),
                  static_cast<std::uint32_t>(event->buttons().toInt() | event->modifiers().toInt()));
}

void CColorBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!modeCycling_ || event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    cycleModeAt(p.x(), p.y(),
                static_cast<std::uint32_t>(event->buttons().toInt() | event->modifiers().toInt()));
}

void CColorBar::cycleModeAt(int x, int y, std::uint32_t flags)
{
    SetMousePoint(x, y, flags);
    HitTest();
    if (!BoardGrid::inStorage(hit_.hitRow, hit_.hitCol) || hit_.hitSlot < 0 ||
        hit_.hitSlot >= display::kChannels)
        return;
    display::BoardPanel& panel = grid_.panel(hit_.hitRow, hit_.hitCol);
    const int channel = panel.order[hit_.hitSlot].load(std::memory_order_relaxed);
    if (channel >= display::kChannels)
        return; // an order entry that names no channel
    auto& mode = panel.mask[channel];
    mode.store(display::nextChannelMode(mode.load(std::memory_order_relaxed)), std::memory_order_relaxed);
    repaintFrame();
}
