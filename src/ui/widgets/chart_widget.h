#pragma once
// The chart on screen: shows the view's canvas and forwards window events to the view. It is the
// view's window: repaint requests, the wait cursor and the waiting text come through it.
#include <QImage>
#include <QWidget>
#include <functional>
#include <string>

#include "view/celes_view.h"

namespace celes {
class TransientCaption;
}

namespace celes {

class ChartWidget : public QWidget, public ViewWindow {
    Q_OBJECT

  public:
    explicit ChartWidget(QWidget* parent = nullptr);

    // The view this widget shows (set once the view exists, since the view needs its window).
    void setView(CCelesView* view) { view_ = view; }
    CCelesView* view() const { return view_; }
    // The transient caption drawn over the lower-left corner while it is set.
    void setTransientCaption(const TransientCaption* caption) { caption_ = caption; }
    // Runs each time the canvas has been copied to the window (the step animation arms its next
    // step there).
    void setCanvasShown(std::function<void()> hook) { canvasShownHook_ = std::move(hook); }
    // Runs once, when the first chart has been painted (start-up timing).
    void setFirstChartShown(std::function<void()> hook) { firstChartHook_ = std::move(hook); }
    // The full-screen handler the view's recompute calls first.
    void setFullScreenHandler(std::function<bool()> handler) { fullScreenHandler_ = std::move(handler); }

    // Chart scale: the chart is drawn at the widget size divided by `scale` and enlarged smoothly,
    // so that stars, labels and marks stay readable on a dense screen. 1 draws pixel for pixel.
    void setChartScale(double scale);
    double chartScale() const { return scale_; }
    // Makes the view's canvas at the widget's present size, so that the first paint after the
    // window is shown draws the chart instead of waiting for a size change to settle.
    void prepareCanvas();
    // A point of the widget in chart pixels (where the chart's own pixel rules apply).
    QPoint toChart(QPoint widgetPoint) const;

    // The chart takes whatever the frame leaves between its bars: the smallest window (240x320)
    // is the frame's limit, and a chart that insisted on that much itself would be pushed under
    // the bars of a short window.
    QSize sizeHint() const override { return {480, 640}; }
    QSize minimumSizeHint() const override { return {1, 1}; }

    // ViewWindow. invalidate() may be called from the render worker.
    void invalidate() override;
    void setWaitCursor(bool on) override;
    void showWaitingText(const std::string& text, Colour colour) override;
    void canvasShown() override;
    bool adjustFullScreen() override { return fullScreenHandler_ ? fullScreenHandler_() : false; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintCaption(QPainter& painter);
    // The last chart shown, fitted into the present size.
    void paintLastChart(QPainter& painter);
    // Keeps a copy of the shown chart for the time a new size waits for its chart. Taken after the
    // paint, on the next turn of the loop, so the chart reaches the screen without waiting for it;
    // the copy reuses its buffer while the size stays.
    void captureLastChartSoon();

    CCelesView* view_ = nullptr;
    const TransientCaption* caption_ = nullptr;
    std::function<void()> canvasShownHook_;
    std::function<bool()> fullScreenHandler_;
    std::function<void()> firstChartHook_;
    double scale_ = 1.0;
    bool busyCursor_ = false;
    QString waitingText_;
    QColor waitingColour_;
    QImage last_;  // a copy of the last chart shown
    bool captureQueued_ = false;
};

}  // namespace celes
