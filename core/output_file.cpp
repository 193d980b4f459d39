// Output files made whole or not at all.
#include "tools/headless/output_file.h"

#include <filesystem>
#include <system_error>

#include "core/desktop.h"

namespace fs = std::filesystem;

// Devices and FIFOs cannot be replaced by a rename: they are written in place.
static bool WrittenInPlace(const std::string& path) {
    std::error_code ec;
    fs::file_status st = fs::status(path, ec);
    return !ec && fs::exists(st) && !fs::is_regular_file(st) && !fs::is_directory(st);
}

bool OutputFile_Open(OutputFile* out, const std::string& path) {
    *out = OutputFile();
    out->path = path;
    if (!WrittenInPlace(path))
        out->temporary = path + ".part" + std::to_string(Desktop_ProcessId());
    const std::string& name = out->temporary.empty() ? path : out->temporary;
    out->file = std::fopen(name.c_str(), "wb");
    out->failed = out->file == nullptr;
    return !out->failed;
}

void OutputFile_Write(OutputFile* out, const void* data, size_t size) {
    if (out->failed || size == 0) return;
    out->failed = std::fwrite(data, 1, size, out->file) != size;
}

void OutputFile_WriteAt(OutputFile* out, long offset, const void* data, size_t size) {
    if (out->failed) return;
    out->failed = std::fseek(out->file, offset, SEEK_SET) != 0;
    OutputFile_Write(out, data, size);
    if (!out->failed) out->failed = std::fseek(out->file, 0, SEEK_END) != 0;
}

static void RemoveTemporary(const OutputFile& out) {
    std::error_code ec;
    if (!out.temporary.empty()) fs::remove(out.temporary, ec);
}

bool OutputFile_Commit(OutputFile* out) {
    if (!out->file) return false;
    bool ok = !out->failed && std::fflush(out->file) == 0 && !std::ferror(out->file);
    ok = std::fclose(out->file) == 0 && ok;
    out->file = nullptr;
    std::error_code ec;
    if (ok && !out->temporary.empty()) fs::rename(out->temporary, out->path, ec);
    if (!ok || ec) RemoveTemporary(*out);
    out->failed = !ok || ec;
    return !out->failed;
}

void OutputFile_Abort(OutputFile* out) {
    if (out->file) std::fclose(out->file);
    out->file = nullptr;
    RemoveTemporary(*out);
    out->failed = true;
}

bool OutputFile_WriteWhole(const std::string& path, const void* data, size_t size) {
    OutputFile out;
    if (!OutputFile_Open(&out, path)) return false;
    OutputFile_Write(&out, data, size);
    return OutputFile_Commit(&out);
}
