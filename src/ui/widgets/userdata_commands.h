#pragma once
// The window side of the observer's own things: the handlers of the commands for observing places,
// today's data, registered taps and marks, the chart save, deep-sky images, descriptions and speech,
// and what a tap on the chart hands over (photographs, planet images, running a tap). What belongs
// to other parts of the window (the tapped object and point, the caption, clock following) comes in
// as hooks, set where the program is put together.
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/graphics.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/speech.h"
#include "ui/userdata_commands.h"
#include "userdata/chart_images.h"
#include "userdata/chart_save.h"
#include "userdata/speech_worker.h"
#include "userdata/tap_flows.h"
#include "view/celes_doc.h"
#include "view/celes_view.h"

class QWidget;

namespace celes {

class QtTapDialogHost;

struct UserDataHooks {
    // The chart window shows the canvas again (after something was drawn over it).
    std::function<void()> repaint;
    // A transient caption at the chart's foot.
    std::function<void(const std::string&)> caption;
    // Clock following: set the view's time to now when it is on (after a new place).
    std::function<void()> clockToNowIfFollowing;
    // The point of the last tap in client pixels, and the object it identified (null: none).
    std::function<std::optional<platform::Point>()> tapPoint;  // nothing: the chart's centre
    std::function<const StarRecord*()> tappedObject;
    // "TAP"/"NODIR": the tap commands force it on while their dialog runs and give it back after.
    std::function<bool()> tapNoDirection;
    std::function<void(bool)> setTapNoDirection;
    // Stop the step animation and clock following before a tap dialog.
    std::function<void()> stopAnimationAndFollowing;
    // Gives the tap handler what draws a tapped body's image into the labelled copy of the chart
    // (null takes it back).
    std::function<void(std::function<void(const StarRecord&, CSkyCanvas& labelled)>)> setLabelImage;
};

class TapInput;
// The hooks as the program's window provides them: the tap handler's point and object, the view's
// "TAP"/"NODIR", the timers of the step animation and clock following.
UserDataHooks MakeUserDataHooks(CCelesView& view, TapInput& hand, platform::EventLoop& loop);

class UserDataCommands final : public UserDataOperations {
  public:
    UserDataCommands(CCelesView& view, CCelesDoc& doc, RecordSource& records, platform::SettingsStore& store,
                     platform::EventLoop& loop, platform::Dialogs& dialogs, platform::Clock& clock,
                     platform::Shell& shell, platform::Speech& speech, QWidget* window, UserDataHooks hooks);
    ~UserDataCommands() override;

    // --- the operations of the user-data rows (ui/userdata_commands maps the numbers to them). The
    // dialogs open window-modal and these return at once; what a dialog ends with is done when it
    // closes.
    void observingPlace() override;
    void todaysData() override;
    void registerTap() override;
    void editTap() override;
    void saveChart() override;
    void toggleMessierImages() override;
    bool messierImages() const override;
    void setMark(int slot) override;
    void clearMarks() override;
    void showDescription() override;
    void editDescription() override;
    void speakDescription() override;

    // --- what a tap hands over (the tap handler calls these)
    // An object was identified: a deep-sky photograph after 400 ms (a body's image comes with its
    // label, drawLabelImage).
    void objectTapped(const StarRecord& r);
    // A tapped body's image ("OPTION2"/"PLANET_JPEG"), drawn into the labelled copy of the chart by
    // the stretch rule, under the label.
    void drawLabelImage(const StarRecord& body, CSkyCanvas& labelled);
    // The photograph of a deep-sky object or the image of a body, shown over the chart now.
    void showObjectImage(const StarRecord& r);
    // A tap identified `tap`: when it is a registered tap and taps are shown, run it (true).
    bool runTap(const StarRecord& tap);

    // The tap file of the current data folder (start-up and a new catalogue load it through here).
    void loadTaps();
    TapFlows& taps() { return *flows_; }

    // --- done at once, without the deferral (tests, scripts)
    void registerTapNow();
    void editTapNow();
    void showDescriptionNow();
    void editDescriptionNow();

    // The three-letter abbreviation of the tapped object's constellation, or empty.
    std::string tappedConstellation() const;

  private:
    // The user's files over the user folder and the data folder as they are now.
    UserFiles files();
    void caption(const std::string& text);
    // Right ascension and declination (radians) of the last tap point.
    std::pair<double, double> tapPointOnSky();
    void showImageFile(const std::string& path);
    // "TAP"/"NODIR" forced on while a tap dialog is open; the value it had comes back when it closes.
    bool forceNoDirection();
    void restoreNoDirection(bool saved);
    // `f` wrapped so that it does nothing once this object is gone (a dialog may outlive it).
    template <typename F>
    auto whileAlive(F f) {
        return [alive = std::weak_ptr<int>(alive_), f = std::move(f)](auto&&... args) {
            if (!alive.expired()) f(std::forward<decltype(args)>(args)...);
        };
    }

    CCelesView& view_;
    CCelesDoc& doc_;
    RecordSource& records_;
    Settings settings_;
    platform::EventLoop& loop_;
    platform::Dialogs& dialogs_;
    platform::Clock& clock_;
    platform::Shell& shell_;
    platform::Speech& speech_;
    QWidget* window_;
    UserDataHooks hooks_;
    std::unique_ptr<QtTapDialogHost> tapHost_;
    std::unique_ptr<TapFlows> flows_;
    std::unique_ptr<ChartSaveFlow> save_;
    DeepSkyImageTimer deepSky_;
    std::unique_ptr<SpeechWorker> speechWorker_;
    std::string descriptionFor_;  // constellation of the pending description command
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace celes
