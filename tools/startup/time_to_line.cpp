// Milliseconds from starting a program until it writes a line holding TEXT on its standard output:
//   time_to_line TEXT PROGRAM [ARGS...]
// The program's output comes through a pipe and is waited for with poll(), so nothing else runs
// while it starts (a shell loop polling a file forks a process every few milliseconds and slows
// the start it measures). The program is ended once the line has come. Gives up after 20 s.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
double NowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: time_to_line TEXT PROGRAM [ARGS...]\n", stderr);
        return 2;
    }
    int out[2];
    if (pipe(out) != 0) return 1;
    const double start = NowMs();
    const pid_t child = fork();
    if (child < 0) return 1;
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    close(out[1]);
    std::string seen;
    double took = -1;
    char buffer[4096];
    while (took < 0) {
        const double left = 20000 - (NowMs() - start);
        if (left <= 0) break;
        pollfd p{out[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) break;  // the program ended without the line
        seen.append(buffer, static_cast<std::size_t>(n));
        if (seen.find(argv[1]) != std::string::npos) took = NowMs() - start;
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    if (took < 0) {
        std::fprintf(stderr, "time_to_line: %s never wrote \"%s\"\n", argv[2], argv[1]);
        return 1;
    }
    std::printf("%.0f\n", took);
    return 0;
}
