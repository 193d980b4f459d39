// Addresses read with inet_pton and compared bit by bit.
#include "server/client_address.h"

#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>

namespace {

// text as a 16-byte address (IPv4 mapped into IPv6); false when it is not an address.
bool ReadAddress(const std::string& text, std::array<uint8_t, 16>* bytes) {
    in_addr v4{};
    if (inet_pton(AF_INET, text.c_str(), &v4) == 1) {
        *bytes = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
        const auto* b = reinterpret_cast<const uint8_t*>(&v4.s_addr);
        for (int k = 0; k < 4; k++)
            (*bytes)[12 + k] = b[k];
        return true;
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, text.c_str(), &v6) != 1) return false;
    for (int k = 0; k < 16; k++)
        (*bytes)[k] = v6.s6_addr[k];
    return true;
}

bool IsMappedV4(const std::array<uint8_t, 16>& b) {
    for (int k = 0; k < 10; k++)
        if (b[k] != 0) return false;
    return b[10] == 0xff && b[11] == 0xff;
}

bool Within(const std::array<uint8_t, 16>& address, const Network& n) {
    for (int bit = 0; bit < n.bits; bit++) {
        int mask = 0x80 >> (bit % 8);
        if ((address[bit / 8] & mask) != (n.bytes[bit / 8] & mask)) return false;
    }
    return true;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

} // namespace

bool Network_Parse(const std::string& text, Network* network) {
    size_t slash = text.find('/');
    if (!ReadAddress(text.substr(0, slash), &network->bytes)) return false;
    bool v4 = text.find(':') == std::string::npos;
    int most = v4 ? 32 : 128;
    network->bits = 128;
    if (slash == std::string::npos) return true;
    std::string bits = text.substr(slash + 1);
    char* end = nullptr;
    long n = std::strtol(bits.c_str(), &end, 10);
    if (bits.empty() || bits.size() > 3 || *end || n < 0 || n > most) return false;
    network->bits = (int)n + (v4 ? 96 : 0);
    return true;
}

bool ClientAddress::Trusted(const std::string& address) const {
    std::array<uint8_t, 16> bytes;
    if (!ReadAddress(address, &bytes)) return false;
    for (const Network& n : trusted_)
        if (Within(bytes, n)) return true;
    return false;
}

std::string ClientAddress::Of(const std::string& peer, const std::string& forwarded) const {
    std::string client = peer;
    size_t end = forwarded.size();
    // From the right: each hop was added by the one after it, and only trusted hops are believed.
    while (Trusted(client) && end > 0) {
        size_t comma = forwarded.rfind(',', end - 1);
        size_t start = comma == std::string::npos ? 0 : comma + 1;
        std::string hop = Trim(forwarded.substr(start, end - start));
        std::array<uint8_t, 16> bytes;
        if (!ReadAddress(hop, &bytes)) break; // not an address: the last believed hop stands
        client = hop;
        end = comma == std::string::npos ? 0 : comma;
    }
    return client;
}

std::string ClientAddress::LimitKey(const std::string& address) {
    std::array<uint8_t, 16> b;
    if (!ReadAddress(address, &b)) return address;
    char text[64];
    if (IsMappedV4(b)) {
        std::snprintf(text, sizeof text, "%d.%d.%d.%d", b[12], b[13], b[14], b[15]);
        return text;
    }
    std::snprintf(text, sizeof text, "%02x%02x:%02x%02x:%02x%02x:%02x%02x::/64", b[0], b[1], b[2],
                  b[3], b[4], b[5], b[6], b[7]);
    return text;
}
