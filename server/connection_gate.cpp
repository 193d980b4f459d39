// The gate's counts and deadlines, under one lock: a socket is shut only while its connection is
// still counted in, so a number the system has given to a newer socket is never shut by mistake.
#include "server/connection_gate.h"

#include <sys/socket.h>

bool ConnectionGate::MayEnter(const std::string& key) const {
    std::lock_guard<std::mutex> hold(mutex_);
    if ((int)guests_.size() >= total_) return false;
    auto it = byKey_.find(key);
    return key.empty() || it == byKey_.end() || it->second < perAddress_;
}

void ConnectionGate::Enter(const void* id, const std::string& key, int fd, double deadline) {
    std::lock_guard<std::mutex> hold(mutex_);
    if (!guests_.emplace(id, Guest{key, fd, deadline, false}).second) return;
    if (!key.empty()) byKey_[key]++;
}

void ConnectionGate::Move(const void* id, double deadline) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = guests_.find(id);
    if (it != guests_.end()) it->second.deadline = deadline;
}

void ConnectionGate::Leave(const void* id) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto it = guests_.find(id);
    if (it == guests_.end()) return;
    const std::string& key = it->second.key;
    if (!key.empty() && --byKey_[key] <= 0) byKey_.erase(key);
    guests_.erase(it);
}

int ConnectionGate::CutOverdue(double now) {
    std::lock_guard<std::mutex> hold(mutex_);
    int cut = 0;
    for (auto& [id, guest] : guests_) {
        if (guest.cut || now < guest.deadline) continue;
        shutdown(guest.fd, SHUT_RDWR);
        guest.cut = true;
        cut++;
    }
    return cut;
}

int ConnectionGate::Count() const {
    std::lock_guard<std::mutex> hold(mutex_);
    return (int)guests_.size();
}
