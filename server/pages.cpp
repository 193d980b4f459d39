// The pages' text.
#include "server/pages.h"

#include <cstdio>

#include "server/utc_text.h"

namespace {

const char* const kStyle =
    "body{background:#14141f;color:#e6e6f0;font:16px/1.45 'DejaVu Sans Mono',monospace;"
    "margin:0 auto;max-width:52em;padding:1em}"
    "h1{color:#ff40ff;letter-spacing:.2em;margin:.2em 0}h1 a{color:inherit;text-decoration:none}"
    "a{color:#6fd8ff}td a{white-space:nowrap}table{border-collapse:collapse;width:100%}"
    "th,td{padding:.3em .5em;text-align:left;border-bottom:1px solid #2c2c44}"
    "th{color:#a0a0c0;font-weight:normal}td.n,th.n{text-align:right}.score{color:#ffd84a}"
    ".scroll{overflow-x:auto}.rejected{color:#ff7070}.verified{color:#70ff90}"
    "footer,.counts{color:#a0a0c0;font-size:.9em;margin-top:1em}"
    "figure{margin:1em 0}caption{text-align:left;color:#a0a0c0;padding:.4em 0}"
    ".chart{width:100%;height:auto;display:block;background:#0c0c16}"
    ".chart text{fill:#a0a0c0;font:16px 'DejaVu Sans Mono',monospace}.chart .axis{stroke:#a0a0c0}"
    ".chart .score{fill:none;stroke:#ffd84a;stroke-width:2.5}.chart .stage{opacity:.3}"
    ".chart .life{stroke:#14141f;stroke-width:1.5}.w0{color:#ff00ff}.w1{color:#00ffff}"
    ".w2{color:#ffff00}"
    "@media (max-width:34em){body{font-size:14px;padding:.5em}.wide{display:none}}";

} // namespace

std::string Html_Page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<title>" +
           Html_Escape(title) +
           "</title><link rel=\"icon\" type=\"image/png\" href=\"/favicon.png\">"
           "<link rel=\"stylesheet\" href=\"/style.css\"></head><body><h1><a "
           "href=\"/\">ZORB</a></h1>\n" +
           body +
           "\n<footer>Every run here was played back by the server to its score.</footer>"
           "</body></html>\n";
}

std::string Html_Date(int64_t seconds) {
    return seconds <= 0 ? "-" : UtcText(seconds, "%Y-%m-%d %H:%M UTC");
}

std::string Html_UrlPart(const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += (char)c;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string Html_PlayerLink(const std::string& name) {
    return "<a href=\"/players/" + Html_UrlPart(name) + "\">" + Html_Escape(name) + "</a>";
}

namespace {

// Why a run is on the open board, in the few words before the reason's detail.
std::string Why(const RunRow& r) {
    return Html_Escape(r.unranked.substr(0, r.unranked.find(':')));
}

std::string Row(const RunRow& r, int64_t rank, bool open) {
    std::string id = std::to_string(r.id);
    return "<tr><td class=\"n\">" + std::to_string(rank) + "</td><td>" +
           Html_PlayerLink(r.playerName) + "</td><td class=\"n score\">" + std::to_string(r.score) +
           "</td><td class=\"n\">" + std::to_string(r.stage) + "</td><td class=\"n\">" +
           Html_Length(r.gameSeconds) + "</td><td class=\"wide\">" + Html_Date(r.recordedAt) +
           "</td>" + (open ? "<td>" + Why(r) + "</td>" : "") + "<td><a href=\"/runs/" + id +
           "\">run " + id + "</a></td></tr>\n";
}

// The boards, each with its link, title and the line that says what it takes.
struct BoardKind {
    const char* name;
    const char* label;
    const char* title;
    const char* takes;
};
const BoardKind kBoards[] = {
    {"all", "all time", "ZORB - world board",
     "Ranked: played live, in a session of its player's key, on the seed the board gave that "
     "session and on its clock."},
    {"today", "today", "ZORB - today's board",
     "Ranked: the daily run's sessions of the day (UTC), played live on the day's seed."},
    {"open", "open", "ZORB - open board",
     "Open: runs that verify but were not played live on the board's seed and clock, with the "
     "reason."},
    {"bots", "bots", "ZORB - bots' board", "Bots: runs played by a program."},
};

// The tabs above a board: the board shown in bold, the others linked.
std::string Tabs(const BoardPlace& place) {
    std::string tabs;
    for (const BoardKind& b : kBoards) {
        std::string label = b.label;
        if (place.board == "today" && place.board == b.name) label += ", " + place.day;
        std::string href = std::string(b.name) == "all" ? "/" : std::string("/?board=") + b.name;
        tabs += (tabs.empty() ? "" : " | ") + (place.board == b.name
                                                   ? "<b>" + label + "</b>"
                                                   : "<a href=\"" + href + "\">" + label + "</a>");
    }
    return "<p>" + tabs + "</p>";
}

const BoardKind& KindOf(const std::string& board) {
    for (const BoardKind& b : kBoards)
        if (board == b.name) return b;
    return kBoards[0];
}

std::string Fact(const std::string& name, const std::string& value) {
    return "<tr><th>" + name + "</th><td>" + value + "</td></tr>\n";
}

// Which board a run is for, and why when it is not ranked.
std::string Placing(const RunRow& r) {
    if (r.board == "bots") return "bots: played by a program";
    if (r.board == "open") return "open, not ranked: " + r.unranked;
    return "ranked: played live in its player's session" +
           std::string(r.day.empty() ? "" : ", the daily run of " + r.day);
}

} // namespace

std::string Html_Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Html_Length(double seconds) {
    long s = seconds > 0 ? (long)seconds : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

std::string Html_Board(const std::vector<RunRow>& rows, const BoardPlace& place,
                       const BoardCounts& counts) {
    const BoardKind& kind = KindOf(place.board);
    bool open = place.board == "open";
    std::string link =
        place.board == "all" ? "/?offset=" : "/?board=" + place.board + "&amp;offset=";
    std::string body = Tabs(place) +
                       "<div class=\"scroll\"><table><tr><th class=\"n\">#</th><th>player</th>"
                       "<th class=\"n\">score</th><th class=\"n\">stage</th><th "
                       "class=\"n\">length</th><th class=\"wide\">played</th>" +
                       (open ? "<th>not ranked</th>" : "") + "<th>run</th></tr>\n";
    for (size_t k = 0; k < rows.size(); k++)
        body += Row(rows[k], place.offset + (int64_t)k + 1, open);
    if (rows.empty())
        body += "<tr><td colspan=\"" + std::string(open ? "8" : "7") +
                "\">No verified runs yet.</td></tr>\n";
    body += "</table></div>\n<p>";
    if (place.offset > 0)
        body += "<a href=\"" + link + std::to_string(place.offset > 50 ? place.offset - 50 : 0) +
                "\">&larr; better</a> ";
    if (place.more)
        body += "<a href=\"" + link + std::to_string(place.offset + 50) + "\">more &rarr;</a>";
    body += "</p><p class=\"counts\">" + std::string(kind.takes) + " " +
            std::to_string(counts.waiting) + " waiting, " + std::to_string(counts.rejected) +
            " rejected.</p>";
    return Html_Page(kind.title, body);
}

std::string Html_Run(const RunRow& r, const std::string& story) {
    std::string id = std::to_string(r.id);
    std::string status = "<span class=\"" + r.status + "\">" + r.status + "</span>";
    if (r.review == "pending")
        status += " - <b>PENDING REVIEW</b>: a top place waits for the board's moderators";
    if (r.status == "rejected")
        status += ": " + Html_Escape(r.reason) +
                  (r.rejectFrame >= 0 ? " (frame " + std::to_string(r.rejectFrame) + ")" : "");
    std::string facts =
        Fact("player", Html_PlayerLink(r.playerName)) + Fact("verification", status);
    if (r.status == "verified")
        facts += Fact("score", "<span class=\"score\">" + std::to_string(r.score) + "</span>") +
                 Fact("stage", std::to_string(r.stage)) + Fact("frames", std::to_string(r.frames)) +
                 Fact("tag", Html_Escape(r.tag.empty() ? "-" : r.tag)) +
                 Fact("verified", Html_Date(r.verifiedAt));
    facts += Fact("length", Html_Length(r.gameSeconds)) + Fact("played", Html_Date(r.recordedAt)) +
             Fact("sent", Html_Date(r.uploadedAt)) + Fact("board", Html_Escape(Placing(r))) +
             Fact("SHA-256", "<code>" + r.sha256 + "</code>");
    std::string body =
        "<h2>Run " + id + "</h2><div class=\"scroll\"><table>" + facts + "</table></div>";
    if (r.status == "verified") body += story;
    if (r.dropped)
        body += "<p>The recording is no longer kept.</p>";
    else
        body += "<p><a href=\"/api/v1/runs/" + id +
                "/file\">download the recording</a></p><p>To watch it, save it and run "
                "<code>zorb --play run-" +
                id + ".zrun</code></p>";
    return Html_Page("ZORB - run " + id, body);
}

const char* Html_Style() {
    return kStyle;
}

std::string Html_Refusal(int status, const std::string& what) {
    const char* kind = status == 404   ? "not found"
                       : status == 410 ? "hidden"
                       : status == 429 ? "too many requests"
                       : status == 503 ? "unavailable"
                       : status >= 500 ? "failed"
                                       : "refused";
    return Html_Page(std::string("ZORB - ") + kind, "<p>" + Html_Escape(what) + "</p>");
}
