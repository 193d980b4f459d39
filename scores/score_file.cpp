// The leaderboard's file on disk: bounded reads, atomic and durable writes, moving damaged files
// aside, clearing stale temporaries.
#include "scores/score_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <thread>

#include "core/desktop.h"
#include "core/output_file.h"
#include "quillon/quillon.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Where a save really goes: the end of a chain of symbolic links (the link itself stays).
fs::path Target(const char* path) {
    fs::path p = path;
    std::error_code ec;
    for (int i = 0; i < 16 && fs::is_symlink(fs::symlink_status(p, ec)); i++) {
        fs::path next = fs::read_symlink(p, ec);
        if (ec) break;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

// The permissions a replacement keeps: the old file's, or the usual ones for a new file.
fs::perms KeptPermissions(const fs::path& target) {
    std::error_code ec;
    fs::file_status st = fs::status(target, ec);
    if (ec || !fs::exists(st))
        return fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
               fs::perms::others_read;
    return st.permissions();
}

void Say(std::string* why, const std::string& text) {
    if (why) *why = text;
}

std::string UtcStamp() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &now);
#else
    gmtime_r(&now, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

// Whether the process that wrote a temporary is gone (ours counts as gone: we are not saving).
bool Stale(long pid) {
    return pid == Desktop_ProcessId() || !Desktop_ProcessRunning(pid);
}

} // namespace

ScoreFileRead ScoreFile_Read(const char* path, std::string* bytes) {
    std::vector<unsigned char> read;
    QL_FileRead outcome = QL_File_Read(path, kScoreFileMaxBytes, &read);
    bytes->assign(read.begin(), read.end());
    switch (outcome) {
    case QL_FILE_OK:
        return ScoreFileRead::Ok;
    case QL_FILE_MISSING:
        return ScoreFileRead::Missing;
    case QL_FILE_NOT_REGULAR:
        return ScoreFileRead::NotRegular;
    case QL_FILE_TOO_LARGE:
        return ScoreFileRead::TooLarge;
    default:
        return ScoreFileRead::Failed;
    }
}

bool ScoreFile_Replaceable(const char* path) {
    fs::path target = Target(path);
    std::error_code ec;
    fs::file_status st = fs::status(target, ec);
    if (!fs::exists(st)) return true;
    // A file nobody may write is the player's choice: it stays as it is.
    const fs::perms writable =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return fs::is_regular_file(st) && (st.permissions() & writable) != fs::perms::none;
}

bool ScoreFile_Write(const char* path, const char* data, size_t size, std::string* why) {
    if (!ScoreFile_Replaceable(path)) {
        Say(why, "it is read-only or not a plain file");
        return false;
    }
    fs::path target = Target(path);
    OutputFileOptions options;
    // Text mode: the leaderboard is a text file, with CR LF line ends on Windows.
    options.suffix = ".new" + std::to_string(Desktop_ProcessId());
    options.text = true;
    options.inPlace = false;
    options.durable = true;
    OutputFile out;
    if (OutputFile_Open(&out, target.string(), options)) {
        std::error_code ec;
        fs::permissions(out.temporary, KeptPermissions(target), ec);
        OutputFile_Write(&out, data, size);
        OutputFile_Commit(&out);
    }
    if (out.failed) Say(why, out.why);
    return !out.failed;
}

std::string ScoreFile_MoveAside(const char* path) {
    fs::path target = Target(path);
    std::string base = target.string() + ".bad-" + UtcStamp();
    std::string name = base;
    std::error_code ec;
    for (int i = 2; fs::exists(fs::symlink_status(name, ec)) && i < 1000; i++)
        name = base + "-" + std::to_string(i);
    fs::rename(target, name, ec);
    if (ec) return "";
    OutputFile_SyncFolderOf(target.string());
    std::fprintf(stderr, "ZORB: the leaderboard %s could not be read; it was moved to %s\n", path,
                 name.c_str());
    return name;
}

void ScoreFile_RemoveStaleTemporaries(const char* path) {
    fs::path target = Target(path);
    std::string prefix = target.filename().string() + ".new";
    std::error_code ec;
    fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
        std::string name = e.path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        std::string digits = name.substr(prefix.size());
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            continue;
        std::error_code rm;
        if (Stale(std::stol(digits))) fs::remove(e.path(), rm);
    }
}

// Another game holds the lock only for a read and a save: a few milliseconds. One that holds it
// far longer has hung or been stopped, and this game saves without it after a second rather
// than freeze its window; it says so.
template <typename Try> static bool WaitForLock(Try tryLock, const std::string& name) {
    const int kTries = 200; // 5 ms apart: a second
    for (int i = 0; i < kTries; i++) {
        if (tryLock()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::fprintf(stderr, "ZORB: %s stayed locked by another game; saving without it\n",
                 name.c_str());
    return false;
}

#ifdef _WIN32
static bool TryLock(HANDLE h) {
    OVERLAPPED whole{};
    return LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole);
}

ScoreFileLock ScoreFile_Lock(const char* path) {
    std::string name = Target(path).string() + ".lock";
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    if (!WaitForLock([h] { return TryLock(h); }, name)) {
        CloseHandle(h);
        return {};
    }
    return {(long long)(intptr_t)h};
}

void ScoreFile_Unlock(ScoreFileLock* lock) {
    if (lock->handle == -1) return;
    HANDLE h = (HANDLE)(intptr_t)lock->handle;
    OVERLAPPED whole{};
    UnlockFileEx(h, 0, 1, 0, &whole);
    CloseHandle(h);
    lock->handle = -1;
}
#else
ScoreFileLock ScoreFile_Lock(const char* path) {
    std::string name = Target(path).string() + ".lock";
    int fd = open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return {};
    if (!WaitForLock([fd] { return flock(fd, LOCK_EX | LOCK_NB) == 0; }, name)) {
        close(fd);
        return {};
    }
    return {fd};
}

void ScoreFile_Unlock(ScoreFileLock* lock) {
    if (lock->handle == -1) return;
    close((int)lock->handle); // closing the file releases the lock
    lock->handle = -1;
}
#endif
