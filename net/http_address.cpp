// What an address must look like, on every system.
#include "net/http_client.h"

bool Http_IsAddress(const std::string& url) {
    for (const char* scheme : {"http://", "https://"}) {
        std::string s = scheme;
        if (url.size() > s.size() && url.compare(0, s.size(), s) == 0 && url[s.size()] != '/')
            return true;
    }
    return false;
}
