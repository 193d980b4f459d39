// The HTTP server's threads with a bounded queue: when every thread is busy and the queue is
// full, the accepting thread waits, and further connections wait in the kernel's backlog instead
// of in the server's memory.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class BoundedPool : public httplib::TaskQueue {
  public:
    BoundedPool(size_t threads, size_t queue);
    ~BoundedPool() override;
    void enqueue(std::function<void()> fn) override;
    void shutdown() override;

  private:
    size_t most_;
    bool stopping_ = false;
    std::mutex mutex_;
    std::condition_variable work_, room_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    void Work();
};
