#include "platform/posix/spawn_speech.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace celes::platform {
namespace {

namespace fs = std::filesystem;

class SpawnSpeechTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("celes_speech_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    // A stand-in speech program that writes its argument count and its arguments, one a line.
    std::string install(const std::string& name) {
        const fs::path p = dir_ / name;
        std::ofstream(p) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"" << (dir_ / "args").string()
                         << "\"\n";
        fs::permissions(p, fs::perms::owner_all);
        return p.string();
    }
    std::string args() const {
        std::ifstream f(dir_ / "args");
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    fs::path dir_;
};

TEST_F(SpawnSpeechTest, EspeakWithTheJapaneseVoiceAndTheTextAsOneArgument) {
    const std::string espeak = install("espeak-ng");
    SpawnSpeech speech("/nonexistent:" + dir_.string());
    const std::string text = "-x; rm -rf / # $(reboot) 'オリオン'";
    EXPECT_EQ(speech.commandFor(text), (std::vector<std::string>{espeak, "-v", "ja", "--", text}));
    ASSERT_TRUE(speech.speak(text));
    EXPECT_EQ(args(), "4\n-v\nja\n--\n" + text + "\n");
}

TEST_F(SpawnSpeechTest, SpeechDispatcherIsPreferredWhenInstalled) {
    install("espeak-ng");
    const std::string spd = install("spd-say");
    SpawnSpeech speech(dir_.string());
    EXPECT_EQ(speech.commandFor("a").front(), spd);
    ASSERT_TRUE(speech.speak("さそり座"));
    EXPECT_EQ(args(), "5\n--wait\n--language\nja\n--\nさそり座\n");
}

TEST_F(SpawnSpeechTest, NoProgramMeansNoSpeech) {
    SpawnSpeech speech(dir_.string());
    EXPECT_FALSE(speech.available());
    EXPECT_TRUE(speech.commandFor("a").empty());
    EXPECT_FALSE(speech.speak("a"));
    speech.interrupt();  // nothing running: harmless
}

}  // namespace
}  // namespace celes::platform
