// The band pool: worker threads wait for a job, take pieces from a shared counter until none is
// left, and report back; the caller works on pieces too, then waits for the last to finish.
#include "band_pool.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const int kMaxThreads = 64;

struct Pool {
    std::vector<std::thread> workers;
    std::mutex mutex;
    std::condition_variable wake, done;
    const std::function<void(int)>* job = nullptr;
    int count = 0;
    std::atomic<int> next{0};
    int busy = 0;        // workers still on the current job
    long generation = 0; // a new job each time it grows
    bool stopping = false;
};

// Never destroyed: a program that ends without stopping the pool (exit() from anywhere) must not
// destroy a condition variable its idle workers still wait on; the threads end with the process.
Pool& pool = *new Pool;

void TakePieces() {
    for (int i = pool.next.fetch_add(1); i < pool.count; i = pool.next.fetch_add(1))
        (*pool.job)(i);
}

// A worker starts having seen every job so far: a pool started again (its counter of jobs runs
// on) must not send a new worker to a job long finished.
void Worker(long seen) {
    std::unique_lock<std::mutex> lock(pool.mutex);
    for (;;) {
        pool.wake.wait(lock, [&] { return pool.stopping || pool.generation != seen; });
        if (pool.stopping) return;
        seen = pool.generation;
        lock.unlock();
        TakePieces();
        lock.lock();
        if (--pool.busy == 0) pool.done.notify_one();
    }
}

int DefaultThreads() {
    const char* forced = std::getenv("QUILLON_THREADS");
    int n = forced ? std::atoi(forced) : (int)std::thread::hardware_concurrency();
    return n;
}

} // namespace

void BandPool_Start(int threads) {
    if (threads <= 0) threads = DefaultThreads();
    threads = std::clamp(threads, 1, kMaxThreads);
    if (threads == BandPool_Threads()) return;
    BandPool_Stop();
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.stopping = false;
    for (int i = 1; i < threads; i++)
        pool.workers.emplace_back(Worker, pool.generation);
}

void BandPool_Stop() {
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        pool.stopping = true;
    }
    pool.wake.notify_all();
    for (std::thread& t : pool.workers)
        t.join();
    pool.workers.clear();
    pool.stopping = false;
}

int BandPool_Threads() {
    return (int)pool.workers.size() + 1;
}

void BandPool_Run(int count, const std::function<void(int)>& job) {
    if (pool.workers.empty() || count <= 1) {
        for (int i = 0; i < count; i++)
            job(i);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        pool.job = &job;
        pool.count = count;
        pool.next.store(0);
        pool.busy = (int)pool.workers.size();
        pool.generation++;
    }
    pool.wake.notify_all();
    TakePieces();
    std::unique_lock<std::mutex> lock(pool.mutex);
    pool.done.wait(lock, [] { return pool.busy == 0; });
    pool.job = nullptr;
}
