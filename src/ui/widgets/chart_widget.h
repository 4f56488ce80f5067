#pragma once
// The chart on screen: shows the view's canvas and forwards window events to the view. It is the
// view's window: repaint requests, the wait cursor and the waiting text come through it.
#include <QWidget>
#include <string>

#include "view/celes_view.h"

namespace celes {
class TransientCaption;
}

namespace celes {

class ChartWidget : public QWidget, public ViewWindow {
    Q_OBJECT

  public:
    static constexpr int kMinimumWidth = 240;
    static constexpr int kMinimumHeight = 320;

    explicit ChartWidget(QWidget* parent = nullptr);

    // The view this widget shows (set once the view exists, since the view needs its window).
    void setView(CCelesView* view) { view_ = view; }
    CCelesView* view() const { return view_; }
    // The transient caption drawn over the lower-left corner while it is set.
    void setTransientCaption(const TransientCaption* caption) { caption_ = caption; }

    QSize sizeHint() const override { return {480, 640}; }
    QSize minimumSizeHint() const override { return {kMinimumWidth, kMinimumHeight}; }

    // ViewWindow. invalidate() may be called from the render worker.
    void invalidate() override;
    void setWaitCursor(bool on) override;
    void showWaitingText(const std::string& text, ColourRef colour) override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void paintCaption(QPainter& painter);

    CCelesView* view_ = nullptr;
    const TransientCaption* caption_ = nullptr;
    QString waitingText_;
    QColor waitingColour_;
};

}  // namespace celes
