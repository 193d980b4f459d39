// The worker's loop.
#include "server/worker.h"

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "server/crypto.h"
#include "server/sessions.h"

namespace {

int64_t Now() {
    return (int64_t)std::time(nullptr);
}

std::string WorkerName() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    return std::string(host) + ":" + std::to_string(getpid());
}

// Renews a claim's lease every third of its length until stopped, in a thread of its own.
class LeaseKeeper {
  public:
    LeaseKeeper(RunStore* store, int64_t id, const std::string& owner, int seconds)
        : thread_([=, this] { Keep(store, id, owner, seconds); }) {}
    ~LeaseKeeper() {
        {
            std::lock_guard<std::mutex> hold(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

  private:
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;

    void Keep(RunStore* store, int64_t id, const std::string& owner, int seconds) {
        std::unique_lock<std::mutex> hold(mutex_);
        while (!wake_.wait_for(hold, std::chrono::seconds(seconds / 3 + 1), [&] { return done_; }))
            store->Renew(id, owner, Now() + seconds);
    }
};

// Replays a claimed run, its lease kept alive meanwhile. False when it could not be replayed.
bool Replay(RunStore* store, const WorkerOptions& options, int64_t id, const std::string& owner,
            const std::string& bytes, const VerifierLimits& limits, Verdict* verdict,
            std::string* why) {
    Verifier_Sweep(options.scratch); // what a worker killed mid-replay left behind
    LeaseKeeper keeper(store, id, owner, options.leaseSeconds);
    return Verifier_Run(options.headless, options.scratch, bytes, limits, verdict, why);
}

std::string NewOwner(const std::string& name) {
    return name + ":" + Crypto_RandomHex(8);
}

} // namespace

bool Worker_Once(RunStore* store, const WorkerOptions& options, const std::string& name) {
    std::string owner = NewOwner(name), bytes, why;
    int64_t id = 0;
    if (!store->Claim(owner, Now(), options.leaseSeconds, &id, &bytes)) return false;
    std::fprintf(stderr, "zorb-server worker %s: claimed run %lld\n", name.c_str(), (long long)id);
    Verdict verdict;
    bool done = Replay(store, options, id, owner, bytes, options.limits, &verdict, &why);
    if (!done) {
        std::fprintf(stderr, "zorb-server worker %s: run %lld not verified: %s\n", name.c_str(),
                     (long long)id, why.c_str());
        store->Release(id, owner);
        return true;
    }
    if (!store->Finish(id, owner, verdict, Now(), &why))
        std::fprintf(stderr, "zorb-server worker %s: run %lld: %s\n", name.c_str(), (long long)id,
                     why.empty() ? "the claim lapsed; another's verdict stands"
                                 : ("the database refused the verdict: " + why).c_str());
    else
        std::fprintf(stderr, "zorb-server worker %s: run %lld %s\n", name.c_str(), (long long)id,
                     verdict.verified ? "verified" : ("rejected: " + verdict.reason).c_str());
    return true;
}

bool Worker_TellOnce(RunStore* store, const WorkerOptions& options, const std::string& name) {
    std::string owner = NewOwner(name), bytes, why;
    int64_t id = 0;
    if (!store->ClaimUntold(owner, Now(), options.leaseSeconds, &id, &bytes)) return false;
    VerifierLimits low = options.limits;
    low.niceness = 10;
    Verdict verdict;
    if (!Replay(store, options, id, owner, bytes, low, &verdict, &why)) {
        store->Release(id, owner);
        return false;
    }
    // A run that no longer verifies keeps its verdict; it is marked as having no story.
    bool told = store->Tell(id, owner, verdict.verified ? verdict.story : StoryFigures());
    std::fprintf(stderr, "zorb-server worker %s: run %lld %s\n", name.c_str(), (long long)id,
                 !told                        ? "lost its claim before its story was filed"
                 : verdict.story.json.empty() ? "replayed again, but told no story"
                                              : "has its story");
    return true;
}

int Worker_Loop(RunStore* store, const WorkerOptions& options, const std::atomic<bool>& stop) {
    std::string name = WorkerName();
    auto lastSeen = std::chrono::steady_clock::time_point(), lastPruned = lastSeen;
    // New runs get their stories as they are verified: once no old run is left untold, the
    // search for one (a walk over the verified runs) is made once a minute, not every idle turn.
    auto untoldSought = lastSeen;
    bool untoldLeft = true;
    while (!stop) {
        // Sessions never ended are forgotten once expired, by whichever worker comes first.
        if (std::chrono::steady_clock::now() - lastPruned > std::chrono::minutes(10) &&
            store->PruneSessions(Now() - kSessionLifeSeconds))
            lastPruned = std::chrono::steady_clock::now();
        // Said again every 10 s, or at once after the database comes back.
        if (std::chrono::steady_clock::now() - lastSeen > std::chrono::seconds(10) &&
            store->WorkerSeen(name, Now()))
            lastSeen = std::chrono::steady_clock::now();
        bool worked = Worker_Once(store, options, name);
        if (!worked && (untoldLeft || std::chrono::steady_clock::now() - untoldSought >
                                          std::chrono::minutes(1))) {
            worked = untoldLeft = Worker_TellOnce(store, options, name);
            untoldSought = std::chrono::steady_clock::now();
        }
        if (!worked) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}
