// Every file the game and its tools write (recordings, the leaderboard, the runs' index, shots,
// reports, sound), made whole or not at all. The bytes go to a temporary file beside the target,
// made new (an existing name, a symbolic link above all, is never opened or followed); every
// write, the flush and the close are checked; then the temporary is moved over the target in one
// step. Only a regular file, or nothing, is ever replaced: a folder is refused, and a device or
// FIFO is written in place where the caller allows it, else refused. Until the commit, whatever
// the target held stays as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct OutputFileOptions {
    // The temporary's name is the target's with this added (then -2, -3... while taken); empty
    // for ".part" and the process's id.
    std::string suffix;
    bool text = false;      // written in text mode (CR LF line ends on Windows)
    bool inPlace = true;    // a device or FIFO as the target is written directly, not refused
    bool durable = false;   // flushed to the disk, and the folder too, before the commit returns
    bool ownerOnly = false; // readable and writable by its owner alone (a secret's file)
    // The commit fails, leaving the target as it is, when a target exists by then: a file made
    // once, by whichever writer comes first.
    bool keepExisting = false;
};

struct OutputFile {
    std::string path;      // where the file goes
    std::string temporary; // where it is written meanwhile; empty when written in place
    FILE* file = nullptr;
    bool durable = false; // synced to the disk at the commit
    bool keepExisting = false;
    bool failed = false;
    std::string why; // what went wrong first, in words, once failed
};

// Opens the file for writing; false (failed set, why filled) when it cannot be opened.
bool OutputFile_Open(OutputFile* out, const std::string& path,
                     const OutputFileOptions& options = {});
// Appends bytes; a failure is kept and makes the commit fail.
void OutputFile_Write(OutputFile* out, const void* data, size_t size);
// Writes bytes at an offset from the start, then returns to the end (for headers written last).
void OutputFile_WriteAt(OutputFile* out, long offset, const void* data, size_t size);
// Hands what is written so far to the system, so that a killed process leaves it behind.
void OutputFile_Flush(OutputFile* out);
// Flushes, closes and moves the file into place. False, leaving the target as it was and no
// temporary behind, when any step of the file's writing failed.
bool OutputFile_Commit(OutputFile* out);
// Closes and removes what was written.
void OutputFile_Abort(OutputFile* out);
// Opens, writes the bytes and commits; why (where given) says what failed.
bool OutputFile_WriteWhole(const std::string& path, const void* data, size_t size,
                           std::string* why = nullptr, const OutputFileOptions& options = {});
// Flushes the entries of the folder that holds path to the disk, so that a rename there lasts.
void OutputFile_SyncFolderOf(const std::string& path);
