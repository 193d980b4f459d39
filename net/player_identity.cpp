// online.txt: "key HEX" and "name NAME", one a line.
#include "net/player_identity.h"

#ifdef _WIN32
#include <stdlib.h> // rand_s, with _CRT_RAND_S defined by the build
#else
#include <sys/random.h>
#endif

#include <cctype>
#include <cstdio>
#include <sstream>

#include "core/output_file.h"
#include "quillon/quillon.h"

namespace {

std::string FileOf(const std::string& folder) {
    return folder + "/online.txt";
}

bool Hex32(const std::string& s) {
    if (s.size() != 32) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

bool RandomBytes(unsigned char* out, size_t n) {
#ifdef _WIN32
    for (size_t k = 0; k < n; k += 4) {
        unsigned int r = 0;
        if (rand_s(&r) != 0) return false;
        for (size_t b = 0; b < 4 && k + b < n; b++)
            out[k + b] = (unsigned char)(r >> (8 * b));
    }
    return true;
#else
    return getrandom(out, n, 0) == (ssize_t)n;
#endif
}

bool Parse(const std::string& text, BoardPlayer* p) {
    std::istringstream in(text);
    std::string line;
    BoardPlayer read;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("key ", 0) == 0) read.key = line.substr(4);
        if (line.rfind("name ", 0) == 0) read.name = line.substr(5);
    }
    if (!Hex32(read.key) || read.name.empty() || read.name.size() > 16) return false;
    *p = read;
    return true;
}

} // namespace

std::string Identity_NewKey() {
    unsigned char bytes[16];
    if (!RandomBytes(bytes, sizeof bytes)) return "";
    std::string hex;
    char two[3];
    for (unsigned char b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    return hex;
}

std::string Identity_FirstName(const std::string& tag) {
    std::string digits = Identity_NewKey().substr(0, 4);
    for (char& c : digits)
        c = (char)std::toupper((unsigned char)c);
    return (tag.empty() ? "PLAYER" : tag) + (digits.empty() ? "" : "-" + digits);
}

namespace {

bool Write(const std::string& folder, const BoardPlayer& p, bool once, std::string* why) {
    std::string text = "key " + p.key + "\nname " + p.name + "\n";
    OutputFileOptions options;
    options.ownerOnly = true;
    options.durable = true;
    options.keepExisting = once;
    return OutputFile_WriteWhole(FileOf(folder), text.data(), text.size(), why, options);
}

bool Read(const std::string& folder, BoardPlayer* p, QL_FileRead* read) {
    std::vector<unsigned char> bytes;
    *read = QL_File_Read(FileOf(folder).c_str(), 4096, &bytes);
    return *read == QL_FILE_OK && Parse(std::string(bytes.begin(), bytes.end()), p);
}

} // namespace

bool Identity_Save(const std::string& folder, const BoardPlayer& p, std::string* why) {
    return Write(folder, p, false, why);
}

bool Identity_Load(const std::string& folder, const std::string& name, BoardPlayer* p,
                   std::string* why) {
    QL_FileRead read;
    if (Read(folder, p, &read)) return true;
    // A kept key that cannot be read is not replaced: the player's runs on the board are its.
    if (read != QL_FILE_MISSING)
        return *why = FileOf(folder) + " is not a player's identity; move it away for a new one",
               false;
    if (name.empty()) return *why = "no player kept yet", false;
    BoardPlayer made{name, Identity_NewKey()};
    if (made.key.empty()) return *why = "the system gave no random key", false;
    // Made once: where another start of the game made one meanwhile, that one is the player's.
    if (Write(folder, made, true, why)) return *p = made, true;
    return Read(folder, p, &read);
}
