// The world board's figures, printed (not asserted): a three-minute run verified start to finish
// in a worker's way, verification throughput on one core, upload latency with 8 clients at once,
// and the board's page with 100,000 runs, each on a connection per request and on kept
// connections, with the server's memory. Run from the build directory; --database URL measures
// on PostgreSQL instead of SQLite.
#include <httplib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "runs/run_file.h"
#include "server/run_store.h"
#include "server/verifier.h"
#include "tests/server/server_process.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// "min A, median B, p99 C ms" of the samples.
std::string Spread(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    char text[120];
    std::snprintf(text, sizeof text, "min %.2f, median %.2f, p99 %.2f ms (%zu samples)", ms.front(),
                  ms[ms.size() / 2], ms[std::min(ms.size() - 1, ms.size() * 99 / 100)], ms.size());
    return text;
}

// The CPU time the finished children have taken, in ms.
double ChildrenCpuMs() {
    rusage r{};
    getrusage(RUSAGE_CHILDREN, &r);
    return (double)(r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
           (double)(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// What telling a run's story adds to its verification: the same run verified with the story
// gathered and written (as the workers do) and with it left untold (ZORB_STORY=off), as before
// the board kept stories, turn and turn about so that the machine's load falls on both alike;
// the replay's CPU time beside the wall time. Gives the story's JSON for the pages' figures.
std::string StoryFigures(const std::string& folder, const std::string& bytes) {
    std::vector<double> wall[2], cpu[2];
    Verdict v[2];
    std::string why;
    for (int k = 0; k < 22; k++) {
        int told = k % 2;
        if (told)
            unsetenv("ZORB_STORY");
        else
            setenv("ZORB_STORY", "off", 1);
        double cpuBefore = ChildrenCpuMs();
        auto start = Clock::now();
        if (!Verifier_Run("./zorb-headless", folder, bytes, VerifierLimits{}, &v[told], &why))
            return "";
        wall[told].push_back(Ms(start));
        cpu[told].push_back(ChildrenCpuMs() - cpuBefore);
    }
    unsetenv("ZORB_STORY");
    auto adds = [](double with, double without) {
        return without > 0 ? 100.0 * (with - without) / without : 0.0;
    };
    std::printf("verify with the story told / untold, medians of 11 each: wall %.1f / %.1f ms"
                " (%+.1f %%), the replay's CPU %.1f / %.1f ms (%+.1f %%); %zu bytes of JSON\n",
                Median(wall[1]), Median(wall[0]), adds(Median(wall[1]), Median(wall[0])),
                Median(cpu[1]), Median(cpu[0]), adds(Median(cpu[1]), Median(cpu[0])),
                v[1].story.json.size());
    return v[1].story.json;
}

std::string VerifyFigures(const std::string& folder) {
    std::string run = folder + "/three-minutes.zrun";
    RunProgram({"./zorb-headless", "--seed", "9", "--dt", "0.005", "--frames", "36000",
                "--autoplay", "--count-only", "--size", "320x240", "--scores",
                folder + "/scores.txt", "--record", run},
               nullptr);
    std::string bytes = ReadFile(run);
    std::vector<double> times;
    Verdict v;
    std::string why;
    for (int k = 0; k < 5; k++) {
        auto start = Clock::now();
        if (!Verifier_Run("./zorb-headless", folder, bytes, VerifierLimits{}, &v, &why)) return "";
        times.push_back(Ms(start));
    }
    std::printf("verify a run of %lld frames (%zu bytes), start to finish: %s\n",
                (long long)v.frames, bytes.size(), Spread(times).c_str());
    std::string typical = ReadFile(std::string(ZORB_SOURCE_DIR) + "/tests/runs/autoplay.zrun");
    auto start = Clock::now();
    const int runs = 20;
    for (int k = 0; k < runs; k++)
        Verifier_Run("./zorb-headless", folder, typical, VerifierLimits{}, &v, &why);
    std::printf(
        "throughput, one core: %.1f runs a second (the 11,610-frame tests/runs/autoplay.zrun)\n",
        runs / (Ms(start) / 1000.0));
    return StoryFigures(folder, bytes);
}

// The server's resident memory now and at its peak, in MiB, from /proc.
std::string Memory(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line, now = "?", peak = "?";
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) now = std::to_string(std::atol(line.c_str() + 6) / 1024);
        if (line.rfind("VmHWM:", 0) == 0) peak = std::to_string(std::atol(line.c_str() + 6) / 1024);
    }
    return "server RSS " + now + " MiB, peak " + peak + " MiB";
}

const char* Connections(bool keep) {
    return keep ? "kept connections" : "a connection each";
}

void UploadFigures(const std::string& folder, bool keep) {
    ResetTestDatabase();
    // Each upload from a player of its own, at an address of its own (named by a proxy the board
    // trusts), as many players sending at once are: no sender's share of the queue is reached.
    ServerProcess server(
        {"--workers", "0", "--uploads-a-minute", "1000000", "--trust-proxy", "127.0.0.1"},
        folder + "/uploads" + (keep ? "-kept" : ""));
    std::string base = ReadFile(std::string(ZORB_SOURCE_DIR) + "/tests/runs/short.zrun");
    std::vector<std::vector<double>> perClient(8);
    std::vector<std::thread> clients;
    for (int c = 0; c < 8; c++)
        clients.emplace_back([&, c] {
            httplib::Client http("127.0.0.1", server.port());
            http.set_keep_alive(keep);
            http.set_tcp_nodelay(true); // as the game's client (libcurl) sends
            for (int k = 0; k < 50; k++) {
                // A seed of its own: another play, so another run (a tag alone would be the
                // same run again), under a name of the client's own (a name is one key's).
                std::string bytes = base;
                bytes[12] = (char)c, bytes[13] = (char)k;
                auto start = Clock::now();
                char key[33];
                std::snprintf(key, sizeof key, "%030d%02d", k, c);
                auto r = http.Post("/api/v1/runs",
                                   {{"X-Zorb-Player", "bench" + std::to_string(c * 100 + k)},
                                    {"X-Zorb-Key", key},
                                    {"X-Forwarded-For",
                                     "10.0." + std::to_string(c) + "." + std::to_string(k + 1)}},
                                   bytes, "application/octet-stream");
                if (r && r->status == 202) perClient[c].push_back(Ms(start));
            }
        });
    for (std::thread& t : clients)
        t.join();
    std::vector<double> all;
    for (auto& v : perClient)
        all.insert(all.end(), v.begin(), v.end());
    if (!all.empty())
        std::printf("upload answered, 8 clients at once, %s: %s; %s\n", Connections(keep),
                    Spread(all).c_str(), Memory(server.pid()).c_str());
}

// 100,000 verified runs of as many players, made by the database itself.
bool SeedBoard(const std::string& where) {
    std::string why;
    RunStore store([where](std::string* w) { return Db_Open(where, w); });
    std::unique_ptr<Db> db = Db_Open(where, &why);
    if (!db || !store.Migrate(&why)) return std::fprintf(stderr, "%s\n", why.c_str()), false;
    bool ok =
        db->BeginWrite(&why) &&
        db->Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                 "100000) INSERT INTO runs (sha256, bytes, player_key, player_name,"
                 " sim_version, seed, recorded_at, uploaded_at, game_seconds, lost_seconds,"
                 " status, score, stage, frames, tag, verified_at) SELECT 'bench' || i, ?,"
                 " 'key' || i, 'player' || i, ?, i, 1800000000, 1800000000, 180.0, 0.0,"
                 " 'verified', (i * 7919) % 100000, 1 + i % 8, 36000, 'AAA', 1800000000 + i"
                 " FROM n",
                 {DbValue::Bytes("run"), DbValue::Of((int64_t)kRunSimVersion)}, nullptr, &why) &&
        db->Exec("INSERT INTO best (sim_version, player_key, run_id, score, verified_at)"
                 " SELECT sim_version, player_key, id, score, verified_at FROM runs",
                 {}, nullptr, &why) &&
        db->Exec("COMMIT", {}, nullptr, &why) &&
        // The statistics a board that grew over time has (autovacuum's, on PostgreSQL).
        db->Exec("ANALYZE", {}, nullptr, &why);
    if (!ok) std::fprintf(stderr, "seeding the board: %s\n", why.c_str());
    return ok;
}

// One player of the board (player1) with 1,000 verified runs, an hour apart, each with the story
// given; every player on a day's board, a thousand players a day for a hundred days.
bool SeedPlayer(const std::string& where, const std::string& story) {
    std::string why;
    std::unique_ptr<Db> db = Db_Open(where, &why);
    bool ok =
        db && db->BeginWrite(&why) &&
        db->Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 999)"
                 " INSERT INTO runs (sha256, bytes, player_key, player_name, sim_version, seed,"
                 " recorded_at, uploaded_at, game_seconds, lost_seconds, status, score, stage,"
                 " frames, tag, verified_at) SELECT 'bench-p' || i, ?, 'key1', 'player1', ?, i,"
                 " 1800000000 - i * 3600, 1800000000, 180.0, 0.0, 'verified', i * 37 % 5000,"
                 " 1 + i % 8, 36000, 'AAA', 1800000000 - i * 3600 FROM n",
                 {DbValue::Bytes("run"), DbValue::Of((int64_t)kRunSimVersion)}, nullptr, &why) &&
        db->Exec("INSERT INTO stories (run_id, told, story, kills_0, kills_1, shots_0, hits_0)"
                 " SELECT id, 1, ?, 9, 2, 97, 47 FROM runs WHERE player_key = 'key1'",
                 {DbValue::Of(story)}, nullptr, &why) &&
        db->Exec("INSERT INTO names (name_key, player_key) VALUES ('player1', 'key1')", {}, nullptr,
                 &why) &&
        db->Exec("INSERT INTO best_daily (day, sim_version, player_key, run_id, score,"
                 " verified_at) SELECT '2027-01-' || (100 + id % 100), sim_version, player_key,"
                 " id, score, verified_at FROM runs WHERE id <= 100000",
                 {}, nullptr, &why) &&
        db->Exec("COMMIT", {}, nullptr, &why) && db->Exec("ANALYZE", {}, nullptr, &why);
    if (!ok) std::fprintf(stderr, "seeding the player: %s\n", why.c_str());
    return ok;
}

void BoardFigures(const std::string& folder, const std::string& story) {
    ResetTestDatabase();
    std::vector<std::string> args = ServerProcess::DatabaseArgs(folder + "/board");
    std::string where = args.size() > 2 ? args[3] : folder + "/board/board.sqlite";
    std::system(("mkdir -p " + folder + "/board").c_str());
    auto start = Clock::now();
    if (!SeedBoard(where) || !SeedPlayer(where, story)) return;
    std::printf(
        "seeded 100,000 verified runs, and a player's 1,000 with their stories, in %.1f s\n",
        Ms(start) / 1000.0);
    ServerProcess server({"--workers", "0"}, folder + "/board");
    for (bool keep : {false, true}) {
        httplib::Client http("127.0.0.1", server.port());
        http.set_keep_alive(keep);
        http.set_tcp_nodelay(true);
        for (const char* path : {"/", "/?offset=50000", "/api/v1/leaderboard?limit=100", "/runs/1",
                                 "/api/v1/runs/1", "/players/player1", "/api/v1/players/player1"}) {
            std::vector<double> times;
            for (int k = 0; k < 200; k++) {
                auto t = Clock::now();
                auto r = http.Get(path);
                if (r && r->status == 200) times.push_back(Ms(t));
            }
            if (!times.empty())
                std::printf("GET %s at 100,000 runs, %s: %s\n", path, Connections(keep),
                            Spread(times).c_str());
        }
    }
    std::printf("after the board's pages: %s\n", Memory(server.pid()).c_str());
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--database") == 0)
        setenv("ZORB_TEST_DATABASE", argv[2], 1);
    const char* pg = std::getenv("ZORB_TEST_DATABASE");
    std::printf("zorb-server figures on %s, %u cores\n", pg && *pg ? "PostgreSQL" : "SQLite",
                std::thread::hardware_concurrency());
    std::string folder = FreshFolder("server-bench");
    std::string story = VerifyFigures(folder);
    UploadFigures(folder, false);
    UploadFigures(folder, true);
    BoardFigures(folder, story);
    std::system(("rm -rf " + folder).c_str());
    return 0;
}
