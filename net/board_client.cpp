// The board's API over HTTP: each call's request, and its answer read by the checked reader.
#include "net/board_client.h"

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>

#include "net/board_answer.h"
#include "net/http_client.h"

using nlohmann::json;

namespace {

std::string Url(const std::string& server, const std::string& path) {
    std::string base = server;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + path;
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
    return BoardAnswer_Verdict(Http_Send(r));
}

BoardVerdict Board_Status(const std::string& server, int64_t id) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/runs/" + std::to_string(id));
    return BoardAnswer_Verdict(Http_Send(r));
}

BoardVerdict Board_SendAndWait(const std::string& server, const std::string& recording,
                               const BoardPlayer& player, int waitSeconds,
                               const std::string& session) {
    BoardVerdict v = Board_Send(server, recording, player, session);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    while (v.answered && v.status == "waiting" && std::chrono::steady_clock::now() < deadline) {
        if (!Http_Wait(250)) break;
        BoardVerdict now = Board_Status(server, v.id);
        if (now.answered) v = now;
    }
    if (v.answered && v.status == "waiting")
        v.error = "no verdict yet after " + std::to_string(waitSeconds) + " s";
    return v;
}

namespace {

// The board's query parameter: none for the board of all time.
std::string BoardParam(BoardTab board) {
    if (board == BoardTab::Today) return "&board=today";
    if (board == BoardTab::Open) return "&board=open";
    return "";
}

} // namespace

BoardPage Board_Fetch(const std::string& server, const BoardQuery& q) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/leaderboard?offset=" + std::to_string(q.offset) +
                            "&limit=" + std::to_string(q.limit) + BoardParam(q.board) +
                            (q.aroundMe ? "&around=me" : ""));
    if (!q.key.empty()) r.headers = {{"X-Zorb-Key", q.key}};
    r.totalSeconds = q.waitSeconds;
    r.connectSeconds = std::min(r.connectSeconds, q.waitSeconds);
    return BoardAnswer_Page(Http_Send(r));
}

BoardSession Board_OpenSession(const std::string& server, bool daily, const std::string& key,
                               int waitSeconds) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/sessions");
    r.method = "POST";
    r.body = daily ? "{\"daily\": true}" : "{}";
    r.contentType = "application/json";
    if (!key.empty()) r.headers.push_back({"X-Zorb-Key", key});
    r.totalSeconds = std::min(r.totalSeconds, waitSeconds);
    r.connectSeconds = std::min(r.connectSeconds, waitSeconds);
    return BoardAnswer_Session(Http_Send(r));
}

std::string Board_EndSession(const std::string& server, const std::string& token,
                             const std::string& key, const std::string& sha256) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/sessions/" + token + "/end");
    r.method = "POST";
    r.body = json{{"sha256", sha256}}.dump();
    r.contentType = "application/json";
    if (!key.empty()) r.headers.push_back({"X-Zorb-Key", key});
    return BoardAnswer_Taken(Http_Send(r));
}

BoardName Board_ClaimName(const std::string& server, const BoardPlayer& player) {
    HttpRequest r;
    r.url = Url(server, "/api/v1/names");
    r.method = "POST";
    r.body = json{{"name", player.name}}.dump();
    r.contentType = "application/json";
    r.headers.push_back({"X-Zorb-Key", player.key});
    HttpAnswer a = Http_Send(r);
    BoardName n;
    n.answered = a.ok;
    n.taken = a.ok && a.status == 409;
    n.error = BoardAnswer_Taken(a);
    return n;
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
        f.error =
            "the server sent " + BoardAnswer_Printable(a.contentType, 60) + ", not a recording";
    else
        f.answered = true, f.bytes = std::move(a.body);
    return f;
}
