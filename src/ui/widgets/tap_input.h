#pragma once
// The hand on the chart window: mouse, touch and keys go to the tap handler, its labels and the zoom
// navigator's centre mark are shown over the chart, its popup menus open as Qt menus, and the
// above-horizon list and the find window open from it. It stands between the view and the chart
// widget as the view's window: every window request passes on to the chart, and the navigator's
// requests are served here.
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include "ui/altitude_graph.h"

#include "ui/navigator.h"
#include "ui/tap_commands.h"
#include "ui/tap_handler.h"
#include "ui/widgets/above_dialog.h"
#include "ui/widgets/find_dialog.h"
#include "ui/widgets/navigator_window.h"
#include "view/celes_view.h"

class QWidget;

namespace celes {

namespace platform {
class Dialogs;
class EventLoop;
class SettingsStore;
}  // namespace platform

class ChartOverlay;

class TapInput : public QObject, public TapWindow, public ViewWindow, public TapOperations {
    Q_OBJECT
  public:
    // `chart` is the chart widget (it stays the one that paints the canvas; `chartWindow` is its
    // ViewWindow side, to which every window request passes on).
    TapInput(QWidget& chart, ViewWindow& chartWindow, platform::EventLoop& loop,
             platform::SettingsStore& store, platform::Dialogs& dialogs);
    ~TapInput() override;

    // Once the view exists (the view is made with this object as its window).
    void attach(CCelesView& view, RecordSource& records);
    TapHandler* handler() override { return tap_.get(); }

    // The command table's side: runs a command (the date corner's 32776).
    std::function<void(int)> runCommand;
    // Builds a popup's menu over the frame's shared actions (CMainFrame::createMenu), so a popup
    // entry and the menu entry and bar button of the same number are one action.
    std::function<QMenu*(const TapMenu&, QWidget* parent)> menuOf;
    // Maps a widget point to chart pixels (the chart may be drawn at a scale).
    std::function<QPoint(QPoint)> toChart;

    // The above-horizon list (message 2053) and the find window.
    void openAboveHorizonList() override;
    void openFind() override;
    // "高度グラフ": the tapped object's altitude through the night (the tapped point of the sky when
    // no object was hit), and a found entry's.
    void openAltitudeGraphOfTap() override;
    void openAltitudeGraph(const AltitudeTarget& target);
    // Shows or hides the zoom navigator (command 32862).
    void toggleNavigator() override;
    bool navigatorShown() const override { return exists(); }
    // A menu opened where the pointer is (the colour menu of its item).
    void openMenuAtCursor(const TapMenu& menu);
    void openColourMenu() override { openMenuAtCursor(ColourMenu()); }
    // Takes the label off the chart (the transient caption's erase step repaints from the canvas).
    void dropLabel();

    // TapWindow.
    void showLabelled(const CSkyCanvas& labelled) override;
    void openPopup(int menuId, const TapMenu& menu, int x, int y) override;
    void postCommand(int command) override;
    ZoomNavigator* navigator() override;
    bool fullScreenActive() const override;

    // ViewWindow: passed on to the chart, the navigator served here.
    void invalidate() override;
    bool adjustFullScreen() override { return chartWindow_.adjustFullScreen(); }
    void setWaitCursor(bool on) override { chartWindow_.setWaitCursor(on); }
    void showWaitingText(const std::string& text, Colour colour) override {
        chartWindow_.showWaitingText(text, colour);
    }
    void canvasShown() override { chartWindow_.canvasShown(); }
    bool workArea(int& width, int& height, int& menuBarHeight) const override {
        return chartWindow_.workArea(width, height, menuBarHeight);
    }
    bool exists() const override { return navigatorWindow_ != nullptr; }
    void aim(int headingDeg) override { navigator_.setHeading(headingDeg); }
    int zoom() const override { return navigator_.zoom(); }
    void createNavigator(int headingDeg, int height, int zoom, bool autoEnter) override;
    void destroyNavigator() override;
    int navigatorHeading() const override { return navigator_.heading(); }
    int navigatorHeight() const override { return navigator_.height(); }

    // For tests and the overlay.
    const QImage& labelImage() const { return labelImage_; }
    bool labelOnScreen() const { return !labelImage_.isNull() && !labelStale_.load(); }
    QMenu* lastPopup() const { return lastPopup_; }
    NavigatorWindow* navigatorWindow() const { return navigatorWindow_; }
    FindDialog* findDialog() const { return findDialog_; }
    AboveHorizonDialog* aboveDialog() const { return aboveDialog_; }
    // The centre cross in chart pixels while the navigator exists and the mark is on.
    bool crossAt(int& x, int& y) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class ChartOverlay;
    QPoint chartPoint(QPoint widgetPoint) const { return toChart ? toChart(widgetPoint) : widgetPoint; }
    void chooseAboveEntry(int row);
    void labelAfterRender(RecordRef record, int triesLeft);

    QWidget& chart_;
    ViewWindow& chartWindow_;
    platform::EventLoop& loop_;
    platform::SettingsStore& store_;
    platform::Dialogs& dialogs_;
    CCelesView* view_ = nullptr;
    RecordSource* records_ = nullptr;
    std::unique_ptr<TapHandler> tap_;

    ZoomNavigator navigator_;
    NavigatorWindow* navigatorWindow_ = nullptr;
    ChartOverlay* overlay_ = nullptr;
    QImage labelImage_;
    std::atomic<bool> labelStale_{true};
    QPointer<QMenu> lastPopup_;
    QPointer<AboveHorizonDialog> aboveDialog_;
    QPointer<FindDialog> findDialog_;
};

}  // namespace celes
