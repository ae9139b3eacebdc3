#pragma once

#include <QColor>
#include <QRect>
#include <QStatusBar>
#include <QString>

#include <optional>
#include <vector>

class QPainter;
class QProgressBar;

// The main window's status bar: panes drawn by the bar itself, each with its own background
// (none, plain colour, hatch), text colour, text and alignment, and a progress indicator that the
// host lays across a span of panes. GUI thread only: workers marshal their calls onto it.
class CStatusBarEx : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kStatusBarId = 59393;
    static constexpr int kProgressId = 17234;

    enum FillMode { FillNone = 0, FillPlain = 1, FillHatched = 2 };
    enum Alignment { AlignLeft = 0, AlignRight = 2 }; // any other value draws no text

    struct Pane {
        int fillMode = FillNone;
        QColor fillColor; // the button-face colour until set
        QColor labelColor = Qt::black;
        QString label;
        int alignment = AlignLeft;
        QString initialText; // shown until the pane's first attribute change
        bool ownerDrawn = false;
        int setWidth = 0; // the width asked for; the pane grows beyond it to fit its text
    };

    explicit CStatusBarEx(QWidget* parent = nullptr);

    // The bar's font: "微软雅黑" with a line height of 20 pixels, weight 400.
    static QFont barFont();
    // The height that shows a line of barFont() whole: QStatusBar keeps 3 pixels above its panes
    // and 2 below, so a 22-pixel bar leaves 17 for a 20-pixel line.
    static int barHeight();

    // Drops every earlier pane and its attributes and makes count fresh panes (ids 102, 104, 105
    // for the first three, showing ">", "请插入设备", "请插入设备" until first set).
    void AllocatePanes(int count);
    int paneCount() const { return static_cast<int>(panes_.size()); }
    // Width of a pane in pixels; a stretching pane takes the rest of the bar.
    void setPaneWidth(int index, int width, bool stretch = false);

    // Each setter stores the attribute and redraws the pane; an index outside the panes is ignored.
    void SetPaneLabel(int index, const QString& text);
    void SetPaneLabelColor(int index, const QColor& color);
    void SetPaneFillColor(int index, const QColor& color);
    void SetPaneFillMode(int index, int mode);
    void SetPaneLabelAlign(int index, int alignment);

    const Pane& pane(int index) const { return panes_.at(static_cast<std::size_t>(index)); }
    QRect paneRect(int index) const; // in the bar's coordinates; empty when there is no such pane

    QProgressBar* progress() const { return progress_; }
    // Lays the progress control across the anchor pane and the other pane.
    void PlaceProgress(int anchorPane, int otherPane);
    // Shows or hides the progress control and keeps the span in place on resizes while shown.
    void setProgressVisible(bool visible);
    bool progressVisible() const { return progressVisible_; }

    // Draws one pane into rect (the whole pane rectangle) on painter: background, then text.
    static void drawPane(QPainter& painter, const QRect& rect, const Pane& pane);
    // Where the text's top-left goes (no value when the pane shows no text).
    static std::optional<QPoint> labelOrigin(const QRect& rect, const Pane& pane, int labelWidth);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitToText(int index);
    class PaneWidget;
    void changed(int index);
    bool valid(int index) const { return index >= 0 && index < paneCount(); }

    std::vector<Pane> panes_;
    std::vector<PaneWidget*> paneWidgets_;
    QProgressBar* progress_ = nullptr;
    bool progressVisible_ = false;
    int progressAnchor_ = 0;
    int progressOther_ = 1;
};
