// Starting and stopping the server for the tests.
#include "tests/server/server_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runs/run_file.h"
#include "server/database.h"

namespace {

// The port in the server's first line ("... listening on http://127.0.0.1:PORT ..."), or 0.
int ReadPort(int fd) {
    std::string line;
    char c;
    while (line.size() < 400 && read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    size_t at = line.find("http://127.0.0.1:");
    return at == std::string::npos ? 0 : std::atoi(line.c_str() + at + 17);
}

std::vector<char*> Argv(const std::vector<std::string>& args) {
    std::vector<char*> out;
    for (const std::string& a : args)
        out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

// Starts args[0] with its standard output on a pipe; the child's pid and the pipe's reading end.
pid_t Spawn(const std::vector<std::string>& args, int* output) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        std::vector<char*> argv = Argv(args);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    *output = fds[0];
    return pid;
}

} // namespace

std::vector<std::string> ServerProcess::DatabaseArgs(const std::string& data) {
    std::vector<std::string> args = {"--data", data};
    const char* pg = std::getenv("ZORB_TEST_DATABASE");
    if (pg && *pg) args.insert(args.end(), {"--database", pg});
    return args;
}

ServerProcess::ServerProcess(const std::vector<std::string>& args, const std::string& data,
                             const std::vector<std::string>& wrapper) {
    std::vector<std::string> all = wrapper;
    all.insert(all.end(), {"./zorb-server", "--listen", "127.0.0.1:0"});
    all.insert(all.end(), args.begin(), args.end());
    // Tests and benchmarks poll for verdicts far faster than a player does: the read limit is
    // lifted unless the test sets its own.
    if (std::find(args.begin(), args.end(), "--reads-a-minute") == args.end())
        all.insert(all.end(), {"--reads-a-minute", "100000000"});
    for (const std::string& a : DatabaseArgs(data))
        all.push_back(a);
    int output = -1;
    pid_ = Spawn(all, &output);
    if (pid_ < 0) return;
    port_ = ReadPort(output); // the read ends when the server writes its line or exits
    close(output);
}

ServerProcess::~ServerProcess() {
    if (pid_ > 0) Stop();
}

int ServerProcess::Stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ServerProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

int RunProgram(const std::vector<std::string>& args, std::string* out) {
    int output = -1;
    pid_t pid = Spawn(args, &output);
    if (pid < 0) return -1;
    char buffer[4096];
    ssize_t n;
    while ((n = read(output, buffer, sizeof buffer)) > 0)
        if (out) out->append(buffer, (size_t)n);
    close(output);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ResetTestDatabase() {
    const char* pg = std::getenv("ZORB_TEST_DATABASE");
    if (!pg || !*pg) return;
    std::string why;
    std::unique_ptr<Db> db = Db_Open(pg, &why);
    // Every table the board has ever made goes, whatever its schema's version.
    if (db && db->Exec("DROP SCHEMA public CASCADE", {}, nullptr, &why))
        db->Exec("CREATE SCHEMA public", {}, nullptr, &why);
}

std::string FreshFolder(const std::string& name) {
    std::filesystem::path p =
        std::filesystem::temp_directory_path() / ("zorb-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    return p.string();
}

std::string TinyRun(const std::string& folder, int64_t seed, bool byProgram) {
    std::string file = folder + "/tiny-" + std::to_string(seed) + ".zrun";
    RunProgram({"./zorb-headless",
                "--seed",
                std::to_string(seed),
                "--dt",
                "0.01",
                "--frames",
                "520",
                "--count-only",
                "--size",
                "320x240",
                "--at",
                "0:mouse:160,120",
                "--at",
                "2:click:160,120",
                "--at",
                "250:click:160,120",
                "--at",
                "300:click:160,120",
                "--at",
                "360:key:E",
                "--at",
                "400:down:W",
                "--scores",
                folder + "/scores.txt",
                "--record",
                file},
               nullptr);
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string run = bytes.str();
    // Scripted input marks the run as a program's; a person's run is the same without the mark
    // (as a sender who strips it would send it).
    if (!byProgram && run.size() > kRunFlagsOffset) run[kRunFlagsOffset] = 0;
    return run;
}
