#pragma once
// Full screen ("OPTION3"/"FULL_SCREEN", command 32865): the view's recompute asks this handler
// first; it switches the window and reports whether the window geometry changed. Before the bars
// are hidden it makes sure a menu stays reachable from the chart (a tap menu or the action key).
#include <memory>

#include "platform/dialogs.h"

namespace celes {

class CCelesView;

// What the handler asks of the main window.
class FullScreenWindow {
  public:
    virtual ~FullScreenWindow() = default;
    // Cover the screen and hide the menu bar, the command bar and the tool bar.
    virtual void enterFullScreen() = 0;
    // Back to a normal window with its bars.
    virtual void leaveFullScreen() = 0;
};

inline constexpr const char* kFullScreenQuestion =
    "現在の設定ではフルスクリーンにすると元に戻せなくなります。タップでメニュー表示するように設定しますか？";

class FullScreenHandler {
  public:
    FullScreenHandler(CCelesView& view, platform::Dialogs& dialogs, FullScreenWindow& window)
        : view_(view), dialogs_(dialogs), window_(window) {}

    // Applies the option to the window; true when the geometry changed. When the question has to be
    // asked first the view stays out of full screen until it is answered Yes.
    bool adjust();
    bool inFullScreen() const { return inFullScreen_; }

  private:
    CCelesView& view_;
    platform::Dialogs& dialogs_;
    FullScreenWindow& window_;
    bool inFullScreen_ = false;
    void answered(bool yes);

    bool busy_ = false;      // the question is waiting for its answer
    bool asking_ = false;    // inside the call that asks
    bool enterNow_ = false;  // answered Yes inside that call
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace celes
