// Bounded reads of regular files: every asset the engine loads, and the files the game reads.
#include "asset_file.h"

#include <cerrno>
#include <cstdio>

#include "quillon/quillon.h"

#ifdef _WIN32
#include <filesystem>
#include <system_error>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Opens the file for reading if it is a regular file no larger than maxBytes; otherwise says why
// not, having read nothing.
static FILE* OpenRegular(const char* path, size_t maxBytes, QL_FileRead* why) {
#ifdef _WIN32
    std::error_code ec;
    std::filesystem::path p = std::filesystem::u8path(path);
    std::filesystem::file_status st = std::filesystem::status(p, ec);
    *why = !std::filesystem::exists(st)                   ? QL_FILE_MISSING
           : !std::filesystem::is_regular_file(st)        ? QL_FILE_NOT_REGULAR
           : std::filesystem::file_size(p, ec) > maxBytes ? QL_FILE_TOO_LARGE
                                                          : QL_FILE_OK;
    if (*why != QL_FILE_OK) return nullptr;
    FILE* f = std::fopen(path, "rb");
    if (!f) *why = QL_FILE_FAILED;
    return f;
#else
    // Without blocking: a FIFO in the file's place must not hang the game.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *why = errno == ENOENT || errno == ENOTDIR ? QL_FILE_MISSING : QL_FILE_FAILED;
        return nullptr;
    }
    struct stat st;
    FILE* f = nullptr;
    if (fstat(fd, &st) != 0)
        *why = QL_FILE_FAILED;
    else if (!S_ISREG(st.st_mode))
        *why = QL_FILE_NOT_REGULAR;
    else if ((unsigned long long)st.st_size > maxBytes)
        *why = QL_FILE_TOO_LARGE;
    else if (!(f = fdopen(fd, "rb")))
        *why = QL_FILE_FAILED;
    else
        *why = QL_FILE_OK;
    if (!f) close(fd);
    return f;
#endif
}

QL_FileRead QL_File_Read(const char* path, size_t maxBytes, std::vector<unsigned char>* bytes) {
    bytes->clear();
    QL_FileRead outcome = QL_FILE_MISSING;
    FILE* f = path ? OpenRegular(path, maxBytes, &outcome) : nullptr;
    if (!f) return outcome;
    unsigned char chunk[65536];
    size_t n;
    // A file that grows while it is read is still held to the bound.
    while (bytes->size() <= maxBytes && (n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes->insert(bytes->end(), chunk, chunk + n);
    if (std::ferror(f))
        outcome = QL_FILE_FAILED;
    else if (bytes->size() > maxBytes)
        outcome = QL_FILE_TOO_LARGE;
    std::fclose(f);
    if (outcome != QL_FILE_OK) bytes->clear();
    return outcome;
}

bool AssetFile_Read(const char* path, size_t maxBytes, std::vector<unsigned char>* bytes) {
    return QL_File_Read(path, maxBytes, bytes) == QL_FILE_OK;
}
