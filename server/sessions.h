// Run sessions: a token the server signs when a run starts, closed when it ends, against which the
// run's game time is held to the wall clock; and the daily run's seed, which nobody can know
// before its day.
#pragma once

#include <cstdint>
#include <string>

#include "server/run_store.h"
#include "server/upload_check.h"

// How far a run's game time may stand from its session's wall time, beyond what its slow frames
// lost: the start and the end of the run against the session's calls.
const double kSessionAllowanceSeconds = 5.0;
// A session not ended within this long of its opening has expired: it can no longer be ended, and
// it is forgotten.
const int64_t kSessionLifeSeconds = 6 * 3600;

// "ID.SIGNATURE": the session's id and its HMAC under the server's secret.
std::string Session_Token(const std::string& secret, const std::string& id);
// The id a token carries, when its signature is the server's; empty otherwise.
std::string Session_IdOf(const std::string& secret, const std::string& token);
// The UTC day of a time as YYYY-MM-DD.
std::string Session_Day(int64_t seconds);
// The day's seed, from the server's secret and the date.
uint32_t Session_DailySeed(const std::string& secret, const std::string& day);
// Why a run cannot be ranked under its session, or empty if it can: the session must be closed
// with this run's SHA-256 (sha256), or with that of the run with its tag empty (untagged: the game
// closes the session as the run ends, and the player enters the tag after), not used by another
// run, and the run's game time must match its wall time.
std::string Session_Fault(const Session& s, const std::string& sha256, const std::string& untagged,
                          const UploadFacts& facts);
