// A sliding window of each address's recent uploads.
#include "server/rate_limit.h"

#include <cmath>

bool RateLimit::Allow(const std::string& address, double now, int* retryAfter) {
    std::lock_guard<std::mutex> hold(mutex_);
    Sweep(now);
    std::deque<double>& times = seen_[address];
    while (!times.empty() && times.front() <= now - window_)
        times.pop_front();
    if ((int)times.size() >= most_) {
        *retryAfter = (int)std::ceil(times.front() + window_ - now);
        if (*retryAfter < 1) *retryAfter = 1;
        return false;
    }
    times.push_back(now);
    return true;
}

// Addresses quiet for a whole window are forgotten, so the map holds only recent clients.
void RateLimit::Sweep(double now) {
    if (now - lastSweep_ < window_) return;
    lastSweep_ = now;
    for (auto it = seen_.begin(); it != seen_.end();) {
        if (it->second.empty() || it->second.back() <= now - window_)
            it = seen_.erase(it);
        else
            ++it;
    }
}
