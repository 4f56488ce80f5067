#include "userdata/speech_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace celes {
namespace {

// Speech that takes as long as the test wants: each text waits until released or interrupted.
class GatedSpeech : public platform::Speech {
  public:
    bool speak(const std::string& text) override {
        std::unique_lock<std::mutex> lock(m);
        started.push_back(text);
        changed.notify_all();
        changed.wait(lock, [&] { return released > 0 || interrupted; });
        if (released > 0) --released;
        return engine;
    }
    void interrupt() override {
        std::lock_guard<std::mutex> lock(m);
        interrupted = true;
        changed.notify_all();
    }
    void release() {
        std::lock_guard<std::mutex> lock(m);
        ++released;
        changed.notify_all();
    }
    bool waitForStarts(std::size_t n) {
        std::unique_lock<std::mutex> lock(m);
        return changed.wait_for(lock, std::chrono::seconds(20), [&] { return started.size() >= n; });
    }
    std::vector<std::string> startedTexts() {
        std::lock_guard<std::mutex> lock(m);
        return started;
    }

    std::mutex m;
    std::condition_variable changed;
    std::vector<std::string> started;
    int released = 0;
    bool interrupted = false;
    bool engine = true;
};

TEST(SpeechWorker, SpeaksInTheBackgroundAndTakesOnlyTheNewestWaitingText) {
    GatedSpeech speech;
    {
        SpeechWorker worker(speech, [] {});
        worker.say("");  // an empty text is not spoken
        worker.say("オリオン座");
        ASSERT_TRUE(speech.waitForStarts(1));
        // While the first is spoken, two more arrive: say() returns at once, the later one wins.
        worker.say("カシオペヤ座");
        worker.say("はくちょう座");
        speech.release();
        ASSERT_TRUE(speech.waitForStarts(2));
        EXPECT_EQ(speech.startedTexts(), (std::vector<std::string>{"オリオン座", "はくちょう座"}));
    }  // the destructor interrupts the second text rather than waiting for it
    EXPECT_TRUE(speech.interrupted);
}

TEST(SpeechWorker, MissingEngineIsReportedFromTheWorker) {
    GatedSpeech speech;
    speech.engine = false;
    speech.released = 1;
    std::atomic<int> reports{0};
    std::mutex m;
    std::condition_variable cv;
    SpeechWorker worker(speech, [&] {
        std::lock_guard<std::mutex> lock(m);
        ++reports;
        cv.notify_all();
    });
    worker.say("さそり座");
    std::unique_lock<std::mutex> lock(m);
    EXPECT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return reports.load() == 1; }));
}

}  // namespace
}  // namespace celes
