#pragma once
// The chart answering the hand: a press names the object under it at once (a label drawn over a
// copy of the chart), half a second later opens the chosen popup menu, and a release on empty sky
// near an edge turns the view or changes its height or mode. Keys turn, raise and zoom the same way
// and the action key opens its menu. Everything here is plain C++ driven through the view and the
// event loop, so the rules run under tests without a window. The class is implemented in four
// files, one concern each: tap_handler.cpp (press), tap_labels.cpp (identification and labels),
// tap_steering.cpp (edges, keys, moves) and tap_popups.cpp (popups).
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "skydata/star_record.h"
#include "ui/tap_labels.h"
#include "ui/tap_menus.h"
#include "ui/tap_steering.h"
#include "view/drawn_objects.h"
#include "view/layers/layer_state.h"
#include "view/sky_canvas.h"

namespace celes {

class CCelesView;
class RecordSource;
class ZoomNavigator;
struct StarRecord;
struct ViewState;

namespace platform {
class EventLoop;
class SettingsStore;
}  // namespace platform

// What the tap handler asks of the window that shows the chart.
class TapWindow {
  public:
    virtual ~TapWindow() = default;
    // Shows `labelled` (a copy of the chart with a label drawn on it) until the window is next
    // painted from the view's canvas.
    virtual void showLabelled(const CSkyCanvas& labelled) = 0;
    // Opens a popup menu at (x, y) in chart coordinates; the chosen command goes to the command table.
    virtual void openPopup(int menuId, const TapMenu& menu, int x, int y) = 0;
    // Runs a command of the command table (the date-and-time corner posts 32776).
    virtual void postCommand(int command) = 0;
    // The zoom navigator while it exists, else null.
    virtual ZoomNavigator* navigator() { return nullptr; }
    // Whether the main window is in full screen.
    virtual bool fullScreenActive() const { return false; }
};

// Keys the chart understands (the window maps its own key codes to these).
enum class TapKey { Left, Right, Up, Down, PageUp, PageDown, Plus, Minus, Letter, Other };

class TapHandler {
  public:
    TapHandler(CCelesView& view, RecordSource& records, platform::EventLoop& loop,
               platform::SettingsStore& store, TapWindow& window);
    ~TapHandler();
    TapHandler(const TapHandler&) = delete;
    TapHandler& operator=(const TapHandler&) = delete;

    // Stylus (left button or touch) down and up, in chart coordinates.
    void press(int x, int y);
    void release(int x, int y);
    // A press with the secondary button: the chosen popup at once.
    void contextPress(int x, int y);
    // Key down; `letter` is the upper-case letter for TapKey::Letter. True when the key was used.
    bool key(TapKey key, char letter = 0);
    // Characters 13 (Enter) and 27 (Esc): the action menu when the action-menu setting is on.
    bool character(int c);

    // Identifies the object drawn at (x, y) (moving the point to its pixel); with `draw` its label
    // is drawn over a copy of the chart and shown. Returns the record, or null.
    const StarRecord* identify(int& x, int& y, bool draw);
    // Draws the label of the record `ref` names at its pixel in the last render, when it was drawn there.
    // True when a label was shown.
    bool showLabelFor(RecordRef ref);

    // Where the last press was (moved onto the object it hit), the object hit, and where the last
    // popup menu opened: other commands (zoom here, marks, slew here, taps) use them.
    int tapX() const { return tapX_; }
    int tapY() const { return tapY_; }
    // A copy of the record hit (the render result it was found in is replaced by the next render).
    const StarRecord* tappedObject() const { return tapped_ ? &*tapped_ : nullptr; }
    bool hit() const { return hit_; }
    int popupX() const { return popupX_; }
    int popupY() const { return popupY_; }
    // The constellation (UTF-8, without 座) of the catalogue star the last popup opened on, or empty:
    // the captions of that popup's constellation entries.
    const std::string& popupConstellation() const { return popupConstellation_; }
    // "POPUPMENU"/"MAG": the magnitude of the "%d等星まで表示" entry.
    int popupMagnitude() const;

    // The popup point turned back into the sky (right ascension, not reduced, and declination, in
    // radians) for the current mode; false in the views that have no sky projection.
    bool popupPointOnSky(double& rightAscension, double& declination) const;

    // Set while a label or a transient caption is on screen: the next release only clears it.
    bool labelShowing() const { return labelShowing_; }
    void setLabelShowing(bool on) { labelShowing_ = on; }

    // The popup (timer 1004's message) and the action menu (Enter/Esc), also callable directly.
    void popup();
    void actionMenu();

    // Commands of this part. 32879-32884: turn left or right, raise, lower, zoom in, zoom out.
    void move(int command);
    // 32943: the zoom view centred on the popup point, at the zoom-in-here factor.
    void zoomHere();
    // 32867: action-key function 0 -> 1 -> 2 (2 only with the navigator) -> 0; while the action key
    // opens the menu, only that is switched off. The caption its menu item shows now.
    void cycleActionMode();
    std::string actionModeCaption() const;
    // 32820: only the constellations of the selection list (the tapped star's) are shown.
    void showOnlySelected();

    // Hooks of other parts: a registered tap runs its action instead of a label (true when it did);
    // a deep-sky object shows its photograph 400 ms after the tap; a tapped body's image is drawn
    // into the labelled copy before its label (and goes away with the label).
    void setTapAction(std::function<bool(const StarRecord&)> action) { tapAction_ = std::move(action); }
    void setImageHook(std::function<void(const StarRecord&)> hook) { imageHook_ = std::move(hook); }
    void setLabelImageHook(std::function<void(const StarRecord&, CSkyCanvas& labelled)> hook) {
        labelImageHook_ = std::move(hook);
    }
    void setTelescopeControl(std::function<bool()> on) { telescopeControl_ = std::move(on); }

    // The labelled copy last shown (for tests and the window).
    const CSkyCanvas& labelled() const { return labelled_; }

  private:
    void refresh();
    void turn(int sign);
    void raise();
    void lower();
    void zoomIn();
    void zoomOut();
    bool telescopeControlOn() const;
    PopupContext popupContext() const;
    // The record drawn at (x, y) in the last render (moving the point to its pixel), or null.
    const StarRecord* objectAt(int& x, int& y) const;
    // `tapped`: the record was just tapped, so a body's image goes under the label.
    void drawLabel(const StarRecord& record, int x, int y, bool tapped = false);
    void drawTappedConstellation(const StarRecord& record);

    CCelesView& view_;
    RecordSource& records_;
    platform::EventLoop& loop_;
    platform::SettingsStore& store_;
    TapWindow& window_;

    int tapX_ = 0, tapY_ = 0;
    int popupX_ = 0, popupY_ = 0;
    std::string popupConstellation_;
    std::optional<StarRecord> tapped_;
    bool hit_ = false;
    bool labelShowing_ = false;
    std::optional<StarRecord> imageRecord_;
    // The tapped star's constellation is drawn here on this thread, with file caches of its own
    // (the render's caches belong to whoever renders).
    LayerCache constellationCache_;

    CSkyCanvas labelled_;
    std::function<bool(const StarRecord&)> tapAction_;
    std::function<void(const StarRecord&)> imageHook_;
    std::function<void(const StarRecord&, CSkyCanvas&)> labelImageHook_;
    std::function<bool()> telescopeControl_;
};

}  // namespace celes
