// Who may hold a connection to the board, and for how long. Connections are counted by address (an
// IPv6 /64 as one) and in all, and each has a deadline for what it owes next: its headers, its
// body, or taking its answer. One past its deadline has its socket shut, which ends it however
// slowly it was trickling.
#pragma once

#include <map>
#include <mutex>
#include <string>

class ConnectionGate {
  public:
    ConnectionGate(int perAddress, int total) : perAddress_(perAddress), total_(total) {}
    // Whether a new connection from key may come in now; an empty key (a trusted proxy, which
    // brings every player) is counted only in all.
    bool MayEnter(const std::string& key) const;
    // Counts connection id in, on socket fd, to be cut off at deadline unless moved.
    void Enter(const void* id, const std::string& key, int fd, double deadline);
    void Move(const void* id, double deadline);
    // Counts it out; its socket is never touched again (it may be closed and reused after).
    void Leave(const void* id);
    // Shuts the socket of each connection past its deadline (once each); how many were cut.
    int CutOverdue(double now);
    int Count() const;

  private:
    struct Guest {
        std::string key;
        int fd = -1;
        double deadline = 0.0;
        bool cut = false;
    };
    int perAddress_, total_;
    mutable std::mutex mutex_;
    std::map<const void*, Guest> guests_;
    std::map<std::string, int> byKey_;
};
