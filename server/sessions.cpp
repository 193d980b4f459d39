// Tokens, the daily seed and the clock check.
#include "server/sessions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "server/crypto.h"
#include "server/utc_text.h"

std::string Session_Token(const std::string& secret, const std::string& id) {
    return id + "." + Crypto_HmacHex(secret, "session:" + id);
}

std::string Session_IdOf(const std::string& secret, const std::string& token) {
    size_t dot = token.find('.');
    if (dot == std::string::npos || !Crypto_IsHex(token.substr(0, dot), 32)) return "";
    std::string id = token.substr(0, dot);
    return Crypto_Same(token, Session_Token(secret, id)) ? id : "";
}

std::string Session_Day(int64_t seconds) {
    return UtcText(seconds, "%Y-%m-%d");
}

uint32_t Session_DailySeed(const std::string& secret, const std::string& day) {
    return (uint32_t)std::strtoul(Crypto_HmacHex(secret, "daily:" + day).substr(0, 8).c_str(),
                                  nullptr, 16);
}

uint32_t Session_Seed(const std::string& secret, const std::string& id) {
    return (uint32_t)std::strtoul(Crypto_HmacHex(secret, "seed:" + id).substr(0, 8).c_str(),
                                  nullptr, 16);
}

namespace {

// Why the run's clock does not stand against its session's, or empty when it does.
std::string ClockFault(const Session& s, const UploadFacts& facts) {
    double wall = (double)(s.closedAt - s.openedAt);
    double played = facts.gameSeconds + facts.lostSeconds;
    double mayLose = std::max(kSessionLostSeconds, kSessionLostShare * facts.gameSeconds);
    const char* label = nullptr;
    if (facts.lostSeconds > mayLose)
        label = "slowed play";
    else if (played < wall - kSessionAllowanceSeconds)
        label = "slowed play";
    else if (played > wall + kSessionAllowanceSeconds)
        label = "sped-up play";
    if (!label) return "";
    char text[300];
    std::snprintf(text, sizeof text,
                  "%s: %.1f s of game time with %.1f s lost to slow frames (at most %.1f s), in a "
                  "session of %.0f s on the clock (allowed: %.0f s either way)",
                  label, facts.gameSeconds, facts.lostSeconds, mayLose, wall,
                  kSessionAllowanceSeconds);
    return text;
}

} // namespace

std::string Session_Unranked(const Session& s, const std::string& sha256,
                             const std::string& untagged, const std::string& playerKey,
                             const UploadFacts& facts) {
    if (s.playerKey != playerKey)
        return s.playerKey.empty() ? "another key's session: it was opened without a key"
                                   : "another key's session: it was opened with another key";
    if (s.closedAt == 0) return "an open session: its session was never closed";
    if (s.sha256 != sha256 && s.sha256 != untagged)
        return "another run's session: its session was closed with another recording";
    std::string clock = ClockFault(s, facts);
    if (!clock.empty()) return clock;
    if (facts.header.seed != (uint32_t)s.seed)
        return "its own seed: it was not played on its session's seed";
    // Without its state hashes a run proves only its end: a ranked run carries every one.
    int64_t due = facts.end.frames / kRunCheckpointFrames;
    if (facts.checkpoints < due)
        return "checkpoints taken out: it carries " + std::to_string(facts.checkpoints) + " of " +
               std::to_string(due);
    return "";
}
