// The board's answers, read and judged.
#include "net/board_client.h"

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "net/http_client.h"

using nlohmann::json;

namespace {

std::string Url(const std::string& server, const std::string& path) {
    std::string base = server;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + path;
}

// The answer's JSON object, or why there is none: no answer, not JSON, or the server's error.
bool ReadJson(const HttpAnswer& a, json* out, std::string* error) {
    if (!a.ok) return *error = a.error, false;
    if (a.contentType != "application/json")
        return *error = "the server answered " +
                        (a.contentType.empty() ? "without a type" : a.contentType) + ", not JSON",
               false;
    *out = json::parse(a.body, nullptr, false);
    if (!out->is_object()) return *error = "the server's answer is not JSON", false;
    if (a.status >= 400)
        return *error =
                   out->value("error", "the server refused (" + std::to_string(a.status) + ")"),
               false;
    return true;
}

int64_t Int(const json& j, const char* name) {
    auto it = j.find(name);
    return it != j.end() && it->is_number() ? it->get<int64_t>() : 0;
}
std::string Text(const json& j, const char* name) {
    auto it = j.find(name);
    return it != j.end() && it->is_string() ? it->get<std::string>() : "";
}

// A refusal that sending again cannot change: any 4xx but a timeout or the rate limit.
bool ForGood(const HttpAnswer& a) {
    return a.ok && a.status >= 400 && a.status < 500 && a.status != 408 && a.status != 429;
}

BoardVerdict Verdict(const HttpAnswer& a) {
    BoardVerdict v;
    json j;
    if (!ReadJson(a, &j, &v.error)) {
        // Only the board's own refusal counts: a page from something else in the way does not.
        v.refused = ForGood(a) && j.is_object();
        return v;
    }
    v.answered = true;
    v.id = Int(j, "id");
    v.status = Text(j, "status");
    v.reason = Text(j, "reason");
    v.score = Int(j, "score");
    v.stage = Int(j, "stage");
    v.worldRank = Int(j, "world_rank");
    if (v.id <= 0 || v.status.empty()) {
        v = BoardVerdict();
        v.error = "the server's answer has no run";
    }
    return v;
}

} // namespace

BoardVerdict Board_Send(const std::string& server, const std::string& recording,
                        const BoardPlayer& player, const std::string& session) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/runs");
    r.method = "POST";
    r.body = recording;
    r.contentType = "application/octet-stream";
    r.headers = {{"X-Zorb-Player", player.name}, {"X-Zorb-Key", player.key}};
    if (!session.empty()) r.headers.push_back({"X-Zorb-Session", session});
    r.totalSeconds = 30;
    return Verdict(Http_Send(r));
}

BoardVerdict Board_Status(const std::string& server, int64_t id) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/runs/" + std::to_string(id));
    return Verdict(Http_Send(r));
}

BoardVerdict Board_SendAndWait(const std::string& server, const std::string& recording,
                               const BoardPlayer& player, int waitSeconds,
                               const std::string& session) {
    BoardVerdict v = Board_Send(server, recording, player, session);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    while (v.answered && v.status == "waiting" && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        BoardVerdict now = Board_Status(server, v.id);
        if (now.answered) v = now;
    }
    if (v.answered && v.status == "waiting")
        v.error = "no verdict yet after " + std::to_string(waitSeconds) + " s";
    return v;
}

BoardPage Board_Fetch(const std::string& server, const BoardQuery& q) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/leaderboard?offset=" + std::to_string(q.offset) +
                            "&limit=" + std::to_string(q.limit) + (q.today ? "&board=today" : ""));
    if (!q.key.empty()) r.headers = {{"X-Zorb-Key", q.key}};
    r.totalSeconds = q.waitSeconds;
    r.connectSeconds = std::min(r.connectSeconds, q.waitSeconds);
    BoardPage page;
    json j;
    if (!ReadJson(Http_Send(r), &j, &page.error)) return page;
    auto runs = j.find("runs");
    if (runs == j.end() || !runs->is_array())
        return page.error = "the server's answer has no board", page;
    for (const json& row : *runs)
        if (row.is_object())
            page.rows.push_back(BoardRow{
                Int(row, "rank"), Int(row, "id"), Int(row, "score"), Int(row, "stage"),
                Text(row, "player"), row.value("length_seconds", 0.0), row.value("yours", false)});
    page.day = Text(j, "day");
    page.answered = true;
    return page;
}

BoardSession Board_OpenSession(const std::string& server, bool daily) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/sessions");
    r.method = "POST";
    r.body = daily ? "{\"daily\": true}" : "{}";
    r.contentType = "application/json";
    BoardSession s;
    json j;
    if (!ReadJson(Http_Send(r), &j, &s.error)) return s;
    s.token = Text(j, "token");
    s.day = Text(j, "day");
    s.seed = (uint32_t)Int(j, "seed");
    // The token goes into a path: only what a token of the board's holds.
    bool whole = !s.token.empty() && s.token.size() <= 200 &&
                 s.token.find_first_not_of("0123456789abcdef.") == std::string::npos &&
                 (!daily || j.contains("seed"));
    if (!whole) return BoardSession{false, "", "", "the server's answer has no session", 0};
    s.answered = true;
    return s;
}

std::string Board_EndSession(const std::string& server, const std::string& token,
                             const std::string& sha256) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/sessions/" + token + "/end");
    r.method = "POST";
    r.body = json{{"sha256", sha256}}.dump();
    r.contentType = "application/json";
    json j;
    std::string error;
    return ReadJson(Http_Send(r), &j, &error) ? "" : error;
}

BoardFile Board_Download(const std::string& server, int64_t id) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/runs/" + std::to_string(id) + "/file");
    r.mostBytes = 4u << 20;
    r.totalSeconds = 30;
    HttpAnswer a = Http_Send(r);
    BoardFile f;
    if (!a.ok)
        f.error = a.error;
    else if (a.status != 200)
        f.error = "the server has no such run (" + std::to_string(a.status) + ")";
    else if (a.contentType != "application/octet-stream")
        f.error = "the server sent " + a.contentType + ", not a recording";
    else
        f.answered = true, f.bytes = std::move(a.body);
    return f;
}
