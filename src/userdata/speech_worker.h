#pragma once
// The speech worker: a thread that speaks the request text through platform::Speech. The
// user-interface thread sets the text under a lock and wakes the worker with an event; it never
// waits for speech. A newer request replaces one not yet taken.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "platform/speech.h"

namespace celes {

// Shown when no speech program could be started.
inline constexpr const char* kNoSpeechEngine =
    "音声合成プログラムがありません（spd-say か espeak-ng を入れてください）";

class SpeechWorker {
  public:
    // `noEngine` runs on the worker thread when the speech program could not be started; the owner
    // hands it on to the user-interface thread (the worker never touches the view).
    SpeechWorker(platform::Speech& speech, std::function<void()> noEngine);
    // Interrupts what is being spoken and ends the thread.
    ~SpeechWorker();
    SpeechWorker(const SpeechWorker&) = delete;
    SpeechWorker& operator=(const SpeechWorker&) = delete;

    // Sets the request text and wakes the worker; returns at once. An empty text is not spoken.
    void say(const std::string& text);

  private:
    void run();

    platform::Speech& speech_;
    std::function<void()> noEngine_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::string request_;
    bool pending_ = false;
    bool quit_ = false;
    std::thread thread_;  // last: started once everything above exists
};

}  // namespace celes
