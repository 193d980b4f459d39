// Output files made whole or not at all, through temporaries that are always made new.
#include "core/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/desktop.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

const int kNameTries = 100;

enum class Target { Missing, Regular, Folder, Special };

Target KindOf(const std::string& path) {
    std::error_code ec;
    fs::file_status st = fs::status(path, ec); // through links: what a write would reach
    if (!fs::exists(st)) return Target::Missing;
    if (fs::is_regular_file(st)) return Target::Regular;
    return fs::is_directory(st) ? Target::Folder : Target::Special;
}

bool Fail(OutputFile* out, const std::string& why) {
    if (!out->failed) out->why = why;
    out->failed = true;
    return false;
}

bool FailErrno(OutputFile* out, int error) {
    return Fail(out, std::strerror(error ? error : EIO));
}

// A file made new under exactly this name, never through a link: null (errno EEXIST) when the
// name is taken by anything at all.
FILE* CreateNew(const std::string& name, bool text, bool ownerOnly) {
#ifdef _WIN32
    (void)ownerOnly; // the player's own folder under %APPDATA% is theirs alone already
    int flags = _O_WRONLY | _O_CREAT | _O_EXCL | (text ? _O_TEXT : _O_BINARY);
    int fd = _open(name.c_str(), flags, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    FILE* f = _fdopen(fd, text ? "w" : "wb");
    if (!f) _close(fd);
#else
    (void)text;
    int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  ownerOnly ? 0600 : 0644);
    if (fd < 0) return nullptr;
    FILE* f = fdopen(fd, "w");
    if (!f) close(fd);
#endif
    return f;
}

// A device or FIFO opened as it is. A FIFO nobody reads is refused rather than waited on.
FILE* OpenInPlace(const std::string& path) {
#ifdef _WIN32
    return std::fopen(path.c_str(), "wb");
#else
    int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* f = fdopen(fd, "w");
    if (!f) close(fd);
    return f;
#endif
}

bool OpenTemporary(OutputFile* out, const OutputFileOptions& options) {
    std::string base =
        out->path +
        (options.suffix.empty() ? ".part" + std::to_string(Desktop_ProcessId()) : options.suffix);
    for (int n = 1; n <= kNameTries; n++) {
        std::string name = n == 1 ? base : base + "-" + std::to_string(n);
        out->file = CreateNew(name, options.text, options.ownerOnly);
        if (out->file) {
            out->temporary = name;
            return true;
        }
        if (errno != EEXIST) return FailErrno(out, errno);
    }
    return Fail(out, "every temporary name beside it is taken");
}

bool Sync(FILE* f) {
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

} // namespace

void OutputFile_SyncFolderOf(const std::string& path) {
#ifndef _WIN32
    fs::path folder = fs::path(path).parent_path();
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
#else
    (void)path;
#endif
}

namespace {

void RemoveTemporary(const OutputFile& out) {
    std::error_code ec;
    if (!out.temporary.empty()) fs::remove(out.temporary, ec);
}

// Moves the temporary to the target in one step that fails where a target exists.
bool MoveIntoPlaceOnce(OutputFile* out) {
#ifdef _WIN32
    if (MoveFileExW(fs::path(out->temporary).c_str(), fs::path(out->path).c_str(), 0)) return true;
    DWORD code = GetLastError();
    bool exists = code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS;
    return Fail(out, exists ? "it exists already" : "it cannot be moved into place");
#else
    if (link(out->temporary.c_str(), out->path.c_str()) != 0)
        return errno == EEXIST ? Fail(out, "it exists already") : FailErrno(out, errno);
    RemoveTemporary(*out);
    return true;
#endif
}

// Moves the temporary over the target, unless the target has meanwhile become something a
// rename must not replace.
bool MoveIntoPlace(OutputFile* out) {
    Target kind = KindOf(out->path);
    if (kind == Target::Folder) return Fail(out, "it is a folder");
    if (kind == Target::Special) return Fail(out, "it is not a regular file");
    if (out->keepExisting) return MoveIntoPlaceOnce(out);
    std::error_code ec;
    fs::rename(out->temporary, out->path, ec);
    return !ec || Fail(out, ec.message());
}

} // namespace

bool OutputFile_Open(OutputFile* out, const std::string& path, const OutputFileOptions& options) {
    *out = OutputFile();
    out->path = path;
    out->durable = options.durable;
    out->keepExisting = options.keepExisting;
    if (path.empty()) return Fail(out, "no file name");
    Target kind = KindOf(path);
    if (kind == Target::Folder) return Fail(out, "it is a folder");
    if (kind == Target::Special && !options.inPlace) return Fail(out, "it is not a regular file");
    if (kind != Target::Special) return OpenTemporary(out, options);
    out->file = OpenInPlace(path);
    return out->file != nullptr || FailErrno(out, errno);
}

void OutputFile_Write(OutputFile* out, const void* data, size_t size) {
    if (out->failed || size == 0) return;
    if (std::fwrite(data, 1, size, out->file) != size) FailErrno(out, errno);
}

void OutputFile_WriteAt(OutputFile* out, long offset, const void* data, size_t size) {
    if (out->failed) return;
    if (std::fseek(out->file, offset, SEEK_SET) != 0) FailErrno(out, errno);
    OutputFile_Write(out, data, size);
    if (!out->failed && std::fseek(out->file, 0, SEEK_END) != 0) FailErrno(out, errno);
}

void OutputFile_Flush(OutputFile* out) {
    if (!out->failed && std::fflush(out->file) != 0) FailErrno(out, errno);
}

bool OutputFile_Commit(OutputFile* out) {
    if (!out->file) return Fail(out, out->why.empty() ? "it was never opened" : out->why);
    OutputFile_Flush(out);
    if (!out->failed && std::ferror(out->file)) FailErrno(out, EIO);
    if (!out->failed && out->durable && !Sync(out->file)) FailErrno(out, errno);
    if (std::fclose(out->file) != 0) FailErrno(out, errno);
    out->file = nullptr;
    if (!out->failed && !out->temporary.empty() && MoveIntoPlace(out) && out->durable)
        OutputFile_SyncFolderOf(out->path);
    if (out->failed) RemoveTemporary(*out);
    return !out->failed;
}

void OutputFile_Abort(OutputFile* out) {
    if (out->file) std::fclose(out->file);
    out->file = nullptr;
    RemoveTemporary(*out);
    Fail(out, "abandoned");
}

bool OutputFile_WriteWhole(const std::string& path, const void* data, size_t size, std::string* why,
                           const OutputFileOptions& options) {
    OutputFile out;
    if (OutputFile_Open(&out, path, options)) {
        OutputFile_Write(&out, data, size);
        OutputFile_Commit(&out);
    }
    if (why) *why = out.why;
    return !out.failed;
}
