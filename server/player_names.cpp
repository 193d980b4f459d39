// Players' names: how a name is taken in, which names are refused, and which are one name.
#include "server/player_names.h"

#include <cctype>

std::string PlayerName_Trimmed(const std::string& name) {
    size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

bool PlayerName_Good(const std::string& name) {
    if (name.empty() || name.size() > 16) return false;
    bool more = false; // than dots and spaces
    for (unsigned char c : name) {
        if (c < 0x20 || c > 0x7e) return false;
        more = more || (c != '.' && c != ' ');
    }
    return more;
}

std::string PlayerName_Key(const std::string& name) {
    std::string key;
    for (unsigned char ch : PlayerName_Trimmed(name)) {
        if (ch == ' ' && !key.empty() && key.back() == ' ') continue;
        char c = (char)std::tolower(ch);
        if (c == '0') c = 'o';
        if (c == '1' || c == 'i') c = 'l';
        key += c;
    }
    return key;
}
