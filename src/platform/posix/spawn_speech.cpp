#include "platform/posix/spawn_speech.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

extern char** environ;

namespace celes::platform {

std::string FindExecutable(const std::string& program, const std::string& searchPath) {
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos) end = searchPath.size();
        const std::string dir = searchPath.substr(start, end - start);
        if (!dir.empty()) {
            const std::string candidate = dir + "/" + program;
            struct stat st {};
            if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

namespace {

std::string ProcessPath() {
    const char* p = std::getenv("PATH");
    return p ? p : "/usr/local/bin:/usr/bin:/bin";
}

}  // namespace

SpawnSpeech::SpawnSpeech(const std::string& searchPath)
    : spdSay_(FindExecutable("spd-say", searchPath)), espeak_(FindExecutable("espeak-ng", searchPath)) {}

SpawnSpeech::SpawnSpeech() : SpawnSpeech(ProcessPath()) {}

std::vector<std::string> SpawnSpeech::commandFor(const std::string& text) const {
    // "--" ends the options, so a text that starts with '-' is spoken, not taken as an option.
    if (!spdSay_.empty()) return {spdSay_, "--wait", "--language", "ja", "--", text};
    if (!espeak_.empty()) return {espeak_, "-v", "ja", "--", text};
    return {};
}

bool SpawnSpeech::speak(const std::string& text) {
    std::vector<std::string> cmd = commandFor(text);
    if (cmd.empty()) return false;
    std::vector<char*> argv;
    for (std::string& a : cmd) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    child_.store(pid);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    child_.store(0);
    // The program started: what it made of the text is its own affair.
    return true;
}

void SpawnSpeech::interrupt() {
    const pid_t pid = child_.load();
    if (pid > 0) ::kill(pid, SIGTERM);
}

}  // namespace celes::platform
