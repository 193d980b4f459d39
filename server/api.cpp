// The routes. Every error is JSON {"error": "..."} under /api, a page elsewhere.
#include "server/api.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <regex>

#include "server/crypto.h"
#include "server/favicon.h"
#include "server/pages.h"
#include "server/player_names.h"
#include "server/player_record.h"
#include "server/rate_limit.h"
#include "server/sessions.h"
#include "server/story_pages.h"
#include "server/upload_check.h"
#include "server/utc_text.h"

using nlohmann::json;

namespace {

// The queue's share for each sender: the runs that may wait for their verdict at once, by key, by
// address and in all.
const int64_t kQueueByKey = 3, kQueueByClient = 10, kQueueMost = 1000;

// Each limit counts by the client's address (its /64 for IPv6) and, for writes, by the player's
// key as well, so that neither many keys from one address nor one key from many addresses
// gets past it.
struct Limits {
    explicit Limits(const ApiOptions& o)
        : uploads(o.uploadsAMinute, 60.0), uploadsByKey(o.uploadsAMinute, 60.0),
          sessions(3 * o.uploadsAMinute, 60.0), sessionsByKey(3 * o.uploadsAMinute, 60.0),
          reads(o.readsAMinute, 60.0) {}
    RateLimit uploads, uploadsByKey, sessions, sessionsByKey, reads;
};

struct Context {
    Context(RunStore* s, const ApiOptions& o, const std::atomic<bool>* a)
        : store(s), options(o), accepting(a), clients(o.trustedProxies), limits(o),
          secret(s->Secret()) {}
    RunStore* store;
    ApiOptions options;
    const std::atomic<bool>* accepting;
    ClientAddress clients;
    Limits limits;
    std::mutex secretLock;
    std::string secret; // empty until it could be read
    bool secretMissingSaid = false;
};

// The board's session secret, read again until the database gives it; false (said once in the
// log) while it cannot be had. Nothing is ever signed or dealt with an empty key: that would let
// anyone make tokens and know every day's seed.
bool SecretOf(Context& c, std::string* secret) {
    std::lock_guard<std::mutex> hold(c.secretLock);
    if (c.secret.empty()) c.secret = c.store->Secret();
    if (c.secret.empty() && !c.secretMissingSaid)
        std::fprintf(stderr, "zorb-server: the session secret cannot be read: sessions and the "
                             "day's seed are refused (503) until it can\n");
    c.secretMissingSaid = c.secret.empty();
    *secret = c.secret;
    return !secret->empty();
}

int64_t Now() {
    return (int64_t)std::time(nullptr);
}

double Clock() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Reply(WebResponse& res, int status, const json& body) {
    res.status = status;
    res.SetContent(body.dump(), "application/json");
}

void Error(WebResponse& res, int status, const std::string& message) {
    Reply(res, status, json{{"error", message}});
}

// Every answer: its type is not to be guessed, and it is not kept unless its route said for how
// long. Pages also: only the board's own stylesheet and pictures, never inside another site's
// frame, and no address passed on when a link is followed.
void SafetyHeaders(WebResponse& res) {
    res.SetHeader("X-Content-Type-Options", "nosniff");
    if (!res.HasHeader("Cache-Control")) res.SetHeader("Cache-Control", "no-store");
    if (res.Header("Content-Type").rfind("text/html", 0) != 0) return;
    res.SetHeader("Content-Security-Policy",
                  "default-src 'none'; img-src 'self'; style-src 'self'; frame-ancestors 'none';"
                  " base-uri 'none'; form-action 'none'");
    res.SetHeader("X-Frame-Options", "DENY");
    res.SetHeader("Referrer-Policy", "no-referrer");
}

void ErrorPage(WebResponse& res, int status, const std::string& message) {
    res.status = status;
    res.SetContent(Html_Refusal(status, message), "text/html; charset=utf-8");
}

json RunJson(const RunRow& r) {
    json j = {{"id", r.id},
              {"status", r.status},
              {"player", r.playerName},
              {"length_seconds", r.gameSeconds},
              {"played_at", r.recordedAt},
              {"uploaded_at", r.uploadedAt},
              {"sha256", r.sha256},
              {"session", !r.sessionId.empty()},
              {"board", r.board},
              {"recording_kept", !r.dropped},
              {"simulation", r.simVersion}};
    if (r.status == "rejected") {
        j["reason"] = r.reason;
        if (r.rejectFrame >= 0) j["frame"] = r.rejectFrame;
    }
    if (r.status != "waiting") j["verified_at"] = r.verifiedAt;
    if (!r.day.empty()) j["day"] = r.day;
    if (!r.unranked.empty()) j["unranked"] = r.unranked;
    if (!r.review.empty()) j["review"] = r.review;
    if (r.status == "verified")
        j.update({{"score", r.score}, {"stage", r.stage}, {"frames", r.frames}, {"tag", r.tag}});
    return j;
}

// The name belongs to another key: a refusal of the name, not of the run (sent again under another
// name, the run is taken), said as such to the client.
void NameTaken(WebResponse& res, const std::string& name) {
    Reply(res, 409, json{{"error", "the name " + name + " is taken"}, {"taken", "name"}});
}

// Why a hidden run is not shown, in the moderators' words.
std::string HiddenText(const RunRow& r) {
    return "hidden by the board's moderators" +
           (r.hiddenReason.empty() ? std::string() : ": " + r.hiddenReason);
}

// The name a request gives in its header, taken with its ends trimmed.
std::string NameOf(const WebRequest& req) {
    return PlayerName_Trimmed(req.Header("X-Zorb-Player"));
}
const char* const kNameRule = "1 to 16 printable characters, not only dots and spaces";

// A refusal in the API's JSON, or as a page elsewhere.
void Refuse(const WebRequest& req, WebResponse& res, int status, const std::string& message) {
    if (req.path.rfind("/api/", 0) == 0) return Error(res, status, message);
    std::string sentence = message;
    sentence[0] = (char)std::toupper((unsigned char)sentence[0]);
    ErrorPage(res, status, sentence + ".");
}

// The database did not answer (its reason is in the log, never in the answer): the client is told
// to come back soon.
void DatabaseDown(const WebRequest& req, WebResponse& res) {
    res.SetHeader("Retry-After", "5");
    Refuse(req, res, 503, "the board's database cannot be reached; try again soon");
}

// No session secret could be read (see SecretOf).
void NoSecret(const WebRequest& req, WebResponse& res) {
    res.SetHeader("Retry-After", "30");
    Refuse(req, res, 503, "the board cannot open sessions just now; try again soon");
}

// Whether the limit lets who go on (an empty who is not counted); a refusal is answered with 429
// and when to come back.
bool Within(RateLimit& limit, const std::string& who, const WebRequest& req, WebResponse& res,
            const std::string& what) {
    int retry = 0;
    if (who.empty() || limit.Allow(who, Clock(), &retry)) return true;
    res.SetHeader("Retry-After", std::to_string(retry));
    Refuse(req, res, 429, "too many " + what + "; wait " + std::to_string(retry) + " s");
    return false;
}

// The small writes, each of a little JSON: a session opened or ended, a name taken.
bool SmallWrite(const WebRequest& req) {
    return req.method == "POST" &&
           (req.path.rfind("/api/v1/sessions", 0) == 0 || req.path == "/api/v1/names");
}

// What a route's body may hold: a recording, a little JSON, or nothing at all.
uint64_t MostBody(const WebRequest& req) {
    if (req.method == "POST" && req.path == "/api/v1/runs") return kUploadMostBytes;
    return SmallWrite(req) ? kJsonMostBytes : 0;
}

// Bodies are judged on their headers before a byte of them is read: never encoded (nothing is ever
// inflated), never in chunks (a length is given, so the bound holds before reading), and within
// what the route takes.
bool RefuseBody(const WebRequest& req, WebResponse& res) {
    uint64_t most = MostBody(req);
    bool upload = most == kUploadMostBytes;
    if (req.HasHeader("Content-Encoding"))
        Refuse(req, res, 415, "the board takes bodies as they are, not encoded");
    else if (req.HasHeader("Transfer-Encoding"))
        Refuse(req, res, 411, "send a Content-Length, not chunks");
    else if (upload && !req.HasHeader("Content-Length"))
        Refuse(req, res, 411, "a Content-Length is needed");
    else if (req.ContentLength() > most)
        Refuse(req, res, 413,
               most == 0 ? "this request takes no body"
                         : (upload ? "a recording is at most 4 MiB" : "the body is at most 4 KB"));
    else
        return false;
    return true;
}

// The player's key, when the request carries one: hex in either case is one key, kept in small
// letters.
std::string KeyOf(const WebRequest& req) {
    std::string key = req.Header("X-Zorb-Key");
    if (!Crypto_IsHex(key, 32)) return "";
    for (char& ch : key)
        ch = (char)std::tolower((unsigned char)ch);
    return key;
}

// The asker's own key as it is stored, when the request carries one: their rows are marked.
std::string AskersKey(const WebRequest& req) {
    std::string key = KeyOf(req);
    return key.empty() ? "" : Crypto_Sha256Hex(key);
}

// Uploads are counted by address and by key once their headers have passed.
bool RefuseUploadEarly(Context& c, const WebRequest& req, WebResponse& res,
                       const std::string& who) {
    if (*c.accepting)
        return !Within(c.limits.uploads, who, req, res, "uploads") ||
               !Within(c.limits.uploadsByKey, KeyOf(req), req, res, "uploads with this key");
    Error(res, 503, "the server is stopping; send the run again soon");
    return true;
}

// The client's address as its limits count it.
std::string Who(const Context& c, const WebRequest& req) {
    return ClientAddress::LimitKey(c.clients.Of(req.peer, req.HeaderList("X-Forwarded-For")));
}

// Every request is counted against its client's limits before it is routed: reads by address,
// uploads and session opens and ends by address and by key.
bool RefuseEarly(Context& c, const WebRequest& req, WebResponse& res) {
    std::string who = Who(c, req);
    if (RefuseBody(req, res)) return true;
    if (req.method == "GET" || req.method == "HEAD")
        return !Within(c.limits.reads, who, req, res, "requests");
    if (req.method != "POST") return false;
    if (req.path == "/api/v1/runs") return RefuseUploadEarly(c, req, res, who);
    if (!SmallWrite(req)) return false;
    return !Within(c.limits.sessions, who, req, res, "sessions") ||
           !Within(c.limits.sessionsByKey, KeyOf(req), req, res, "sessions with this key");
}

// Why the player's headers cannot be taken, or empty.
std::string PlayerFault(const WebRequest& req) {
    if (!PlayerName_Good(NameOf(req))) return std::string("X-Zorb-Player must be ") + kNameRule;
    if (!Crypto_IsHex(req.Header("X-Zorb-Key"), 32)) return "X-Zorb-Key must be 32 hex digits";
    return "";
}

// Where an upload goes: refused (with why, for 422), or onto a board: bots for a program's run,
// ranked for a run played live in a session of its sender's key, on its seed and its clock, and
// open for every other, with the reason. down is set when the database could not say.
struct Placing {
    std::string refusal, board = "open", unranked = "no session: it was sent without one";
    Session session; // the session the run is ranked under; its id empty when none
    bool down = false;
};

Placing PlaceUpload(Context& c, const WebRequest& req, const UploadFacts& facts) {
    Placing p;
    if (facts.header.byProgram) {
        p.board = "bots";
        p.unranked = "";
    }
    if (!req.HasHeader("X-Zorb-Session") || facts.header.byProgram) return p;
    Session s;
    std::string secret;
    p.down = !SecretOf(c, &secret);
    if (p.down) return p;
    std::string id = Session_IdOf(secret, req.Header("X-Zorb-Session"));
    Lookup found = id.empty() ? Lookup::Missing : c.store->GetSession(id, &s);
    p.down = found == Lookup::Failed;
    if (found != Lookup::Found) {
        p.refusal = "X-Zorb-Session is not a session of this server";
    } else if (!s.usedBy.empty() && s.usedBy != Crypto_Sha256Hex(req.body)) {
        p.refusal = "its session was used by another run";
    } else {
        std::string untagged = req.body; // Upload_Check has seen a whole header
        untagged.replace(kRunTagOffset, 4, 4, '\0');
        p.unranked = Session_Unranked(s, Crypto_Sha256Hex(req.body), Crypto_Sha256Hex(untagged),
                                      AskersKey(req), facts);
        if (p.unranked.empty()) p.board = "ranked";
        if (p.unranked.empty()) p.session = s;
    }
    return p;
}

// The run to store, from a checked upload and its place.
NewRun RunOf(Context& c, const WebRequest& req, const UploadFacts& facts, const Placing& place) {
    NewRun run;
    run.sha256 = Crypto_Sha256Hex(req.body);
    run.bytes = req.body;
    run.playerKeyHash = Crypto_Sha256Hex(KeyOf(req));
    run.playerName = NameOf(req);
    run.sessionId = place.session.id;
    run.day = place.session.day;
    run.board = place.board;
    run.unranked = place.unranked;
    run.playSha256 = facts.playSha256;
    run.client = Who(c, req);
    run.simVersion = facts.header.simVersion;
    run.seed = facts.header.seed;
    // The date shown as played is the board's own: the session's start, or when it was sent
    // (the recording's date is the sender's word).
    run.uploadedAt = Now();
    run.recordedAt = place.session.id.empty() ? run.uploadedAt : place.session.openedAt;
    run.gameSeconds = facts.gameSeconds;
    run.lostSeconds = facts.lostSeconds;
    run.turnSpread = facts.turnSpread;
    run.firePresses = facts.firePresses;
    return run;
}

// Whether the run may join the queue: its name is its key's, and neither its key, its address
// nor the whole queue has all the runs waiting it may. Refused (answered) when not.
bool MayQueue(Context& c, const WebRequest& req, WebResponse& res, const NewRun& run) {
    RunStore::Claimed name = c.store->ClaimName(run.playerKeyHash, run.playerName);
    QueueLoad load;
    if (name == RunStore::Claimed::Failed ||
        !c.store->Queue(run.playerKeyHash, run.client, &load)) {
        DatabaseDown(req, res);
        return false;
    }
    bool keyFull = load.byKey >= kQueueByKey, clientFull = load.byClient >= kQueueByClient;
    if (name == RunStore::Claimed::Taken) {
        NameTaken(res, run.playerName);
    } else if (load.all >= kQueueMost) {
        res.SetHeader("Retry-After", "30");
        Error(res, 503, "the queue of runs to verify is full; try again soon");
    } else if (keyFull || clientFull) {
        res.SetHeader("Retry-After", "10");
        std::string waiting = keyFull ? std::to_string(kQueueByKey) + " runs of this key"
                                      : std::to_string(kQueueByClient) + " runs from this address";
        Error(res, 429, waiting + " wait for their verdict; send again once one has it");
    }
    return res.status == 200;
}

void Upload(Context& c, const WebRequest& req, WebResponse& res) {
    std::string why = PlayerFault(req);
    UploadFacts facts;
    if (why.empty() && !Upload_Check(req.body, Now(), &facts, &why)) why = "not taken: " + why;
    Placing place;
    if (why.empty()) place = PlaceUpload(c, req, facts);
    if (place.down) return DatabaseDown(req, res);
    if (why.empty()) why = place.refusal;
    if (!why.empty()) return Error(res, 422, why);
    NewRun run = RunOf(c, req, facts, place);
    if (!MayQueue(c, req, res, run)) return;
    int64_t id = 0;
    RunStore::Added added = c.store->Add(run, &id);
    if (added == RunStore::Added::SessionUsed)
        return Error(res, 422, "its session was used by another run");
    if (added == RunStore::Added::Copied)
        return Error(res, 409, "this run is already on the board as run " + std::to_string(id));
    RunRow row;
    if (added == RunStore::Added::Failed ||
        (added == RunStore::Added::Known && c.store->Get(id, &row) != Lookup::Found))
        return DatabaseDown(req, res);
    bool known = added == RunStore::Added::Known;
    Reply(res, known ? 200 : 202, json{{"id", id}, {"status", known ? row.status : "waiting"}});
}

// The query's value name into v when it is there: false when it is not a whole number from least
// to most, written in plain digits.
bool WholeParam(const WebRequest& req, const char* name, int64_t least, int64_t most, int64_t* v) {
    if (!req.HasParam(name)) return true;
    std::string text = req.Param(name);
    const char* end = text.data() + text.size();
    int64_t read = 0;
    auto [at, fault] = std::from_chars(text.data(), end, read);
    if (text.empty() || text[0] == '-' || fault != std::errc() || at != end || read < least ||
        read > most)
        return false;
    *v = read;
    return true;
}

// A board's query: its first row, how many rows (for the API), which board (all, today, open or
// bots) and its day (today's, UTC, for board=today).
struct BoardQuery {
    int64_t offset = 0, limit = 10;
    std::string name = "all", day;
    Ranking board = Ranking::All;
};

// The board's query read strictly; why it cannot be, naming the bounds, or empty.
std::string ReadBoardQuery(const WebRequest& req, BoardQuery* q) {
    if (!WholeParam(req, "offset", 0, 1000000000, &q->offset))
        return "offset must be a whole number from 0 to 1000000000";
    if (!WholeParam(req, "limit", 1, 100, &q->limit))
        return "limit must be a whole number from 1 to 100";
    const std::pair<const char*, Ranking> boards[] = {{"all", Ranking::All},
                                                      {"today", Ranking::Today},
                                                      {"open", Ranking::Open},
                                                      {"bots", Ranking::Bots}};
    q->name = req.HasParam("board") ? req.Param("board") : "all";
    auto named = std::find_if(std::begin(boards), std::end(boards),
                              [&](const auto& b) { return q->name == b.first; });
    if (named == std::end(boards)) return "board must be all, today, open or bots";
    q->board = named->second;
    q->day = q->board == Ranking::Today ? Session_Day(Now()) : "";
    return "";
}

// around=me: the page is the rows around the asker's own place, theirs in the middle. False when
// the request was answered already (refused, or the database down).
bool AroundAsker(Context& c, const WebRequest& req, WebResponse& res, const std::string& mine,
                 BoardQuery* q, bool* placed) {
    *placed = false;
    if (!req.HasParam("around")) return true;
    if (req.Param("around") != "me" || mine.empty()) {
        Error(res, 400, "around must be me, with the player's key in X-Zorb-Key");
        return false;
    }
    int64_t rank = 0;
    if (!c.store->Place(kRunSimVersion, q->board, q->day, mine, &rank)) {
        DatabaseDown(req, res);
        return false;
    }
    *placed = rank > 0;
    if (rank > 0) q->offset = std::max<int64_t>(0, rank - 1 - (q->limit - 1) / 2);
    return true;
}

void Leaderboard(Context& c, const WebRequest& req, WebResponse& res) {
    BoardQuery q;
    std::string fault = ReadBoardQuery(req, &q), mine = AskersKey(req);
    if (!fault.empty()) return Error(res, 400, fault);
    bool placed = false;
    if (!AroundAsker(c, req, res, mine, &q, &placed)) return;
    json rows = json::array();
    int64_t rank = q.offset;
    std::vector<RunRow> board;
    if (!c.store->Board(kRunSimVersion, q.board, q.day, q.offset, q.limit, &board))
        return DatabaseDown(req, res);
    for (const RunRow& r : board) {
        json j = RunJson(r);
        j["rank"] = ++rank;
        if (!mine.empty() && r.playerKey == mine) j["yours"] = true;
        rows.push_back(j);
    }
    json answer = {
        {"simulation", kRunSimVersion}, {"offset", q.offset}, {"runs", rows}, {"board", q.name}};
    if (!q.day.empty()) answer["day"] = q.day;
    if (req.HasParam("around")) answer["placed"] = placed;
    // The rows marked as the asker's own differ by key.
    res.SetHeader("Cache-Control", "max-age=10");
    res.SetHeader("Vary", "X-Zorb-Key");
    Reply(res, 200, answer);
}

void RunRoute(Context& c, const WebRequest& req, WebResponse& res, bool file) {
    RunRow row;
    int64_t id = std::strtoll(req.matches[1].c_str(), nullptr, 10);
    Lookup found = c.store->Get(id, &row);
    if (found == Lookup::Failed) return DatabaseDown(req, res);
    if (found == Lookup::Missing) return Error(res, 404, "no such run");
    if (row.hidden) return Error(res, 410, HiddenText(row));
    if (!file) {
        json j = RunJson(row);
        int64_t rank = 0;
        if (row.status == "verified" && !c.store->WorldRank(id, &rank))
            return DatabaseDown(req, res);
        if (rank > 0) j["world_rank"] = rank;
        std::string story;
        Lookup told = c.store->Story(id, &story);
        if (told == Lookup::Failed) return DatabaseDown(req, res);
        if (told == Lookup::Found && !story.empty()) {
            // A story that cannot be read is sent as none, never as a token that is not JSON.
            json parsed = json::parse(story, nullptr, false);
            j["story"] = parsed.is_discarded() ? json(nullptr) : parsed;
        }
        res.SetHeader("Cache-Control", "no-cache");
        return Reply(res, 200, j);
    }
    if (row.dropped) return Error(res, 410, "the recording is no longer kept");
    std::string bytes;
    if (c.store->Bytes(id, &bytes) != Lookup::Found) return DatabaseDown(req, res);
    // A run's bytes never change: its address is its id, and a hidden run is not served.
    res.SetHeader("Cache-Control", "public, max-age=31536000, immutable");
    res.SetHeader("Accept-Ranges", "bytes");
    res.SetHeader("Content-Disposition",
                  "attachment; filename=\"run-" + std::to_string(id) + ".zrun\"");
    res.SetContent(bytes, "application/octet-stream");
}

void Health(Context& c, WebResponse& res) {
    BoardCounts counts;
    bool up = c.store->Reachable() && c.store->Counts(kRunSimVersion, &counts);
    if (!up) res.SetHeader("Retry-After", "5");
    Reply(res, up ? 200 : 503,
          json{{"database", up},
               {"waiting", counts.waiting},
               {"workers", up ? c.store->WorkersSince(Now() - 60) : 0},
               {"simulation", kRunSimVersion},
               {"format", kRunFormatVersion},
               {"session_allowance_seconds", kSessionAllowanceSeconds}});
}

// The body's field name when it is of the kind wanted (is_kind), else null; fault is set when it is
// there but of another kind.
json Field(const json& body, const char* name, bool (json::*is_kind)() const, bool* fault) {
    if (!body.is_object() || !body.contains(name)) return nullptr;
    const json& field = body[name];
    if ((field.*is_kind)()) return field;
    *fault = true;
    return nullptr;
}

void OpenSession(Context& c, const WebRequest& req, WebResponse& res) {
    json asked = json::parse(req.body.empty() ? "{}" : req.body, nullptr, false);
    bool fault = !asked.is_object();
    json dailyField = Field(asked, "daily", &json::is_boolean, &fault);
    if (fault) return Error(res, 422, "the body must be {} or {\"daily\": true or false}");
    bool daily = dailyField.is_boolean() && dailyField.get<bool>();
    std::string secret;
    if (!SecretOf(c, &secret)) return NoSecret(req, res);
    Session s;
    s.id = Crypto_RandomHex(16);
    if (!c.store->Clock(&s.openedAt)) return DatabaseDown(req, res);
    s.day = daily ? Session_Day(s.openedAt) : "";
    s.seed = daily ? Session_DailySeed(secret, s.day) : Session_Seed(secret, s.id);
    // Its runs are ranked only when sent with the key it was opened with.
    s.playerKey = AskersKey(req);
    if (s.id.empty() || !c.store->OpenSession(s)) return DatabaseDown(req, res);
    json j = {{"token", Session_Token(secret, s.id)},
              {"allowance_seconds", kSessionAllowanceSeconds},
              {"seed", s.seed}};
    if (daily) j["day"] = s.day;
    Reply(res, 201, j);
}

void EndSession(Context& c, const WebRequest& req, WebResponse& res) {
    std::string secret;
    if (!SecretOf(c, &secret)) return NoSecret(req, res);
    std::string id = Session_IdOf(secret, req.matches[1]);
    bool fault = false;
    json field = Field(json::parse(req.body, nullptr, false), "sha256", &json::is_string, &fault);
    std::string sha256 = field.is_string() ? field.get<std::string>() : "";
    if (id.empty()) return Error(res, 404, "no such session");
    if (!Crypto_IsHex(sha256, 64)) return Error(res, 422, "the body must be {\"sha256\": HEX}");
    int64_t now = 0;
    if (!c.store->Clock(&now)) return DatabaseDown(req, res);
    // Only the key it was opened with closes it (none, for a session opened without one).
    Lookup closed =
        c.store->CloseSession(id, AskersKey(req), sha256, now, now - kSessionLifeSeconds);
    if (closed == Lookup::Failed) return DatabaseDown(req, res);
    if (closed == Lookup::Missing)
        return Error(res, 409,
                     "the session is already closed, has expired, is another key's, or is not this "
                     "server's");
    Reply(res, 200, json{{"closed", true}});
}

// The player's name on the board, taken for their key (their old one freed) unless another key
// holds it.
void NameRoute(Context& c, const WebRequest& req, WebResponse& res) {
    bool fault = false;
    json field = Field(json::parse(req.body, nullptr, false), "name", &json::is_string, &fault);
    std::string name = PlayerName_Trimmed(field.is_string() ? field.get<std::string>() : ""),
                key = KeyOf(req);
    if (!PlayerName_Good(name))
        return Error(res, 422, std::string("the body must be {\"name\": ") + kNameRule + "}");
    if (key.empty()) return Error(res, 422, "X-Zorb-Key must be 32 hex digits");
    RunStore::Claimed claimed = c.store->ClaimName(Crypto_Sha256Hex(key), name);
    if (claimed == RunStore::Claimed::Failed) return DatabaseDown(req, res);
    if (claimed == RunStore::Claimed::Taken) return NameTaken(res, name);
    Reply(res, 200, json{{"name", name}});
}

void Daily(Context& c, const WebRequest& req, WebResponse& res) {
    std::string day = Session_Day(Now()), secret;
    if (!SecretOf(c, &secret)) return NoSecret(req, res);
    res.SetHeader("Cache-Control", "max-age=60");
    Reply(res, 200, json{{"day", day}, {"seed", Session_DailySeed(secret, day)}});
}

void BoardPage(Context& c, const WebRequest& req, WebResponse& res) {
    BoardQuery q;
    std::string fault = ReadBoardQuery(req, &q);
    if (!fault.empty()) return ErrorPage(res, 400, fault);
    std::vector<RunRow> rows;
    BoardCounts counts;
    if (!c.store->Board(kRunSimVersion, q.board, q.day, q.offset, 51, &rows) ||
        !c.store->Counts(kRunSimVersion, &counts))
        return DatabaseDown(req, res);
    bool more = rows.size() > 50;
    if (more) rows.pop_back();
    res.SetHeader("Cache-Control", "max-age=10");
    res.SetContent(Html_Board(rows, BoardPlace{q.offset, more, q.name, q.day}, counts),
                   "text/html; charset=utf-8");
}

void RunPage(Context& c, const WebRequest& req, WebResponse& res) {
    RunRow row;
    Lookup found = c.store->Get(std::strtoll(req.matches[1].c_str(), nullptr, 10), &row);
    if (found == Lookup::Failed) return DatabaseDown(req, res);
    if (found == Lookup::Missing) return ErrorPage(res, 404, "No such run.");
    if (row.hidden)
        return ErrorPage(res, 410, "Run " + req.matches[1] + " is " + HiddenText(row) + ".");
    std::string story;
    Lookup told = c.store->Story(row.id, &story);
    if (told == Lookup::Failed) return DatabaseDown(req, res);
    res.SetHeader("Cache-Control", "no-cache"); // its verdict may still come
    res.SetContent(Html_Run(row, Html_RunStory(row, told, story)), "text/html; charset=utf-8");
}

json PlayerTotalsJson(const PlayerTotals& t) {
    json weapons = json::array();
    const char* const names[3] = {"AUTO", "SPREAD", "BOMB"};
    for (int w = 0; w < 3; w++)
        weapons.push_back(
            {{"weapon", names[w]},
             {"shots", t.shots[w]},
             {"hits", t.hits[w]},
             {"accuracy", t.shots[w] ? (double)t.hits[w] / (double)t.shots[w] : 0.0}});
    return {{"runs_told", t.told},
            {"kills", std::vector<int64_t>(t.kills, t.kills + 8)},
            {"weapons", weapons}};
}

json PlayerJson(const PlayerRecord& p) {
    json best = json::array(), runs = json::array(), days = json::array(), places = json::array();
    for (const PlayerBest& b : p.best)
        best.push_back({{"board", b.board}, {"run", RunJson(b.run)}});
    for (const RunRow& r : p.runs)
        runs.push_back(RunJson(r));
    for (const DayPoint& d : p.days)
        days.push_back(
            {{"day", UtcText(d.day * 86400, "%Y-%m-%d")}, {"best", d.best}, {"runs", d.runs}});
    for (const PlayerDayPlace& d : p.places)
        places.push_back(
            {{"day", d.day}, {"place", d.place}, {"score", d.score}, {"run", d.runId}});
    return {{"name", p.name},        {"best", best},
            {"runs", runs},          {"run_count", p.runCount},
            {"offset", p.offset},    {"more", p.more},
            {"days", days},          {"totals", PlayerTotalsJson(p.totals)},
            {"daily_places", places}};
}

// The record of the player named in the path, from the query's offset; false when the request
// was answered already (refused, or no such player).
bool LoadPlayer(Context& c, const WebRequest& req, WebResponse& res, PlayerRecord* p) {
    int64_t offset = 0;
    if (!WholeParam(req, "offset", 0, 1000000000, &offset)) {
        Refuse(req, res, 400, "offset must be a whole number from 0 to 1000000000");
        return false;
    }
    const std::string& name = req.matches[1];
    Lookup found =
        PlayerName_Good(PlayerName_Trimmed(name))
            ? PlayerRecord_Load(*c.store, name, kRunSimVersion, Session_Day(Now()), offset, p)
            : Lookup::Missing;
    if (found == Lookup::Failed) DatabaseDown(req, res);
    if (found == Lookup::Missing) Refuse(req, res, 404, "no such player");
    return found == Lookup::Found;
}

void PlayerRoute(Context& c, const WebRequest& req, WebResponse& res, bool page) {
    PlayerRecord p;
    if (!LoadPlayer(c, req, res, &p)) return;
    res.SetHeader("Cache-Control", "max-age=10");
    if (page) return res.SetContent(Html_Player(p), "text/html; charset=utf-8");
    Reply(res, 200, PlayerJson(p));
}

// A route: its method, its path (whole, with parts captured), and its answer.
struct Route {
    const char* method;
    std::regex path;
    std::function<void(Context&, const WebRequest&, WebResponse&)> answer;
};

std::vector<Route> Routes() {
    using Req = const WebRequest&;
    using Res = WebResponse&;
    auto run = [](bool file) {
        return [file](Context& c, Req q, Res s) { RunRoute(c, q, s, file); };
    };
    auto player = [](bool page) {
        return [page](Context& c, Req q, Res s) { PlayerRoute(c, q, s, page); };
    };
    return {
        {"POST", std::regex("/api/v1/runs"), [](Context& c, Req q, Res s) { Upload(c, q, s); }},
        {"GET", std::regex(R"(/api/v1/runs/(\d{1,18}))"), run(false)},
        {"GET", std::regex(R"(/api/v1/runs/(\d{1,18})/file)"), run(true)},
        {"GET", std::regex("/api/v1/leaderboard"), Leaderboard},
        {"GET", std::regex("/api/v1/health"), [](Context& c, Req, Res s) { Health(c, s); }},
        {"GET", std::regex("/api/v1/daily"), [](Context& c, Req q, Res s) { Daily(c, q, s); }},
        {"POST", std::regex("/api/v1/sessions"), OpenSession},
        {"POST", std::regex("/api/v1/names"), NameRoute},
        {"POST", std::regex(R"(/api/v1/sessions/([0-9a-f]{32}\.[0-9a-f]{64})/end)"), EndSession},
        {"GET", std::regex("/"), BoardPage},
        {"GET", std::regex(R"(/runs/(\d{1,18}))"), RunPage},
        {"GET", std::regex("/players/(.{1,64})"), player(true)},
        {"GET", std::regex("/api/v1/players/(.{1,64})"), player(false)},
        {"GET", std::regex("/favicon.png"),
         [](Context&, Req, Res s) {
             s.SetHeader("Cache-Control", "max-age=86400");
             s.SetContent(std::string((const char*)kFavicon, kFaviconSize), "image/png");
         }},
        {"GET", std::regex("/style.css"),
         [](Context&, Req, Res s) {
             s.SetHeader("Cache-Control", "max-age=3600");
             s.SetContent(Html_Style(), "text/css; charset=utf-8");
         }},
    };
}

} // namespace

struct Api::Board {
    Board(RunStore* s, const ApiOptions& o, const std::atomic<bool>* a)
        : context(s, o, a), routes(Routes()) {}
    Context context;
    std::vector<Route> routes;
};

Api::Api(RunStore* store, const ApiOptions& options, const std::atomic<bool>* accepting)
    : board_(std::make_unique<Board>(store, options, accepting)) {}

Api::~Api() = default;

bool Api::Early(const WebRequest& req, WebResponse* res) {
    return RefuseEarly(board_->context, req, *res);
}

size_t Api::MostBody(const WebRequest& req) const {
    return ::MostBody(req);
}

double Api::BodySeconds() const {
    return board_->context.options.bodySeconds;
}

void Api::Answer(WebRequest& req, WebResponse* res) {
    // The board knows GET (HEAD is answered as GET) and POST; any other method is not one it has.
    if (req.method != "GET" && req.method != "POST")
        return Refuse(req, *res, 501, "the board answers GET, HEAD and POST only");
    std::string allowed; // the methods the path takes, where it is a path the board has
    for (const Route& route : board_->routes) {
        std::smatch parts;
        if (!std::regex_match(req.path, parts, route.path)) continue;
        if (req.method != route.method) {
            allowed = std::strcmp(route.method, "GET") == 0 ? "GET, HEAD" : route.method;
            continue;
        }
        req.matches.assign(parts.begin(), parts.end());
        try {
            route.answer(board_->context, req, *res);
        } catch (const std::exception& e) {
            Failed(req, res, e.what());
        }
        return;
    }
    if (!allowed.empty()) {
        res->SetHeader("Allow", allowed);
        return Refuse(req, *res, 405, "this path takes " + allowed + " only");
    }
    Refuse(req, *res, 404, req.path.rfind("/api/", 0) == 0 ? "no such path" : "no such page");
}

void Api::Failed(const WebRequest& req, WebResponse* res, const std::string& what) const {
    std::fprintf(stderr, "zorb-server: %s %s failed: %s\n", req.method.c_str(), req.path.c_str(),
                 what.c_str());
    *res = WebResponse();
    Error(*res, 500, "the server failed to answer");
}

void Api::Refused(const WebRequest& req, WebResponse* res) const {
    int status = res->status;
    if (status == 503) res->SetHeader("Retry-After", "5");
    Refuse(req, *res, status,
           status == 414   ? "the request line is longer than 8 KB"
           : status == 431 ? "the headers are over 100 lines or 32 KB, or a line is over 8 KB"
           : status == 503 ? "the board is busy; try again soon"
                           : "refused");
}

void Api::Finish(WebResponse* res) const {
    SafetyHeaders(*res);
}
