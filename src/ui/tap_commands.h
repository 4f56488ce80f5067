#pragma once
// The hand's rows of the command table: the above-horizon list, the navigator window, the
// action-key function, the moves and zooms, zoom in here, only this constellation, the colour
// popup and find by name. They drive the hand through TapOperations, which the window's
// presentation side (TapInput) implements.
namespace celes {

class CommandTable;
class TapHandler;
namespace platform {
class EventLoop;
}

// What the tap rows ask of the hand: the tap handler's operations, and the windows and menus the
// hand opens over the chart.
class TapOperations {
  public:
    virtual ~TapOperations() = default;
    // Null until the view exists.
    virtual TapHandler* handler() = 0;
    virtual void openAboveHorizonList() = 0;
    virtual void openFind() = 0;
    virtual void openAltitudeGraphOfTap() = 0;
    virtual void toggleNavigator() = 0;
    virtual bool navigatorShown() const = 0;
    // The colour menu where the pointer is.
    virtual void openColourMenu() = 0;
};

void RegisterTapCommands(CommandTable& table, TapOperations& hand, platform::EventLoop& loop);

}  // namespace celes
