#pragma once
// The start-up sequence and the missing-catalogue flow, over the platform interfaces so that each
// branch runs under a virtual-time event loop and scripted dialogs.
#include <functional>
#include <string>

#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/settings_store.h"
#include "platform/single_instance.h"

namespace celes {

class CCelesDoc;

// Delays of the flow (its timers are TimerId::AskForCatalogue and TimerId::ExitProgram).
inline constexpr unsigned kAskForCatalogueDelayMs = 2000;
inline constexpr unsigned kExitDelayMs = 10000;

inline constexpr const char* kAskForCatalogueText = "データファイルを指定してください。";
inline constexpr const char* kExitNoticeText = "プログラムを 10秒後に終了します。";

enum class StartDecision {
    Run,             // this is the only instance: go on and show the window
    SecondInstance,  // another instance was asked to come to the front: end without a window
};

// First steps of start-up: take the single instance (a later start asks the running one to come to
// the front and ends), then, when "CelesM-1.dat" lies in `programDir`, make it the stored catalogue.
StartDecision beginStartup(platform::SingleInstance& instance, platform::SettingsStore& settings,
                           const std::string& programDir);

// A first start (no full-screen choice stored yet) opens a normal window with its menu and bars:
// stores full screen off; a stored choice is kept. True when it stored one.
bool settleFirstStartWindow(platform::SettingsStore& settings);
// When "CelesM-1.dat" lies in `programDir`, stores its full path as the catalogue; true when it did.
bool adoptCatalogueBesideProgram(platform::SettingsStore& settings, const std::string& programDir);

// The view's first update without a catalogue: after 2 s ask for one with the notice and the file
// dialog; if the document is still without one, say so and send `exitCommand` 10 s later. Does
// nothing when the document is loaded.
void watchForMissingCatalogue(CCelesDoc& doc, platform::EventLoop& loop, platform::Dialogs& dialogs,
                              std::function<void()> exitCommand);

}  // namespace celes
