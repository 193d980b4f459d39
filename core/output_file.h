// Files that zorb-headless writes (shots, reports, sound), made whole or not at all: written
// beside their place under a temporary name, every write, the flush and the close checked, then
// moved into place in one step. A device or FIFO named as the file is written directly.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct OutputFile {
    std::string path;      // where the file goes
    std::string temporary; // where it is written meanwhile; empty when written in place
    FILE* file = nullptr;
    bool failed = false;
};

// Opens the file for writing; false (and failed set) when it cannot be opened.
bool OutputFile_Open(OutputFile* out, const std::string& path);
// Appends bytes; a failure is kept and makes the commit fail.
void OutputFile_Write(OutputFile* out, const void* data, size_t size);
// Writes bytes at an offset from the start, then returns to the end (for headers written last).
void OutputFile_WriteAt(OutputFile* out, long offset, const void* data, size_t size);
// Flushes, closes and moves the file into place. False, leaving nothing behind, when any step
// of the file's writing failed.
bool OutputFile_Commit(OutputFile* out);
// Closes and removes what was written.
void OutputFile_Abort(OutputFile* out);
// Opens, writes the bytes and commits.
bool OutputFile_WriteWhole(const std::string& path, const void* data, size_t size);
