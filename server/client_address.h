// Who a request comes from, for the board's limits. Behind a trusted reverse proxy the client is
// the right-most address in X-Forwarded-For that is not one of the trusted; from anywhere else the
// header is ignored and the client is the connection's own address.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A network: an address and how many of its leading bits count (IPv4 addresses are held as
// IPv4-mapped IPv6, so one kind of network serves both).
struct Network {
    std::array<uint8_t, 16> bytes{};
    int bits = 128;
};

// "ADDR" or "ADDR/BITS", IPv4 or IPv6; false when it is neither.
bool Network_Parse(const std::string& text, Network* network);

class ClientAddress {
  public:
    explicit ClientAddress(std::vector<Network> trusted = {}) : trusted_(std::move(trusted)) {}
    // The client of a request that came from peer with the X-Forwarded-For header forwarded
    // (empty when there was none).
    std::string Of(const std::string& peer, const std::string& forwarded) const;
    // The key a client's limits are counted under: an IPv4 address as it is, an IPv6 address's
    // /64 (one home or host holds a whole /64).
    static std::string LimitKey(const std::string& address);
    // Whether address is one of the trusted proxies.
    bool Trusted(const std::string& address) const;

  private:
    std::vector<Network> trusted_;
};
