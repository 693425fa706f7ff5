// Times the main window's first frame on the demo home against an empty Qt window's, both
// under the same X server (a private Xvfb when DISPLAY is unset): wall time from spawning the
// process to its "first-frame" line, and its peak resident memory (VmHWM) and the CPU time of all
// its threads at that moment.
// Runs in turns, each round starting with the next program, median of 7 each. An earlier build's
// binary given as the argument is timed in the same rounds, for a before-and-after in one run.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "BenchHome.h"

extern char** environ;

namespace {

struct FirstFrame {
    double ms = 0;
    double cpuMs = 0;
    double hwmMB = 0;
    double rssMB = 0;
};

// Starts argv with its stdout on a pipe; returns the child's id and the pipe's reading end.
pid_t spawnWithPipe(const std::vector<std::string>& args, int* readEnd, int childFd = 1) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);  // the copy stays open
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    *readEnd = fds[0];
    return pid;
}

// Reads one line from fd within 30 s; empty when the writer ended or took longer.
std::string readLine(int fd) {
    std::string line;
    char c = 0;
    pollfd wait{fd, POLLIN, 0};
    while (::poll(&wait, 1, 30000) == 1 && ::read(fd, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

// A server that says it is ready by writing a line to a descriptor it is told (Xvfb's
// -displayfd, dbus-daemon's --print-address), stopped when the bench ends.
class Server {
  public:
    // `args` ends with the option that takes the descriptor, which is appended as "3".
    bool start(std::vector<std::string> args) {
        args.back() += '3';
        int fd = -1;
        pid_ = spawnWithPipe(args, &fd, 3);
        if (pid_ < 0) {
            return false;
        }
        line_ = readLine(fd);
        ::close(fd);
        return !line_.empty();
    }
    const std::string& line() const { return line_; }
    ~Server() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

  private:
    pid_t pid_ = -1;
    std::string line_;
};

// The number after `name` in a "first-frame" line, 0 when it is missing.
double field(const std::string& line, const char* name) {
    const std::size_t at = line.find(name);
    return at == std::string::npos ? 0 : std::atof(line.c_str() + at + std::strlen(name));
}

// Spawns the program and times it up to its "first-frame" line; exits when it never comes.
FirstFrame timeFirstFrame(const std::vector<std::string>& args) {
    QElapsedTimer timer;
    timer.start();
    int fd = -1;
    const pid_t pid = spawnWithPipe(args, &fd);
    std::string line = pid > 0 ? readLine(fd) : std::string();
    FirstFrame frame{static_cast<double>(timer.nsecsElapsed()) / 1e6, field(line, "CPU="),
                     field(line, "VmHWM=") / 1024, field(line, "VmRSS=") / 1024};
    if (line.rfind("first-frame", 0) != 0) {
        std::fprintf(stderr, "no first frame from %s\n", args.front().c_str());
        if (pid > 0) {
            ::kill(pid, SIGKILL);
        }
        std::exit(1);
    }
    while (!readLine(fd).empty()) {
    }
    ::close(fd);
    ::waitpid(pid, nullptr, 0);
    return frame;
}

struct Series {
    std::vector<double> ms, cpu, hwm, rss;
    void add(const FirstFrame& frame) {
        ms.push_back(frame.ms);
        cpu.push_back(frame.cpuMs);
        hwm.push_back(frame.hwmMB);
        rss.push_back(frame.rssMB);
    }
};

// One line against the bare window; with `target`, whether the 1.3x targets are met.
void printAgainst(const char* name, const Series& ours, const Series& bare, bool target = true) {
    using qz::bench::median;
    const double time = median(ours.ms) / median(bare.ms);
    const double memory = median(ours.hwm) / median(bare.hwm);
    const auto verdict = [target](double ratio) {
        return !target ? "" : ratio <= 1.3 ? " (target <= 1.3: met)" : " (target <= 1.3: NOT met)";
    };
    std::printf(
        "%s first frame median %.0f ms, ratio %.2f%s; VmHWM %.1f MB, ratio %.2f%s; "
        "VmRSS %.1f MB; CPU %.0f ms, ratio %.2f\n",
        name, median(ours.ms), time, verdict(time), median(ours.hwm), memory, verdict(memory),
        median(ours.rss), median(ours.cpu), median(ours.cpu) / median(bare.cpu));
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/quenzel-bench-XXXXXX"));
    if (!qz::bench::useScratchFolders(scratch)) {
        return 1;
    }
    ::setenv("HOME", QFile::encodeName(scratch.path()).constData(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ::setenv("QUENZEL_LANG", "en", 1);
    Server display, bus;
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (!display.start(
                {"Xvfb", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-displayfd", ""})) {
            std::fprintf(stderr, "cannot start Xvfb\n");
            return 1;
        }
        ::setenv("DISPLAY", (':' + display.line()).c_str(), 1);
    }
    // A private session bus, as a desktop has one; without it both would wait for none.
    if (!bus.start({"dbus-daemon", "--session", "--nofork", "--print-address="})) {
        std::fprintf(stderr, "cannot start dbus-daemon\n");
        return 1;
    }
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.line().c_str(), 1);

    const std::vector<std::string> bare = {QUENZEL_BARE_WINDOW};
    const std::vector<std::string> label = {QUENZEL_BARE_WINDOW, "--label"};
    const std::vector<std::string> ours = {QUENZEL_BINARY, "--demo"};
    const std::vector<std::string> earlier = {argc > 1 ? argv[1] : "", "--demo"};
    // Builds the demo home and stores its grant, then one start of each marks the first-launch
    // welcome as seen and warms the caches: the timed starts are ordinary ones.
    qz::bench::timeCommand("'" QUENZEL_BINARY "' --demo status > /dev/null");
    ::setenv("QUENZEL_REPORT_FIRST_FRAME", "1", 1);
    timeFirstFrame(bare);
    timeFirstFrame(label);
    timeFirstFrame(ours);
    if (argc > 1) {
        timeFirstFrame(earlier);
    }

    Series bareRuns, labelRuns, ourRuns, earlierRuns;
    std::vector<std::pair<const std::vector<std::string>*, Series*>> programs = {
        {&bare, &bareRuns}, {&label, &labelRuns}, {&ours, &ourRuns}};
    if (argc > 1) {
        programs.emplace_back(&earlier, &earlierRuns);
    }
    // Each round starts with the next program: a start right after a similar one runs faster.
    constexpr int rounds = 7;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const auto& [args, series] = programs[(round + i) % programs.size()];
            series->add(timeFirstFrame(*args));
        }
    }
    std::printf(
        "bare Qt window: first frame median %.0f ms, VmHWM %.1f MB, VmRSS %.1f MB, CPU %.0f ms "
        "over %d alternating runs (display %s)\n",
        qz::bench::median(bareRuns.ms), qz::bench::median(bareRuns.hwm),
        qz::bench::median(bareRuns.rss), qz::bench::median(bareRuns.cpu), rounds,
        qgetenv("DISPLAY").constData());
    printAgainst("quenzel --demo:", ourRuns, bareRuns);
    // Not a target: how much of the gap any window pays once it shows text.
    printAgainst("bare + a label:", labelRuns, bareRuns, /*target=*/false);
    if (argc > 1) {
        printAgainst("earlier build: ", earlierRuns, bareRuns);
    }
    return 0;
}
