// The one cancel flag and the transfers it wakes.
#include "net/http_cancel.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>

#include "net/http_client.h"

namespace {

std::mutex mutex;
std::condition_variable changed;
bool cancelled = false;
int nextId = 0;
std::map<int, std::function<void()>> wakers;

} // namespace

const char* const kHttpCancelled = "the game is closing";

HttpWaker::HttpWaker(std::function<void()> wake) {
    std::lock_guard<std::mutex> hold(mutex);
    id_ = nextId++;
    if (cancelled) wake();
    wakers[id_] = std::move(wake);
}

HttpWaker::~HttpWaker() {
    std::lock_guard<std::mutex> hold(mutex);
    wakers.erase(id_);
}

bool Http_Cancelled() {
    std::lock_guard<std::mutex> hold(mutex);
    return cancelled;
}

void Http_CancelAll() {
    std::lock_guard<std::mutex> hold(mutex);
    cancelled = true;
    for (auto& w : wakers)
        w.second();
    changed.notify_all();
}

void Http_Resume() {
    std::lock_guard<std::mutex> hold(mutex);
    cancelled = false;
}

bool Http_Wait(int milliseconds) {
    std::unique_lock<std::mutex> hold(mutex);
    changed.wait_for(hold, std::chrono::milliseconds(milliseconds), [] { return cancelled; });
    return !cancelled;
}
