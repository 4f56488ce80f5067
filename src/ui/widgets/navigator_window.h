#pragma once
// The zoom navigator's tool window: azimuth, height and zoom fields, a horizontal and a vertical
// scroll bar and the buttons "In" and "out", bound to a ZoomNavigator. It floats at the right edge
// of the chart it steers and follows the chart's size.
#include <QFrame>

#include "ui/navigator.h"

class QLineEdit;
class QScrollBar;
class QPushButton;

namespace celes {

class NavigatorWindow : public QFrame {
    Q_OBJECT
  public:
    NavigatorWindow(ZoomNavigator& navigator, QWidget* chart);

    // Shows the model's values (the fields a user is typing in keep their text).
    void showValues();
    // Moves to the chart's right edge.
    void place();

    QLineEdit* azimuthField() const { return fields_[0]; }
    QLineEdit* heightField() const { return fields_[1]; }
    QLineEdit* zoomField() const { return fields_[2]; }
    QScrollBar* horizontalBar() const { return horizontal_; }
    QScrollBar* verticalBar() const { return vertical_; }
    QPushButton* inButton() const { return in_; }
    QPushButton* outButton() const { return out_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void typed();

    ZoomNavigator& navigator_;
    QLineEdit* fields_[3] = {};
    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
    QPushButton* in_ = nullptr;
    QPushButton* out_ = nullptr;
    bool showing_ = false;
    struct Drag {
        int anchor = 0;  // the thumb position the last step was taken at
    };
    Drag drags_[2];  // horizontal, vertical
};

}  // namespace celes
