// The pool's threads take jobs in order; enqueue waits for room.
#include "server/bounded_pool.h"

BoundedPool::BoundedPool(size_t threads, size_t queue) : most_(queue) {
    for (size_t k = 0; k < threads; k++)
        threads_.emplace_back([this] { Work(); });
}

BoundedPool::~BoundedPool() {
    shutdown();
}

void BoundedPool::enqueue(std::function<void()> fn) {
    std::unique_lock<std::mutex> hold(mutex_);
    room_.wait(hold, [&] { return jobs_.size() < most_ || stopping_; });
    if (stopping_) return;
    jobs_.push_back(std::move(fn));
    work_.notify_one();
}

void BoundedPool::shutdown() {
    {
        std::lock_guard<std::mutex> hold(mutex_);
        if (stopping_ && threads_.empty()) return;
        stopping_ = true;
    }
    work_.notify_all();
    room_.notify_all();
    for (std::thread& t : threads_)
        t.join();
    threads_.clear();
}

void BoundedPool::Work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> hold(mutex_);
            work_.wait(hold, [&] { return !jobs_.empty() || stopping_; });
            if (jobs_.empty()) return; // stopping, with every job done
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        room_.notify_one();
        job();
    }
}
