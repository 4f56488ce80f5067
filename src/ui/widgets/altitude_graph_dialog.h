#pragma once
// "高度グラフ": the altitude graph of one object through a night, in a dialog that fits 240x320
// and grows with the window, with "翌日" moving it on a night. The graph follows night mode.
#include <QImage>
#include <QWidget>

#include "astro/time.h"
#include "ui/altitude_graph.h"
#include "ui/widgets/dialog_shell.h"

namespace celes {

// Paints an AltitudeGraph at the widget's size through the program's Graphics interface.
class AltitudeGraphView : public QWidget {
    Q_OBJECT
  public:
    explicit AltitudeGraphView(QWidget* parent = nullptr);
    void setGraph(AltitudeGraph graph);
    const AltitudeGraph& graph() const { return graph_; }
    // The picture last painted (for tests).
    const QImage& picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    AltitudeGraph graph_;
    QImage picture_;
};

class AltitudeGraphDialog : public DialogShell {
    Q_OBJECT
  public:
    // The night that begins on the local date `day` at `place`.
    AltitudeGraphDialog(AltitudeTarget target, const CAstroTime& day, const ObservingPlace& place,
                        QWidget* parent = nullptr);
    AltitudeGraphView* view() const { return view_; }
    void nextNight();

  protected:
    QSize preferredSize() const override;

  private:
    void fill();
    AltitudeTarget target_;
    CAstroTime day_;
    ObservingPlace place_;
    AltitudeGraphView* view_;
};

}  // namespace celes
