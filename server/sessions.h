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
// Any other session's seed, from the server's secret and the session's id: nobody knows it before
// the session opens.
uint32_t Session_Seed(const std::string& secret, const std::string& id);
// The share of a run's game time it may lose to frames slower than the step's bound, or this many
// seconds if that is more, and still be ranked: more is play slowed down on purpose.
const double kSessionLostShare = 0.02;
const double kSessionLostSeconds = 3.0;
// Why a run that names session s may not be ranked, or empty if it may. The run's SHA-256
// (sha256), with its tag empty (untagged: the game closes the session as the run ends, and the
// player enters the tag after), and its sender's key (playerKey, hashed) must be the session's; it
// must play the session's seed, match the session's wall time and not be slowed down. The reason
// starts with a few words for the board's rows, then a colon and the detail.
std::string Session_Unranked(const Session& s, const std::string& sha256,
                             const std::string& untagged, const std::string& playerKey,
                             const UploadFacts& facts);
