#pragma once
// Every numbered timer and private message of the program, with the numbers it has always used. One place,
// so no two parts of the program can arm the same number for different work, and so a timer found in a log
// or a test names its purpose. Arming goes through platform::EventLoop (see ArmOnce / ArmRepeating).
#include <cstdint>
#include <functional>

#include "platform/event_loop.h"

namespace celes {

enum class TimerId : int {
    ClockTick = 165,                 // clock following, 60000 ms, repeating
    EraseCaption = 179,              // erase the transient caption
    FrameToolBar = 186,              // the frame applies the command-bar set 1000 ms after it is created
    StartupTelescopeQuestion = 207,  // 30000 ms after start-up when telescope control is configured
    TelescopeExchange = 897,         // a mount exchange's wait: 50 ms ticks until the reply or its time limit
    TelescopeStop = 898,             // a stop command's settling time before the link is judged still up
    TraceTick = 899,                 // telescope trace poll, TracePeriod ms
    DeferredRegisterTap = 900,       // "タップを登録": posts message 2050 with 0
    DeferredEditTaps = 901,          // "タップを変更、削除": posts message 2050 with 1
    DeferredAboveHorizon = 902,      // "地平線上検索": posts message 2053
    DeferredTelescopePanel = 903,    // "望遠鏡制御を開く": posts message 2052
    DeferredDescription = 904,       // show the tapped constellation's description
    DeepSkyImage = 905,              // 400 ms after a tap on a deep-sky object while images are on
    DeferredDescriptionEdit = 906,   // edit the description
    ChartSaveWait = 907,             // the chart save waiting for the render worker: 130 ms polls
    AskForCatalogue = 998,           // 2000 ms after a start without a catalogue
    AnimationTick = 1003,  // step animation: 100 ms at start, 1000 ms after each redraw that followed a tick
    PopupAfterPress = 1004,    // 500 ms after a stylus press: posts message 2054
    ExitProgram = 9999,        // 10000 ms after a failed catalogue choice: the exit command
    DelayedRecompute = 10002,  // a redraw asked before the chart was ready
};

// The view's private messages. They travel as posted calls on the event loop; the numbers stay so that
// each posted call still names the message it stands for.
enum class PrivateMessage : int {
    Render = 2048,          // render the chart (dropped while a chart save waits for the worker)
    ActionMenu = 2049,      // Enter/Esc with the action-menu setting on
    TapDialog = 2050,       // 0: register a tap, 1: edit taps
    TelescopePanel = 2052,  // open the telescope panel for the last tapped object
    AboveHorizon = 2053,    // the list of objects above the horizon
    Popup = 2054,           // the popup menu after a held press
};

constexpr int operator+(TimerId id) {
    return static_cast<int>(id);
}
constexpr int operator+(PrivateMessage m) {
    return static_cast<int>(m);
}

// A timer that fires once per arming: it is stopped before `action` runs, so the action may arm it again.
inline void ArmOnce(platform::EventLoop& loop, TimerId id, std::uint32_t ms, std::function<void()> action) {
    loop.startTimer(+id, ms, [&loop, id, action = std::move(action)] {
        loop.stopTimer(+id);
        action();
    });
}

// A timer that fires every `ms` until Disarm.
inline void ArmRepeating(platform::EventLoop& loop, TimerId id, std::uint32_t ms,
                         std::function<void()> action) {
    loop.startTimer(+id, ms, std::move(action));
}

inline void Disarm(platform::EventLoop& loop, TimerId id) {
    loop.stopTimer(+id);
}

}  // namespace celes
