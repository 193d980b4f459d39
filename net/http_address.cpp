// What an address and a media type look like, on every system.
#include <cctype>

#include "net/http_client.h"

bool Http_IsAddress(const std::string& url) {
    for (char c : url)
        if (c < 33 || c > 126) return false; // no spaces, controls or escapes
    for (const char* scheme : {"http://", "https://"}) {
        std::string s = scheme;
        if (url.size() > s.size() && url.compare(0, s.size(), s) == 0 && url[s.size()] != '/')
            return true;
    }
    return false;
}

std::string Http_MediaType(const std::string& header) {
    std::string type = header.substr(0, header.find(';'));
    size_t first = type.find_first_not_of(" \t"), last = type.find_last_not_of(" \t");
    type = first == std::string::npos ? "" : type.substr(first, last - first + 1);
    for (char& c : type)
        c = (char)std::tolower((unsigned char)c);
    return type;
}
