// Bounded reads of regular files, for every asset the engine loads.
#include "asset_file.h"

#include <cstdio>

#ifdef _WIN32
#include <filesystem>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Opens the file for reading if it is a regular file no larger than maxBytes.
static FILE* OpenRegular(const char* path, size_t maxBytes) {
#ifdef _WIN32
    std::error_code ec;
    std::filesystem::path p = std::filesystem::u8path(path);
    if (!std::filesystem::is_regular_file(p, ec) || std::filesystem::file_size(p, ec) > maxBytes ||
        ec)
        return nullptr;
    return std::fopen(path, "rb");
#else
    // Without blocking: a FIFO in an asset's place must not hang the start.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    FILE* f = nullptr;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (unsigned long long)st.st_size <= maxBytes)
        f = fdopen(fd, "rb");
    if (!f) close(fd);
    return f;
#endif
}

bool AssetFile_Read(const char* path, size_t maxBytes, std::vector<unsigned char>* bytes) {
    bytes->clear();
    FILE* f = path ? OpenRegular(path, maxBytes) : nullptr;
    if (!f) return false;
    unsigned char chunk[65536];
    size_t n;
    // A file that grows while it is read is still held to the bound.
    while (bytes->size() <= maxBytes && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + n);
    bool ok = !std::ferror(f) && bytes->size() <= maxBytes;
    std::fclose(f);
    if (!ok) bytes->clear();
    return ok;
}
