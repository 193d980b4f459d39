// The leaderboard's file on disk, handled so that a player's entries are never lost: read only
// from a regular file and only a few KB, without blocking; written beside the file (through a
// symbolic link, beside its target), flushed to the disk and moved into place in one step, with
// the file's own permissions kept and a read-only file left alone; a damaged file moved aside
// before anything replaces it; temporaries of killed saves cleared away; and a lock beside the
// file, so that two games saving at once take turns.
#pragma once

#include <cstddef>
#include <string>

enum class ScoreFileRead {
    Ok,         // the bytes of a regular file
    Missing,    // no file at all
    NotRegular, // a folder, a FIFO, a device...: never read, never replaced
    TooLarge,   // a regular file far larger than any leaderboard
    Failed      // there but unreadable
};

// A leaderboard is about 120 bytes; anything above this is not one.
const size_t kScoreFileMaxBytes = 4096;

ScoreFileRead ScoreFile_Read(const char* path, std::string* bytes);
// Replaces the file's contents with data in one step. False (and nothing changed) when the file
// is read-only, is not a regular file, or cannot be written; why then says why, where given.
bool ScoreFile_Write(const char* path, const char* data, size_t size, std::string* why = nullptr);
// Whether the file is a regular file that a save may replace (or there is none yet).
bool ScoreFile_Replaceable(const char* path);
// Renames the file to "<path>.bad-<UTC time>" (a name not yet taken) and says so on stderr.
// Returns the new name, or "" when it could not be moved.
std::string ScoreFile_MoveAside(const char* path);
// Removes "<path>.new<pid>" files left by saves whose process no longer runs.
void ScoreFile_RemoveStaleTemporaries(const char* path);

// An exclusive hold on "<file>.lock" beside the leaderboard (beside a link's target), taken by a
// game for the whole of a read, change and save. A second game waits for it.
struct ScoreFileLock {
    long long handle = -1; // -1: not held
};
// Waits for the lock and takes it. Where no lock file can be made (a folder nobody may write),
// nothing is held, and the save that follows fails there on its own.
ScoreFileLock ScoreFile_Lock(const char* path);
void ScoreFile_Unlock(ScoreFileLock* lock);
