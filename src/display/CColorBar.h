#pragma once

#include "display/BoardGrid.h"
#include "display/GridRenderer.h"
#include "display/HitTest.h"

#include <QBasicTimer>
#include <QWidget>

#include <cstdint>

// The channel grid view: the widget that stands in a window as control 1000 (main window) or
// 1015 (the settings dialog's one-cell preview). It draws the BoardGrid it is given at every tick
// of the repaint timer its host starts, keeps the mouse point and the last hit test, and in the
// preview cycles a channel's mode on a double-click. In the main window it is transparent for the
// mouse, so right clicks reach the window (which calls SetMousePoint and HitTest itself).
class CColorBar : public QWidget {
    Q_OBJECT
public:
    explicit CColorBar(display::BoardGrid& grid, QWidget* parent = nullptr);

    display::BoardGrid& grid() { return grid_; }

    // Takes the place of the placeholder control with this id below parent: same parent,
    // geometry and layout slot, and the id. Returns false when there is no such control; a second
    // call after a successful one does nothing.
    bool Attach(QWidget* parent, int controlId);
    bool attached() const { return attached_; }

    // The host's repaint timer (5 ms in the main window, 10 ms in the preview).
    void startRepaintTimer(int milliseconds);
    void stopRepaintTimer();

    // Double-click mode cycling: on only in the settings preview. While it is off the view lets
    // every mouse event through to its parent.
    void setModeCycling(bool on);
    bool modeCycling() const { return modeCycling_; }

    void SetMousePoint(int x, int y, std::uint32_t flags);
    display::MousePoint mousePoint() const { return mouse_; }
    void HitTest();
    int hitRow() const { return hit_.hitRow; }
    int hitCol() const { return hit_.hitCol; }
    int hitSlot() const { return hit_.hitSlot; }
    // The last hit lies on a shown board (not on the last pixel column or beside the grid).
    bool hitShown() const { return hit_.shown; }

    void ClearExcess() { grid_.ClearExcess(); }
    void SetReferences(int count, int row, int col, const std::uint16_t* values);
    void SetThresholdsHigh(int count, int row, int col, const std::uint16_t* values);
    void SetThresholdsLow(int count, int row, int col, const std::uint16_t* values);
    void SetMasks(int count, int row, int col, const std::uint8_t* values);

    // One repaint now (what a timer tick does): builds the frame and schedules it for the screen.
    const QImage& repaintFrame();
    const QImage& frame() const { return renderer_.frame(); }
    display::GridRenderer& renderer() { return renderer_; }

    // The double-click's effect at a point: hit test there, then step the mode of the channel
    // shown in the slot under it.
    void cycleModeAt(int x, int y, std::uint32_t flags);

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    display::BoardGrid& grid_;
    display::GridRenderer renderer_;
    QBasicTimer timer_;
    display::MousePoint mouse_;
    display::HitResult hit_;
    bool attached_ = false;
    bool modeCycling_ = false;
};
