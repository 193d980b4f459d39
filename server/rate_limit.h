// Uploads a client may make: so many in a sliding minute, per address.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>

class RateLimit {
  public:
    RateLimit(int most, double windowSeconds) : most_(most), window_(windowSeconds) {}
    // Whether the client at address may go ahead at time now (seconds); when not, retryAfter is
    // the whole seconds until it may.
    bool Allow(const std::string& address, double now, int* retryAfter);

  private:
    int most_;
    double window_;
    std::mutex mutex_;
    std::map<std::string, std::deque<double>> seen_;
    double lastSweep_ = 0.0;
    void Sweep(double now);
};
