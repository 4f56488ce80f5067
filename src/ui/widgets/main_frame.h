#pragma once
// The main window "Celes": holds the chart widget in its centre and the bars around it. It can be
// resized from 240x320 (the hand-held's portrait screen) up to the whole screen.
#include <QMainWindow>

namespace celes {

inline constexpr int kMainFrameMinWidth = 240;
inline constexpr int kMainFrameMinHeight = 320;

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    explicit CMainFrame(QWidget* parent = nullptr);

    // Puts the chart (or any central widget) into the frame; the frame owns it from then on.
    void setCentralChart(QWidget* chart);
    // A later start asked for the window: show it normally, raise it and give it the focus.
    void bringToFront();
    // The application-exit command ("プログラム終了", 57665): closes the frame, which ends the program.
    void appExit();

  signals:
    // Emitted once when the frame closes, before the program's objects are torn down.
    void closing();

  protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace celes
