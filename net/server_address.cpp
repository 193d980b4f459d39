// The address's sources, in order.
#include "net/server_address.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "net/http_client.h"
#include "quillon/quillon.h"

#ifndef ZORB_SERVER_URL
#define ZORB_SERVER_URL ""
#endif

namespace {

// The file's first line, without its line end and spaces around it.
std::string FirstLine(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (QL_File_Read(path.c_str(), 4096, &bytes) != QL_FILE_OK) return "";
    std::string line(bytes.begin(), bytes.end());
    line = line.substr(0, line.find_first_of("\r\n"));
    size_t first = line.find_first_not_of(" \t"), last = line.find_last_not_of(" \t");
    return first == std::string::npos ? "" : line.substr(first, last - first + 1);
}

// The host an address names: what follows the scheme and any user part, up to its port or path.
std::string HostOf(const std::string& address) {
    std::string authority = address.substr(address.find("://") + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    std::string host = authority.substr(authority.rfind('@') + 1); // npos + 1 is 0
    if (!host.empty() && host[0] == '[') return host.substr(0, host.find(']') + 1);
    return host.substr(0, host.find(':'));
}

// An IPv4 address of the loopback network, 127.0.0.0/8, written as four numbers.
bool IsLoopbackV4(const std::string& host) {
    int parts = 0;
    size_t at = 0;
    while (at <= host.size()) {
        size_t end = std::min(host.find('.', at), host.size());
        std::string part = host.substr(at, end - at);
        if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != part.npos)
            return false;
        if (parts == 0 && part != "127") return false;
        parts++;
        at = end + 1;
    }
    return parts == 4;
}

// Whether the address names this machine, where no key crosses a network.
bool OnThisMachine(const std::string& address) {
    std::string host = HostOf(address);
    for (char& c : host)
        c = (char)std::tolower((unsigned char)c);
    return host == "localhost" || host == "[::1]" || IsLoopbackV4(host);
}

// The address, or none (with why) when it is not one, or when it would send the player's key (their
// only credential) in clear to another machine.
std::string Checked(const std::string& address, const std::string& source, std::string* problem) {
    std::string why;
    if (!Http_IsAddress(address))
        why = " is not an http:// or https:// address";
    else if (address.compare(0, 7, "http://") == 0 && !OnThisMachine(address))
        why = " is an http:// address of another machine, which would send the player's key "
              "unencrypted: use https://";
    if (why.empty()) return address;
    if (problem) *problem = source + why + ": the game stays offline";
    return "";
}

} // namespace

std::string ServerAddress_Choose(const std::string& fromArguments, const std::string& ownFolder,
                                 std::string* problem) {
    if (problem) problem->clear();
    if (!fromArguments.empty()) return Checked(fromArguments, "--server", problem);
    const char* variable = std::getenv("ZORB_SERVER");
    if (variable && *variable) return Checked(variable, "ZORB_SERVER", problem);
    std::string file = ownFolder + "/server.txt";
    std::string kept = ownFolder.empty() ? "" : FirstLine(file);
    return kept.empty() ? ZORB_SERVER_URL : Checked(kept, file + "'s first line", problem);
}
