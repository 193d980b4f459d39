// A run's session on the world board, for the player who takes part online: opened with the
// player's key before the run starts, for the seed it is to play, and closed as the run ends with
// the digest of its recording. The token is then kept beside the recording
// and goes with it when it is sent, so that the board can hold the run's game time to the clock.
#pragma once

#include <cstdint>
#include <string>

// Opens a session for the run about to start, in the background, giving up after waitSeconds.
void RunSession_Open(const std::string& server, bool daily, const std::string& key,
                     int waitSeconds);
// The session, once it is open: true with its seed; false while it opens, and false with why (not
// empty) when it could not be opened.
bool RunSession_Ready(uint32_t* seed, std::string* why);
// Gives up the session being opened: the run plays without one.
void RunSession_GiveUp();
// Once a frame of the run: as the run ends, closes its session with the recording's digest, in
// the background, and keeps its token beside the recording at path.
void RunSession_Frame(const std::string& server, const std::string& digest,
                      const std::string& path);
// Whether the run's session is still being closed: the run is sent once it is.
bool RunSession_Closing();
// At the program's end: waits for the background work, which ends within its timeouts.
void RunSession_Stop();
