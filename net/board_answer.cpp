// One checked reader for everything the board sends back. A field of the wrong type counts as
// missing, a number outside what the board can mean makes its row (or the answer) not a board's,
// and text is cut down to what the screens and the terminal can show safely.
#include "net/board_answer.h"

#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>

#include "core/constants.h"

using nlohmann::json;

namespace {

// What the board can mean: its ranks and ids start at 1; its pages reach a billion rows; a
// recording holds at most two hours of 1000 frames a second, each at most 0.05 s long.
const int64_t kMostRank = 1000000100;
const int64_t kMostId = int64_t(1) << 53;
const int64_t kMostScore = INT32_MAX;
const double kMostSeconds = 2.0 * 3600.0 * 1000.0 * 0.05;
const size_t kMostError = 160, kMostName = 16, kMostToken = 200;

enum class Field { Missing, Bad, Good };

// A whole number field within [lo, hi]: missing when absent or not a number (a field of the wrong
// type is no field), bad when a number the board cannot mean (outside, or not whole).
Field Whole(const json& j, const char* name, int64_t lo, int64_t hi, int64_t* out) {
    auto it = j.find(name);
    if (it == j.end() || !it->is_number()) return Field::Missing;
    if (it->is_number_float()) return Field::Bad;
    if (it->is_number_unsigned() && it->get<uint64_t>() > (uint64_t)INT64_MAX) return Field::Bad;
    int64_t v = it->get<int64_t>();
    if (v < lo || v > hi) return Field::Bad;
    *out = v;
    return Field::Good;
}

// A field the answer may leave out, but not fill with what the board cannot mean.
bool MayHave(const json& j, const char* name, int64_t lo, int64_t hi, int64_t* out) {
    return Whole(j, name, lo, hi, out) != Field::Bad;
}

bool Has(const json& j, const char* name, int64_t lo, int64_t hi, int64_t* out) {
    return Whole(j, name, lo, hi, out) == Field::Good;
}

// A text field; empty when it is missing or not text.
std::string Text(const json& j, const char* name) {
    auto it = j.find(name);
    return it != j.end() && it->is_string() ? it->get<std::string>() : "";
}

// A day as the board writes it: YYYY-MM-DD, else empty.
std::string Day(const json& j) {
    std::string day = Text(j, "day");
    if (day.size() != 10) return "";
    for (size_t k = 0; k < day.size(); k++) {
        bool dash = k == 4 || k == 7;
        if (dash ? day[k] != '-' : (day[k] < '0' || day[k] > '9')) return "";
    }
    return day;
}

bool IsJson(const std::string& mediaType) {
    return mediaType == "application/json";
}

// The answer's JSON object, or why there is none: no answer, a move, not JSON, or the board's
// own refusal in its words.
bool ReadObject(const HttpAnswer& a, json* out, std::string* error) {
    if (!a.ok) return *error = a.error, false;
    if (a.status >= 300 && a.status < 400)
        return *error =
                   "the board has moved" +
                   (a.location.empty() ? std::string()
                                       : " to " + BoardAnswer_Printable(a.location, kMostError)),
               false;
    if (!IsJson(a.contentType))
        return *error = "the server answered " +
                        (a.contentType.empty() ? "without a type"
                                               : BoardAnswer_Printable(a.contentType, 60)) +
                        ", not JSON",
               false;
    *out = json::parse(a.body, nullptr, false);
    if (!out->is_object()) return *error = "the server's answer is not JSON", false;
    if (a.status < 400) return true;
    std::string said = BoardAnswer_Printable(Text(*out, "error"), kMostError);
    *error = said.empty() ? "the server refused (" + std::to_string(a.status) + ")" : said;
    return false;
}

// The board's refusal of a run itself, which sending again cannot change: a run it holds in
// another form, one too large, encoded, or not a recording it takes.
bool RefusesTheRun(const HttpAnswer& a) {
    return a.ok && (a.status == 409 || a.status == 413 || a.status == 415 || a.status == 422);
}

// A row of a board, or false when any of its fields is missing or means nothing.
bool ReadRow(const json& j, BoardRow* r) {
    if (!j.is_object()) return false;
    bool whole = Has(j, "rank", 1, kMostRank, &r->rank) && Has(j, "id", 1, kMostId, &r->id) &&
                 MayHave(j, "score", 0, kMostScore, &r->score) &&
                 MayHave(j, "stage", 0, kStageCount, &r->stage);
    if (!whole) return false;
    auto seconds = j.find("length_seconds");
    if (seconds != j.end() && seconds->is_number()) {
        r->seconds = seconds->get<double>();
        if (!std::isfinite(r->seconds) || r->seconds < 0 || r->seconds > kMostSeconds) return false;
    }
    r->player = BoardAnswer_Printable(Text(j, "player"), kMostName);
    std::string unranked = Text(j, "unranked");
    r->unranked = BoardAnswer_Printable(unranked.substr(0, unranked.find(':')), kMostName);
    auto yours = j.find("yours");
    r->mine = yours != j.end() && yours->is_boolean() && yours->get<bool>();
    return true;
}

bool IsState(const std::string& s) {
    return s == "waiting" || s == "verified" || s == "rejected";
}

} // namespace

std::string BoardAnswer_Printable(const std::string& text, size_t most) {
    std::string shown;
    for (char c : text) {
        if (c < 32 || c > 126) continue;
        if (shown.size() == most) return shown.substr(0, most > 3 ? most - 3 : 0) + "...";
        shown += c;
    }
    return shown;
}

BoardVerdict BoardAnswer_Verdict(const HttpAnswer& a) {
    BoardVerdict v;
    json j;
    if (!ReadObject(a, &j, &v.error)) {
        // Only the board's own refusal counts: a page from something else in the way does not. A
        // name another player holds refuses the name, not the run: sent under another, it is taken.
        bool nameTaken = j.is_object() && Text(j, "taken") == "name";
        v.refused = RefusesTheRun(a) && j.is_object() && !nameTaken;
        if (nameTaken) v.error += "; choose another name with [R] on the online screen";
        return v;
    }
    v.status = Text(j, "status");
    v.reason = BoardAnswer_Printable(Text(j, "reason"), kMostError);
    v.board = Text(j, "board");
    if (v.board != "open" && v.board != "bots")
        v.board = Text(j, "day").empty() ? "ranked" : "today";
    bool whole = MayHave(j, "score", 0, kMostScore, &v.score) &&
                 MayHave(j, "stage", 0, kStageCount, &v.stage) &&
                 MayHave(j, "world_rank", 1, kMostRank, &v.worldRank);
    if (!whole || !Has(j, "id", 1, kMostId, &v.id) || !IsState(v.status)) {
        v = BoardVerdict();
        v.error = "the server's answer has no run";
        return v;
    }
    v.answered = true;
    return v;
}

BoardPage BoardAnswer_Page(const HttpAnswer& a) {
    BoardPage page;
    json j;
    if (!ReadObject(a, &j, &page.error)) return page;
    auto runs = j.find("runs");
    bool whole = runs != j.end() && runs->is_array();
    for (size_t k = 0; whole && k < runs->size(); k++) {
        BoardRow row;
        whole = ReadRow((*runs)[k], &row);
        page.rows.push_back(row);
    }
    if (!whole) return BoardPage{false, {}, "", "the server's answer is not a board"};
    page.day = Day(j);
    if (!Has(j, "offset", 0, kMostRank, &page.offset)) page.offset = 0;
    auto placed = j.find("placed");
    page.placed = placed != j.end() && placed->is_boolean() && placed->get<bool>();
    page.answered = true;
    return page;
}

BoardSession BoardAnswer_Session(const HttpAnswer& a) {
    BoardSession s;
    json j;
    if (!ReadObject(a, &j, &s.error)) return s;
    s.token = Text(j, "token");
    s.day = Day(j);
    int64_t seed = 0;
    bool seeded = Has(j, "seed", 0, UINT32_MAX, &seed);
    s.seed = (uint32_t)seed;
    // The token goes into a path: only what a token of the board's holds.
    bool whole = !s.token.empty() && s.token.size() <= kMostToken &&
                 s.token.find_first_not_of("0123456789abcdef.") == std::string::npos && seeded;
    if (!whole) return BoardSession{false, "", "", "the server's answer has no session", 0};
    s.answered = true;
    return s;
}

std::string BoardAnswer_Taken(const HttpAnswer& a) {
    json j;
    std::string error;
    return ReadObject(a, &j, &error) ? "" : error;
}
