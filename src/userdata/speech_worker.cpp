#include "userdata/speech_worker.h"

namespace celes {

SpeechWorker::SpeechWorker(platform::Speech& speech, std::function<void()> noEngine)
    : speech_(speech), noEngine_(std::move(noEngine)), thread_([this] { run(); }) {}

SpeechWorker::~SpeechWorker() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        quit_ = true;
    }
    wake_.notify_one();
    speech_.interrupt();
    thread_.join();
}

void SpeechWorker::say(const std::string& text) {
    if (text.empty()) return;
    {
        std::lock_guard<std::mutex> guard(lock_);
        request_ = text;
        pending_ = true;
    }
    wake_.notify_one();
}

void SpeechWorker::run() {
    for (;;) {
        std::string text;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return pending_ || quit_; });
            if (quit_) return;
            text = std::move(request_);
            request_.clear();
            pending_ = false;
        }
        if (!speech_.speak(text) && noEngine_) noEngine_();
    }
}

}  // namespace celes
