// The address's sources, in order.
#include "net/server_address.h"

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

// The address, or none (with why) when it is not one.
std::string Checked(const std::string& address, const std::string& source, std::string* problem) {
    if (Http_IsAddress(address)) return address;
    if (problem)
        *problem = source + " is not an http:// or https:// address: the game stays offline";
    return "";
}

} // namespace

std::string ServerAddress_Choose(const std::string& fromArguments, const std::string& ownFolder,
                                 std::string* problem) {
    if (problem) problem->clear();
    if (!fromArguments.empty()) return fromArguments;
    const char* variable = std::getenv("ZORB_SERVER");
    if (variable && *variable) return Checked(variable, "ZORB_SERVER", problem);
    std::string file = ownFolder + "/server.txt";
    std::string kept = ownFolder.empty() ? "" : FirstLine(file);
    return kept.empty() ? ZORB_SERVER_URL : Checked(kept, file + "'s first line", problem);
}
