// The address's sources, in order.
#include "net/server_address.h"

#include <cstdlib>

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

} // namespace

std::string ServerAddress_Choose(const std::string& fromArguments, const std::string& ownFolder) {
    if (!fromArguments.empty()) return fromArguments;
    const char* variable = std::getenv("ZORB_SERVER");
    if (variable && *variable) return variable;
    std::string kept = ownFolder.empty() ? "" : FirstLine(ownFolder + "/server.txt");
    return kept.empty() ? ZORB_SERVER_URL : kept;
}
