// Printing the review queue.
#include "server/review.h"

#include "server/utc_text.h"

namespace {

// How many of a key's other runs are listed.
const int64_t kOtherRuns = 8;

std::string When(int64_t seconds) {
    return seconds > 0 ? UtcText(seconds, "%Y-%m-%d %H:%M:%S UTC") : "-";
}

// The run's session: when it opened and closed, against the game time and its lost time.
void PrintClock(RunStore& store, const RunRow& r, std::FILE* out) {
    Session s;
    if (r.sessionId.empty() || store.GetSession(r.sessionId, &s) != Lookup::Found) {
        std::fprintf(out, "  no session; game %.1f s, lost to slow frames %.1f s\n", r.gameSeconds,
                     r.lostSeconds);
        return;
    }
    std::fprintf(out,
                 "  session %s to %s (%lld s on the clock); game %.1f s, lost to slow frames "
                 "%.1f s\n",
                 When(s.openedAt).c_str(), When(s.closedAt).c_str(),
                 (long long)(s.closedAt - s.openedAt), r.gameSeconds, r.lostSeconds);
}

// The key's runs other than this one, the latest first.
void PrintOthers(RunStore& store, const RunRow& r, std::FILE* out) {
    std::vector<RunRow> runs;
    if (!store.KeyRuns(r.playerKey, kOtherRuns + 1, &runs)) return;
    std::fprintf(out, "  the key's other runs:");
    int shown = 0;
    for (const RunRow& o : runs) {
        if (o.id == r.id || shown == kOtherRuns) continue;
        shown++;
        std::fprintf(out, " %lld %s", (long long)o.id, o.status.c_str());
        if (o.status == "verified")
            std::fprintf(out, " %lld (%s)", (long long)o.score, o.board.c_str());
        std::fprintf(out, ";");
    }
    std::fprintf(out, shown ? "\n" : " none\n");
}

} // namespace

bool Review_List(RunStore& store, std::FILE* out) {
    std::vector<RunRow> pending;
    if (!store.Pending(&pending)) return false;
    for (const RunRow& r : pending) {
        std::fprintf(out, "run %lld  %s  score %lld  stage %lld  %s%s\n", (long long)r.id,
                     r.playerName.c_str(), (long long)r.score, (long long)r.stage,
                     r.day.empty() ? "all time" : "daily run of ", r.day.c_str());
        std::fprintf(out, "  sent %s\n", When(r.uploadedAt).c_str());
        PrintClock(store, r, out);
        std::fprintf(out,
                     "  hands: the mouse's turn spreads %.2f px a frame; %.2f fire presses a "
                     "second; %.2f s from an enemy's first frame in sight to the first hit on it "
                     "(the median of %lld)\n",
                     r.turnSpread, r.firePresses, r.reactionSeconds, (long long)r.reactionCount);
        PrintOthers(store, r, out);
    }
    if (pending.empty()) std::fprintf(out, "no run waits for review\n");
    return true;
}
