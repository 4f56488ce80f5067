#pragma once
// The hand's rows of the command table: the above-horizon list, the navigator window, the
// action-key function, the moves and zooms, zoom in here, only this constellation, the colour
// popup and find by name.
namespace celes {

class CommandTable;
class TapInput;
namespace platform {
class EventLoop;
}

void RegisterTapCommands(CommandTable& table, TapInput& hand, platform::EventLoop& loop);

}  // namespace celes
