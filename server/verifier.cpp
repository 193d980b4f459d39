// The child that replays a run, and what its answer means.
#include "server/verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "core/output_file.h"

namespace {

// The child: limits, then zorb-headless with its output on the pipe. Never returns.
[[noreturn]] void Child(const std::string& headless, const std::string& file,
                        const std::string& report, const std::string& home,
                        const VerifierLimits& limits, int out) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL); // a worker killed outright takes its replay along
    rlimit cpu{(rlim_t)limits.wallSeconds, (rlim_t)limits.wallSeconds + 1};
    setrlimit(RLIMIT_CPU, &cpu);
#ifndef __SANITIZE_ADDRESS__
    // (A sanitizer's build of zorb-headless reserves terabytes of shadow address space: there the
    // replay goes without this limit.)
    rlimit memory{(rlim_t)limits.memoryBytes, (rlim_t)limits.memoryBytes};
    setrlimit(RLIMIT_AS, &memory);
#endif
    if (limits.niceness > 0) setpriority(PRIO_PROCESS, 0, limits.niceness);
    dup2(out, 1);
    dup2(out, 2);
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The game's own logs would mix into the verdict read from the replay's output.
    unsetenv("ZORB_STATE_LOG");
    unsetenv("ZORB_FPS_LOG");
    execl(headless.c_str(), headless.c_str(), "--verify", file.c_str(), "--report", report.c_str(),
          (char*)nullptr);
    std::fprintf(stderr, "cannot start %s: %s\n", headless.c_str(), std::strerror(errno));
    _exit(127);
}

// Reads the child's output until it closes or the time runs out; the child is then reaped (and
// killed with its group if it overstayed). The exit status, or -1 when it was killed.
int Collect(pid_t child, int fd, int wallSeconds, std::string* output, bool* overstayed) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(wallSeconds);
    char buffer[4096];
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&p, 1, (int)left.count()) == 0) {
            *overstayed = true;
            kill(-child, SIGKILL);
            break;
        }
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0 && !(n < 0 && errno == EINTR)) break;
        if (n > 0 && output->size() < 65536) output->append(buffer, (size_t)n);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The frame a rejection names ("at frame 120", "after frame 88"), or -1.
long FrameNamed(const std::string& line) {
    for (const char* mark : {"at frame ", "after frame "}) {
        size_t at = line.find(mark);
        if (at != std::string::npos) return std::atol(line.c_str() + at + std::strlen(mark));
    }
    return -1;
}

// The line on how fast the hands answered, when the replay gave one.
void ReadReaction(const std::string& output, Verdict* v) {
    size_t at = output.find("\nreaction: ");
    double seconds = 0;
    long count = 0;
    if (at != std::string::npos &&
        std::sscanf(output.c_str() + at + 1, "reaction: median %lf s over %ld enemies", &seconds,
                    &count) == 2 &&
        std::isfinite(seconds) && seconds >= 0 && count >= 0) {
        v->reactionSeconds = seconds;
        v->reactionCount = count;
    }
}

// A whole number of the story, within what a run can hold.
int64_t Count(const nlohmann::json& j) {
    return j.is_number_integer() && j.get<int64_t>() >= 0 ? j.get<int64_t>() : 0;
}

// The story in the replay's report; none when the report holds none a board can use.
StoryFigures ReadStory(const std::string& reportPath) {
    StoryFigures s;
    std::ifstream in(reportPath);
    nlohmann::json report = nlohmann::json::parse(in, nullptr, false);
    if (!report.is_object() || !report.contains("story") || !report["story"].is_object()) return s;
    const nlohmann::json& story = report["story"];
    const nlohmann::json &kills = story.value("kills", nlohmann::json()),
                         &weapons = story.value("weapons", nlohmann::json());
    if (!kills.is_array() || kills.size() != 8 || !weapons.is_array() || weapons.size() != 3)
        return s;
    for (size_t k = 0; k < 8; k++)
        s.kills[k] = Count(kills[k]);
    for (size_t k = 0; k < 3; k++) {
        if (!weapons[k].is_object()) return StoryFigures();
        s.shots[k] = Count(weapons[k].value("shots", nlohmann::json()));
        s.hits[k] = Count(weapons[k].value("hits", nlohmann::json()));
    }
    s.json = story.dump();
    return s;
}

} // namespace

Verdict Verifier_Read(const std::string& output, int status) {
    Verdict v;
    std::string line = output.substr(0, output.find('\n'));
    long frames = 0, checks = 0, score = 0, stage = 0;
    char tag[4] = {};
    int read = std::sscanf(line.c_str(),
                           "verified: %ld frames, %ld checkpoints matched, score %ld, stage %ld, "
                           "tag %3s",
                           &frames, &checks, &score, &stage, tag);
    if (status == 0 && read >= 4) {
        v.verified = true;
        v.frames = frames;
        v.score = score;
        v.stage = stage;
        v.tag = tag;
        ReadReaction(output, &v);
        return v;
    }
    v.reason = line.empty() ? "the replay ended without a word" : line;
    v.rejectFrame = FrameNamed(line);
    return v;
}

void Verifier_Sweep(const std::string& folder) {
    std::error_code failed;
    for (const auto& e : std::filesystem::directory_iterator(folder, failed)) {
        std::string name = e.path().filename().string();
        const std::string prefix = "verify-";
        std::string suffix =
            name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0 ? ".json" : ".zrun";
        if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::string digits =
            name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        pid_t pid = (pid_t)std::stol(digits);
        bool gone = pid <= 0 || (kill(pid, 0) != 0 && errno == ESRCH);
        if (gone) std::filesystem::remove(e.path(), failed);
    }
}

bool Verifier_Run(const std::string& headless, const std::string& folder, const std::string& bytes,
                  const VerifierLimits& limits, Verdict* verdict, std::string* why) {
    std::string file = folder + "/verify-" + std::to_string(getpid()) + ".zrun";
    std::string report = file.substr(0, file.size() - 5) + ".json";
    if (!OutputFile_WriteWhole(file, bytes.data(), bytes.size(), why)) return false;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        *why = std::strerror(errno);
        unlink(file.c_str());
        return false;
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], 3); // survives the close-on-exec of the pipe's own ends
        Child(headless, file, report, folder, limits, 3);
    }
    close(pipeFds[1]);
    std::string output;
    bool overstayed = false;
    int status =
        child > 0 ? Collect(child, pipeFds[0], limits.wallSeconds, &output, &overstayed) : -2;
    close(pipeFds[0]);
    unlink(file.c_str());
    StoryFigures story = ReadStory(report);
    unlink(report.c_str());
    if (child < 0 || status == 127) {
        *why = child < 0 ? std::string("cannot fork: ") + std::strerror(errno) : output;
        return false;
    }
    *verdict = Verifier_Read(output, status);
    if (overstayed) {
        *verdict = Verdict();
        verdict->reason =
            "the replay took longer than " + std::to_string(limits.wallSeconds) + " s";
    } else if (status < 0 && !verdict->verified)
        verdict->reason = "the replay crashed: " + verdict->reason;
    if (verdict->verified) verdict->story = story;
    return true;
}
