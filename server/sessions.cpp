// Tokens, the daily seed and the clock check.
#include "server/sessions.h"

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

std::string Session_Fault(const Session& s, const std::string& sha256, const std::string& untagged,
                          const UploadFacts& facts) {
    if (!s.usedBy.empty() && s.usedBy != sha256) return "its session was used by another run";
    if (s.closedAt == 0) return "its session was never closed";
    if (s.sha256 != sha256 && s.sha256 != untagged)
        return "its session was closed with another recording";
    if (!s.day.empty() && facts.header.seed != (uint32_t)s.seed)
        return "its seed is not its session's";
    double wall = (double)(s.closedAt - s.openedAt);
    double played = facts.gameSeconds + facts.lostSeconds;
    if (std::fabs(played - wall) <= kSessionAllowanceSeconds) return "";
    char text[200];
    std::snprintf(text, sizeof text,
                  "its game time, %.1f s with %.1f s lost to slow frames, does not match its "
                  "session's %.0f s on the clock (allowed: %.0f s either way)",
                  facts.gameSeconds, facts.lostSeconds, wall, kSessionAllowanceSeconds);
    return text;
}
