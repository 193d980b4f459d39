// A real zorb-server started for a test: on a free loopback port, on a data folder of its own or
// on the PostgreSQL that ZORB_TEST_DATABASE names, stopped (or killed) at the end.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class ServerProcess {
  public:
    // Starts ./zorb-server with args and the database's options, through the wrapper's command if
    // one is given (its program's full path first); waits (bounded) for it to say where it
    // listens. port() is 0 when it did not start.
    explicit ServerProcess(const std::vector<std::string>& args, const std::string& data,
                           const std::vector<std::string>& wrapper = {});
    ~ServerProcess();
    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    // SIGTERM and wait; the exit status.
    int Stop();
    void Kill();
    // The options that put a program on the test's database: --data DIR, and --database URL when
    // the tests run against PostgreSQL.
    static std::vector<std::string> DatabaseArgs(const std::string& data);

  private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// Runs a program to its end; its exit status, and its standard output in out (may be null).
int RunProgram(const std::vector<std::string>& argv, std::string* out);
// Empties the PostgreSQL database the tests run on, if they do.
void ResetTestDatabase();
// A fresh folder under the system's temporary folder.
std::string FreshFolder(const std::string& name);
// A run of about a second and a half of play, recorded by zorb-headless into folder with seed: as a
// person's (its program's mark taken off) unless byProgram.
std::string TinyRun(const std::string& folder, int64_t seed, bool byProgram = false);
