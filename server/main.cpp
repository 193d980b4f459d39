// zorb-server: the world board's API and pages, its verification workers, and moderation.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <future>
#include <mutex>
#include <set>
#include <thread>

#include "server/api.h"
#include "server/http_front.h"
#include "server/play_rehash.h"
#include "server/review.h"
#include "server/server_options.h"
#include "server/worker.h"

namespace {

std::atomic<bool> stopping{false};

// The store on the chosen database, its schema brought up to date; null with a message.
std::unique_ptr<RunStore> OpenStore(const ServerOptions& o) {
    std::string folder = ServerOptions_DataFolder(o), where = ServerOptions_Database(o), why;
    // The data folder, its parents made as needed: the database's file and the replays' scratch.
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    if (failed) {
        std::fprintf(stderr, "zorb-server: cannot make %s: %s\n", folder.c_str(),
                     failed.message().c_str());
        return nullptr;
    }
    chmod(folder.c_str(), 0700);
    auto store = std::make_unique<RunStore>([where](std::string* w) { return Db_Open(where, w); },
                                            o.dbConnections);
    if (!store->Migrate(&why)) {
        std::fprintf(stderr, "zorb-server: %s: %s\n", where.c_str(), why.c_str());
        return nullptr;
    }
    // Another server starting beside this one may hash the same runs: the next start finishes.
    if (!PlayRehash_Run(*store, &why)) std::fprintf(stderr, "zorb-server: %s\n", why.c_str());
    if (o.reviewTop >= 0 && !store->SetReviewTop(o.reviewTop)) {
        std::fprintf(stderr, "zorb-server: %s: cannot keep --review-top in the board\n",
                     where.c_str());
        return nullptr;
    }
    return store;
}

// SIGTERM and SIGINT are taken by one thread, which runs stop; the others never see them.
// EndSignalThread wakes it with a signal of its own and joins it, so that stop never outlives what
// it stops.
std::thread SignalThread(std::function<void()> stop) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    return std::thread([set, stop] {
        int signal = 0;
        sigwait(&set, &signal);
        stopping = true;
        stop();
    });
}

void EndSignalThread(std::thread* signals) {
    pthread_kill(signals->native_handle(), SIGTERM);
    signals->join();
}

int WorkerMain(const ServerOptions& o) {
    std::unique_ptr<RunStore> store = OpenStore(o);
    if (!store) return 1;
    WorkerOptions w;
    w.headless = ServerOptions_Headless(o);
    w.scratch = ServerOptions_DataFolder(o) + "/scratch";
    w.leaseSeconds = o.leaseSeconds;
    mkdir(w.scratch.c_str(), 0700);
    Verifier_Sweep(w.scratch);
    std::thread signals = SignalThread([] {});
    int status = Worker_Loop(store.get(), w, stopping);
    EndSignalThread(&signals);
    return status;
}

// The workers a server starts: restarted when one dies, stopped with the server.
class Workers {
  public:
    Workers(const ServerOptions& o, int count) : options_(o) {
        for (int k = 0; k < count; k++)
            Start();
    }
    void Supervise() {
        for (;;) {
            int status = 0;
            pid_t pid = waitpid(-1, &status, 0);
            if (pid < 0) return;
            std::lock_guard<std::mutex> hold(mutex_);
            pids_.erase(pid);
            if (!stopping) Start();
        }
    }
    void Stop() {
        std::lock_guard<std::mutex> hold(mutex_);
        for (pid_t pid : pids_)
            kill(pid, SIGTERM);
    }

  private:
    ServerOptions options_;
    std::mutex mutex_;
    std::set<pid_t> pids_;

    void Start() {
        char self[PATH_MAX] = {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return;
        std::string data = ServerOptions_DataFolder(options_),
                    database = ServerOptions_Database(options_);
        std::string headless = ServerOptions_Headless(options_);
        std::string lease = std::to_string(options_.leaseSeconds);
        pid_t pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM); // a server killed outright takes its workers along
            execl(self, "zorb-server", "worker", "--data", data.c_str(), "--database",
                  database.c_str(), "--headless", headless.c_str(), "--lease", lease.c_str(),
                  (char*)nullptr);
            _exit(127);
        }
        if (pid > 0) pids_.insert(pid);
    }
};

// Each connection holds a descriptor: the soft limit (often 1,024) is raised to the hard one, so
// that the front's own bound on connections is the one met.
void RaiseDescriptorLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
}

int Serve(const ServerOptions& o) {
    RaiseDescriptorLimit();
    std::unique_ptr<RunStore> store = OpenStore(o);
    if (!store) return 1;
    std::string host;
    int port = 0;
    ServerOptions_SplitListen(o.listen, &host, &port);
    std::atomic<bool> accepting{true};
    ApiOptions api;
    api.uploadsAMinute = o.uploadsAMinute;
    api.readsAMinute = o.readsAMinute;
    api.bodySeconds = o.bodySeconds;
    api.trustedProxies = o.trustedProxies;
    Api board(store.get(), api, &accepting);
    FrontOptions doors;
    doors.trustedProxies = o.trustedProxies;
    Front front(&board, doors);
    // The signals are taken by their own thread before the front starts its threads, so that none
    // of those can be the one a stop is delivered to.
    std::promise<void> stop;
    std::thread signals = SignalThread([&] { stop.set_value(); });
    int bound = front.Listen(host, port);
    if (bound < 0) {
        std::fprintf(stderr, "zorb-server: cannot listen on %s\n", o.listen.c_str());
        EndSignalThread(&signals);
        return 1;
    }
    int count = o.workers >= 0 ? o.workers : (int)std::thread::hardware_concurrency();
    Workers workers(o, count);
    std::thread supervisor([&] { workers.Supervise(); });
    std::printf("zorb-server: listening on http://%s:%d with %d workers\n", host.c_str(), bound,
                count);
    std::fflush(stdout);
    stop.get_future().wait();
    accepting = false;
    workers.Stop();
    front.Stop();
    supervisor.join(); // every worker has finished its run in hand
    signals.join();
    return 0;
}

int Moderate(const ServerOptions& o) {
    std::unique_ptr<RunStore> store = OpenStore(o);
    if (!store) return 1;
    if (o.command == "list") {
        std::vector<RunRow> waiting;
        if (!store->Waiting(&waiting)) {
            std::fprintf(stderr, "zorb-server: the database did not answer\n");
            return 1;
        }
        for (const RunRow& r : waiting)
            std::printf("%lld\t%s\t%s\n", (long long)r.id, r.sha256.c_str(), r.playerName.c_str());
        return 0;
    }
    if (o.command == "review") {
        if (Review_List(*store, stdout)) return 0;
        std::fprintf(stderr, "zorb-server: the database did not answer\n");
        return 1;
    }
    if (o.command == "approve") {
        if (store->Approve(o.runId)) return 0;
        std::fprintf(stderr, "zorb-server: run %lld does not wait for review\n", o.runId);
        return 1;
    }
    if (store->SetHidden(o.runId, o.command == "hide", o.reason)) return 0;
    std::fprintf(stderr, "zorb-server: no run %lld\n", o.runId);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    ServerOptions o;
    std::string why;
    if (!ServerOptions_Parse(argc, argv, &o, &why)) {
        std::fprintf(stderr, "zorb-server: %s\n%s", why.c_str(), kServerUsage);
        return 2;
    }
    if (o.help) return std::fputs(kServerUsage, stdout), 0;
    signal(SIGPIPE, SIG_IGN);
    if (o.command == "serve") return Serve(o);
    if (o.command == "worker") return WorkerMain(o);
    return Moderate(o);
}
