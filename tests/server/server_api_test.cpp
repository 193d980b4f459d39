// The world board's server, started as a real process on loopback: uploads, verification, the
// board, sessions, moderation, refused bodies and headers, and crashes. The same tests run on
// SQLite and, with ZORB_TEST_DATABASE set, on PostgreSQL.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "core/settings.h"
#include "runs/run_file.h"
#include "server/crypto.h"
#include "server/database.h"
#include "tests/server/server_process.h"

using nlohmann::json;

namespace {

const char* const kKey = "0123456789abcdef0123456789abcdef";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Autoplay() {
    // Appended in place: GCC 12 warns of a bound it misreads in `std::string(...) + "..."`.
    std::string path = ZORB_SOURCE_DIR;
    return ReadFile(path.append("/tests/runs/autoplay.zrun"));
}

struct Answer {
    int status = 0;
    json body;
    httplib::Headers headers;
};

Answer Read(const httplib::Result& r) {
    Answer a;
    if (!r) return a;
    a.status = r->status;
    a.body = json::parse(r->body, nullptr, false);
    a.headers = r->headers;
    return a;
}

// A new connection to the server on loopback from an address of its own (127.0.0.1 unless said),
// or -1.
int Connect(int port, uint32_t from = INADDR_LOOPBACK) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(from);
    bind(fd, (sockaddr*)&a, sizeof a);
    a.sin_port = htons((uint16_t)port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, (sockaddr*)&a, sizeof a) == 0) return fd;
    close(fd);
    return -1;
}

// A raw exchange on a new connection: sends head, then keeps sending filler (up to fillerBytes)
// until the server answers or closes. The answer's first line, and the filler bytes sent.
std::string RawExchange(int port, const std::string& head, long fillerBytes, long* sent) {
    int fd = Connect(port);
    if (fd < 0) return "";
    send(fd, head.data(), head.size(), MSG_NOSIGNAL);
    std::string filler(65536, 'x'), answer;
    *sent = 0;
    for (int rounds = 0; rounds < 20000; rounds++) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, *sent < fillerBytes ? 0 : 5000) > 0) break;
        if (*sent >= fillerBytes) break;
        ssize_t n = send(fd, filler.data(), filler.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) *sent += n;
        if (n < 0 && errno != EAGAIN) break;
        if (n < 0) poll(&p, 1, 10);
    }
    char buffer[512];
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) answer.assign(buffer, (size_t)n);
    close(fd);
    return answer.substr(0, answer.find("\r\n"));
}

class ServerApi : public ::testing::Test {
  protected:
    std::string data;
    std::unique_ptr<ServerProcess> server;
    std::unique_ptr<httplib::Client> client;

    void SetUp() override {
        ResetTestDatabase();
        data = FreshFolder("server-api");
        Start({"--workers", "1"});
    }

    void Start(const std::vector<std::string>& args) {
        server = std::make_unique<ServerProcess>(args, data);
        ASSERT_GT(server->port(), 0) << "the server did not start";
        client = std::make_unique<httplib::Client>("127.0.0.1", server->port());
        client->set_read_timeout(30, 0);
    }

    Answer Upload(const std::string& bytes, const std::string& name = "Tester",
                  const std::string& key = kKey, const std::string& session = "") {
        httplib::Headers h = {{"X-Zorb-Player", name}, {"X-Zorb-Key", key}};
        if (!session.empty()) h.emplace("X-Zorb-Session", session);
        return Read(client->Post("/api/v1/runs", h, bytes, "application/octet-stream"));
    }

    Answer Get(const std::string& path) { return Read(client->Get(path.c_str())); }

    // zorb-server's moderation commands on the test's database: their status, what they printed.
    int Moderate(std::vector<std::string> args, std::string* out = nullptr) {
        args.insert(args.begin(), "./zorb-server");
        for (const std::string& s : ServerProcess::DatabaseArgs(data))
            args.push_back(s);
        return RunProgram(args, out);
    }

    // The run once it is no longer waiting (bounded: a verification takes well under a second).
    json Verdict(int64_t id) {
        json run;
        for (int k = 0; k < 600; k++) {
            run = Get("/api/v1/runs/" + std::to_string(id)).body;
            if (run.value("status", "") != "waiting") return run;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return run;
    }

    std::string OpenSession() { return Opened().value("token", ""); }
    // The board's database, opened beside a stopped server.
    std::unique_ptr<Db> OpenDb(std::string* why) {
        std::vector<std::string> args = ServerProcess::DatabaseArgs(data);
        return Db_Open(args.size() > 2 ? args[3] : data + "/board.sqlite", why);
    }

    // A session opened with key (none when empty): its token and seed.
    json Opened(const std::string& key = kKey, bool daily = false) {
        httplib::Headers h;
        if (!key.empty()) h.emplace("X-Zorb-Key", key);
        return Read(client->Post("/api/v1/sessions", h, daily ? "{\"daily\": true}" : "{}",
                                 "application/json"))
            .body;
    }
    // A run played live: its session opened with key, the run played on the session's seed, the
    // session closed with it, the run sent with it.
    Answer UploadLive(const std::string& name = "Tester", const std::string& key = kKey) {
        json session = Opened(key);
        std::string run = TinyRun(data, session.value("seed", (int64_t)0));
        EXPECT_EQ(EndSession(session.value("token", ""), run, key), 200);
        return Upload(run, name, key, session.value("token", ""));
    }
    int EndSession(const std::string& token, const std::string& bytes,
                   const std::string& key = kKey) {
        json body = {{"sha256", Crypto_Sha256Hex(bytes)}};
        httplib::Headers h;
        if (!key.empty()) h.emplace("X-Zorb-Key", key);
        return Read(client->Post(("/api/v1/sessions/" + token + "/end").c_str(), h, body.dump(),
                                 "application/json"))
            .status;
    }
};

TEST_F(ServerApi, CommittedRecordingVerifiesWithZorbHeadlessFigures) {
    std::string bytes = Autoplay(), verdict;
    ASSERT_EQ(
        RunProgram({"./zorb-headless", "--verify", ZORB_SOURCE_DIR "/tests/runs/autoplay.zrun"},
                   &verdict),
        0);
    long frames = 0, checks = 0, score = 0, stage = 0;
    ASSERT_EQ(std::sscanf(verdict.c_str(),
                          "verified: %ld frames, %ld checkpoints matched, score %ld, stage %ld",
                          &frames, &checks, &score, &stage),
              4);
    Answer sent = Upload(bytes);
    ASSERT_EQ(sent.status, 202);
    EXPECT_EQ(sent.body["status"], "waiting");
    int64_t id = sent.body["id"];
    json run = Verdict(id);
    EXPECT_EQ(run["status"], "verified");
    EXPECT_EQ(run["score"], score);
    EXPECT_EQ(run["stage"], stage);
    EXPECT_EQ(run["frames"], frames);
    EXPECT_EQ(run["sha256"], Crypto_Sha256Hex(bytes));
    // The same bytes again are the same run.
    Answer again = Upload(bytes);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body["id"], id);
    // Sent without a session: not played live, so on the open board.
    EXPECT_TRUE(Get("/api/v1/leaderboard").body["runs"].empty());
    json board = Get("/api/v1/leaderboard?board=open").body;
    ASSERT_EQ(board["runs"].size(), 1u);
    EXPECT_EQ(board["runs"][0]["id"], id);
    EXPECT_EQ(board["runs"][0]["rank"], 1);
    EXPECT_EQ(run["world_rank"], 1);
    EXPECT_EQ(board["runs"][0]["board"], "open");
    EXPECT_EQ(board["runs"][0]["unranked"].get<std::string>().rfind("no session:", 0), 0u);
    EXPECT_FALSE(board["runs"][0].contains("yours"));
    // The player's own row is marked for them alone.
    for (const char* key : {kKey, "ffffffffffffffffffffffffffffffff"}) {
        json asked =
            Read(client->Get("/api/v1/leaderboard?board=open", {{"X-Zorb-Key", key}})).body;
        EXPECT_EQ(asked["runs"][0].value("yours", false), key == kKey) << key;
    }
    auto file = client->Get(("/api/v1/runs/" + std::to_string(id) + "/file").c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->body, bytes);
    EXPECT_NE(file->get_header_value("Content-Disposition").find(".zrun"), std::string::npos);
    // One range is served; many ranges of the whole (an answer many times the file) get it once.
    std::string path = "/api/v1/runs/" + std::to_string(id) + "/file";
    auto part = client->Get(path.c_str(), {{"Range", "bytes=0-9"}});
    ASSERT_TRUE(part);
    EXPECT_EQ(part->status, 206);
    EXPECT_EQ(part->body, bytes.substr(0, 10));
    std::string many = "bytes=0-";
    for (int k = 0; k < 99; k++)
        many += ",0-";
    auto whole = client->Get(path.c_str(), {{"Range", many}});
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->status, 200);
    EXPECT_EQ(whole->body, bytes);
}

// The story the board keeps for a recording is the one the game told as the run was played.
TEST_F(ServerApi, TheBoardTellsTheStoryTheGameSawLive) {
    std::string file = data + "/live.zrun", report = data + "/live.json";
    ASSERT_EQ(RunProgram({"./zorb-headless", "--autoplay", "--seed", "5", "--frames", "3000",
                          "--count-only", "--record", file, "--scores", data + "/scores.txt",
                          "--report", report},
                         nullptr),
              0);
    json live = json::parse(ReadFile(report), nullptr, false)["story"];
    ASSERT_TRUE(live.is_object());
    ASSERT_GT(live["weapons"][0]["shots"].get<int>(), 0) << "the bot fired";
    Answer sent = Upload(ReadFile(file));
    ASSERT_EQ(sent.status, 202);
    json run = Verdict(sent.body["id"]);
    ASSERT_EQ(run["status"], "verified");
    EXPECT_EQ(run["story"], live);
}

// A verified run without a story says why on its page: its replay told none, or its recording
// went before the board kept stories. One whose story cannot be read is sent with a story of null.
TEST_F(ServerApi, ARunWithoutAStorySaysWhy) {
    Answer a = UploadLive();
    std::string id = a.body["id"].dump();
    ASSERT_EQ(Verdict(a.body["id"])["status"], "verified");
    std::string why;
    std::unique_ptr<Db> db = OpenDb(&why);
    ASSERT_TRUE(db) << why;
    struct Case {
        const char* change;
        const char* says;
        bool sentAsNull;
    } cases[] = {
        {"UPDATE stories SET story = '{\"score\": ' WHERE run_id = ", "", true},
        {"UPDATE stories SET told = 0, story = NULL WHERE run_id = ", "no longer tells its story",
         false},
        {"DELETE FROM stories WHERE run_id = ", "its story cannot be told", false},
    };
    ASSERT_TRUE(db->Exec("UPDATE runs SET dropped = 1 WHERE id = " + id, {}, nullptr, &why)) << why;
    for (const Case& c : cases) {
        ASSERT_TRUE(db->Exec(c.change + id, {}, nullptr, &why)) << why;
        auto page = client->Get(("/runs/" + id).c_str());
        ASSERT_TRUE(page);
        EXPECT_NE(page->body.find(c.says), std::string::npos) << c.change;
        EXPECT_EQ(page->body.find("<svg"), std::string::npos) << c.change;
        json run = Get("/api/v1/runs/" + id).body;
        ASSERT_TRUE(run.is_object()) << c.change;
        EXPECT_EQ(run.contains("story"), c.sentAsNull) << c.change;
        if (c.sentAsNull) {
            EXPECT_TRUE(run["story"].is_null()) << run.dump();
        }
    }
}

TEST_F(ServerApi, FlippedByteIsRejectedAtItsCheckpoint) {
    std::string bytes = Autoplay();
    // The first flip past the header that still reads as a whole recording is taken, then fails
    // its replay at a checkpoint.
    for (size_t at = bytes.size() / 2; at < bytes.size(); at += 7) {
        std::string flipped = bytes;
        flipped[at] = (char)(flipped[at] ^ 0x10);
        Answer sent = Upload(flipped);
        if (sent.status == 429) break;
        if (sent.status != 202) continue;
        json run = Verdict(sent.body["id"]);
        EXPECT_EQ(run["status"], "rejected");
        EXPECT_NE(run.value("reason", "").find("strays"), std::string::npos) << run.dump();
        EXPECT_GT(run.value("frame", 0), 0);
        EXPECT_EQ(run.value("frame", 0) % 60, 0);
        EXPECT_TRUE(Get("/api/v1/leaderboard").body["runs"].empty());
        return;
    }
    FAIL() << "no flipped byte made a recording the server took";
}

TEST_F(ServerApi, RecordingsTheGameCannotMakeAreRefusedAtOnce) {
    std::string good = Autoplay();
    auto edited = [&](size_t at, std::string with) {
        std::string b = good;
        b.replace(at, with.size(), with);
        return b;
    };
    float fast = 9.0f;
    std::string fastBytes((const char*)&fast, 4);
    struct Case {
        std::string bytes, says;
    } cases[] = {
        {good.substr(0, good.size() / 2), "cut short"},
        {"", "not a recorded run"},
        {"hello, this is not a run at all, not at all, not at all, not at all, not at all...",
         "not a recorded run"},
        {edited(8, std::string("\x01\x00", 2)), "earlier version"},
        {edited(10, std::string("\x09\x00", 2)), "simulation 2"},
        {edited(28, fastBytes), "forward speed"},
        {edited(56, std::string("\xff\xff\xff\x7f\x00\x00\x00\x00", 8)), "in the future"},
        {good + "free hosting", "bytes after the end of the recording"},
    };
    for (const Case& c : cases) {
        Answer a = Upload(c.bytes);
        EXPECT_EQ(a.status, 422) << c.says;
        EXPECT_NE(a.body.value("error", "").find(c.says), std::string::npos) << a.body.dump();
    }
    EXPECT_EQ(Get("/api/v1/health").body["waiting"], 0);
}

// A run is its play: sent again by the key that sent it first (in capitals or not, with a new
// tag), it is the run it was; from any other key, as the very bytes or with any field the
// simulation never reads changed, it is a copy, and with one that steers it, a new play.
TEST_F(ServerApi, ARunBelongsToTheKeyThatSentItFirst) {
    std::string bytes = Autoplay(), capitals = kKey, other(32, 'e');
    for (char& ch : capitals)
        ch = (char)std::toupper((unsigned char)ch);
    Answer first = Upload(bytes);
    ASSERT_EQ(first.status, 202);
    int64_t id = first.body["id"];
    auto edited = [&](long at, const std::string& with) {
        std::string b = bytes;
        return b.replace((size_t)at, with.size(), with);
    };
    auto floatBytes = [](float v) { return std::string((const char*)&v, sizeof v); };
    // The header's fields after its 8 bytes of magic. The run is of format 2: format 3 is the
    // same with flags after the tag.
    const long formatAt = 8, sensitivityAt = 16, fieldOfViewAt = 20, bestAt = 52;
    auto format3 = [&](const char* flags) {
        return edited(formatAt, std::string("\x03\x00", 2))
            .insert(kRunFlagsOffset, std::string(flags, 4));
    };
    const struct {
        std::string bytes;
        std::string key;
        int status;
    } cases[] = {
        {bytes, capitals, 200},
        {edited(kRunTagOffset, "ZZZ"), kKey, 200},
        {bytes, other, 409},
        {edited(kRunTagOffset, "THF"), other, 409},
        {edited(kRunDateOffset, std::string("\x01\x02\x03\x04\x00\x00\x00\x00", 8)), other, 409},
        {edited(bestAt, std::string("\x40\x42\x0f\x00", 4)), other, 409},
        {edited(fieldOfViewAt, floatBytes(kFieldOfViewHighest)), other, 409},
        {format3("\x00\x00\x00\x00"), other, 409},
        {format3("\x01\x00\x00\x00"), other, 409}, // marked as a program's
        {edited(sensitivityAt, floatBytes(kSensitivityLowest)), other, 202}, // turns otherwise
    };
    for (const auto& c : cases) {
        Answer a = Upload(c.bytes, c.key == other ? "Thief" : "Tester", c.key);
        EXPECT_EQ(a.status, c.status) << c.key << " " << a.body.dump();
        std::string copied = "this run is already on the board as run " + std::to_string(id);
        if (c.status == 202) {
            EXPECT_NE(a.body["id"], id);
        } else if (c.status == 200) {
            EXPECT_EQ(a.body["id"], id);
        } else {
            EXPECT_EQ(a.body["error"], copied);
        }
    }
    EXPECT_EQ(Get("/api/v1/health").body["waiting"], 2);
    // Played when the board says: sent without a session, when it was sent (the file's date is
    // the sender's word).
    json run = Get("/api/v1/runs/" + std::to_string(id)).body;
    EXPECT_EQ(run["played_at"], run["uploaded_at"]);
}

// A board whose runs were hashed with their best score and field of view hashes them again as it
// opens: a copy stored then, with its best score changed, is hidden as the copy it is, and the
// run it copied is known again by its play.
TEST_F(ServerApi, PlaysHashedTheOlderWayAreHashedAgain) {
    std::string bytes = Autoplay(), copy = bytes;
    copy.replace(52, 4, std::string("\x40\x42\x0f\x00", 4)); // the best score
    Answer first = Upload(bytes);
    ASSERT_EQ(first.status, 202);
    int64_t id = first.body["id"];
    ASSERT_EQ(Verdict(id)["status"], "verified");
    server.reset();
    std::string why;
    std::unique_ptr<Db> db = OpenDb(&why);
    ASSERT_TRUE(db) << why;
    DbRows copied;
    ASSERT_TRUE(db->Exec(
        "INSERT INTO runs (sha256, bytes, player_key, player_name, sim_version, seed, recorded_at,"
        " uploaded_at, game_seconds, lost_seconds, status, score, stage, frames, verified_at,"
        " board, unranked, play_sha256) SELECT 'copied', ?, 'thief', 'Thief', sim_version, seed,"
        " recorded_at, uploaded_at, game_seconds, lost_seconds, status, score, stage, frames,"
        " verified_at, board, unranked, 'hashed with its best' FROM runs WHERE id = ? RETURNING id",
        {DbValue::Bytes(copy), DbValue::Of(id)}, &copied, &why))
        << why;
    ASSERT_TRUE(db->Exec("INSERT INTO best_open (sim_version, player_key, run_id, score,"
                         " verified_at) SELECT sim_version, player_key, id, score, verified_at"
                         " FROM runs WHERE sha256 = 'copied'",
                         {}, nullptr, &why))
        << why;
    ASSERT_TRUE(
        db->Exec("UPDATE runs SET play_old = 1, play_sha256 = 'old ' || id", {}, nullptr, &why))
        << why;
    db.reset();
    Start({"--workers", "1"});
    EXPECT_EQ(Get("/api/v1/runs/" + std::to_string(copied[0][0].AsInt())).status, 410);
    json open = Get("/api/v1/leaderboard?board=open").body;
    ASSERT_EQ(open["runs"].size(), 1u) << open.dump();
    EXPECT_EQ(open["runs"][0]["id"], id);
    Answer again = Upload(copy, "Other", std::string(32, 'e'));
    EXPECT_EQ(again.status, 409) << again.body.dump();
}

// A name is the first key's to use it, told apart without case and with runs of spaces as one;
// a key that takes another name frees its old one, and its runs go by the new.
TEST_F(ServerApi, ANameBelongsToTheKeyThatUsedItFirst) {
    std::string first = Crypto_RandomHex(16), second = Crypto_RandomHex(16);
    Answer big = Upload(TinyRun(data, 21), "Big  Al", first);
    ASSERT_EQ(big.status, 202);
    // Its look-alikes are its owner's too, and a name is taken with its ends trimmed.
    const struct {
        const char *sent, *said;
    } taken[] = {{"big al", "big al"},
                 {"BIG     AL", "BIG     AL"},
                 {" Big  Al ", "Big  Al"},
                 {"B1G AL", "B1G AL"}};
    for (const auto& t : taken) {
        Answer a = Upload(TinyRun(data, 22), t.sent, second);
        EXPECT_EQ(a.status, 409) << t.sent;
        EXPECT_EQ(a.body["error"], std::string("the name ") + t.said + " is taken");
    }
    Answer renamed = Upload(TinyRun(data, 23), "Alfred", first);
    ASSERT_EQ(renamed.status, 202);
    EXPECT_EQ(Upload(TinyRun(data, 22), "big al", second).status, 202);
    EXPECT_EQ(Upload(TinyRun(data, 24), "ALFRED", second).status, 409);
    EXPECT_EQ(Get("/api/v1/runs/" + big.body["id"].dump()).body["player"], "Alfred");
}

// Names claimed before look-alikes were one are folded as the board opens: of two that are now one
// name, one key keeps it.
TEST_F(ServerApi, NamesKeptBeforeAreToldApartAsNamesAreNow) {
    std::string first(32, 'a'), second(32, 'b');
    server.reset();
    std::string why;
    std::unique_ptr<Db> db = OpenDb(&why);
    ASSERT_TRUE(db) << why;
    for (const char* step : {"INSERT INTO names (name_key, player_key) VALUES ('b0b', '1'),"
                             " ('bob ', '2')",
                             "UPDATE schema_version SET version = 11"})
        ASSERT_TRUE(db->Exec(step, {}, nullptr, &why)) << step << ": " << why;
    ASSERT_TRUE(db->Exec("UPDATE names SET player_key = ? WHERE player_key = '1'",
                         {DbValue::Of(Crypto_Sha256Hex(first))}, nullptr, &why));
    ASSERT_TRUE(db->Exec("UPDATE names SET player_key = ? WHERE player_key = '2'",
                         {DbValue::Of(Crypto_Sha256Hex(second))}, nullptr, &why));
    db.reset();
    Start({"--workers", "0"});
    auto claim = [&](const char* name, const std::string& key) {
        auto r = client->Post("/api/v1/names", {{"X-Zorb-Key", key}},
                              std::string("{\"name\": \"") + name + "\"}", "application/json");
        return r ? r->status : 0;
    };
    EXPECT_EQ(claim("BOB", second), 409);
    EXPECT_EQ(claim(" bob", first), 200);
}

TEST_F(ServerApi, PlayersHeadersAreCheckedAndHostileNamesKeptAsText) {
    std::string run = TinyRun(data, 3);
    struct Case {
        std::string name, key, says;
    } refused[] = {
        {"", kKey, "X-Zorb-Player"},
        {"seventeen chars!!", kKey, "X-Zorb-Player"},
        {"tab\there", kKey, "X-Zorb-Player"},
        {"..", kKey, "X-Zorb-Player"},
        {" . . ", kKey, "X-Zorb-Player"},
        {"Tester", "0123456789abcdef0123456789abcde", "X-Zorb-Key"},
        {"Tester", "0123456789abcdef0123456789abcdeg", "X-Zorb-Key"},
    };
    for (const Case& c : refused) {
        Answer a = Upload(run, c.name, c.key);
        EXPECT_EQ(a.status, 422) << c.name;
        EXPECT_NE(a.body.value("error", "").find(c.says), std::string::npos) << a.body.dump();
    }
    const char* hostile[] = {"'; DROP TABLE ru", "Robert'); --", "\"quoted\" name"};
    int seed = 11;
    for (const char* name : hostile) {
        Answer a = Upload(TinyRun(data, seed++), name, Crypto_RandomHex(16));
        ASSERT_EQ(a.status, 202) << name;
        EXPECT_EQ(Verdict(a.body["id"])["player"], name);
    }
    EXPECT_EQ(Get("/api/v1/leaderboard?board=open").body["runs"].size(), 3u);
    EXPECT_EQ(Get("/api/v1/nothing").body.value("error", ""), "no such path");
}

// A method the board does not have is 501; a path it has, asked with another method, is 405 and
// names the methods it takes; only a path it does not have is 404.
TEST_F(ServerApi, MethodsAreAnsweredAsHttpSays) {
    struct Case {
        httplib::Result result;
        int status;
        const char* allow;
    } cases[] = {
        {client->Delete("/api/v1/leaderboard"), 501, ""},
        {client->Put("/api/v1/runs", "", "text/plain"), 501, ""},
        {client->Options("/"), 501, ""},
        {client->Post("/api/v1/leaderboard", "", "text/plain"), 405, "GET, HEAD"},
        {client->Get("/api/v1/runs"), 405, "POST"},
        {client->Post("/runs/1", "", "text/plain"), 405, "GET, HEAD"},
        {client->Post("/api/v1/nothing", "", "text/plain"), 404, ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.result) << c.status;
        EXPECT_EQ(c.result->status, c.status) << c.result->body;
        EXPECT_EQ(c.result->get_header_value("Allow"), c.allow) << c.status;
    }
}

TEST_F(ServerApi, UploadsAreLimitedPerAddress) {
    std::string cut = Autoplay().substr(0, 500);
    // Without a trusted proxy, X-Forwarded-For names no one.
    for (int k = 0; k < 20; k++) {
        httplib::Headers h = {{"X-Zorb-Player", "Tester"},
                              {"X-Zorb-Key", kKey},
                              {"X-Forwarded-For", "10.9.0." + std::to_string(k)}};
        ASSERT_EQ(Read(client->Post("/api/v1/runs", h, cut, "application/octet-stream")).status,
                  422);
    }
    Answer limited = Upload(cut);
    EXPECT_EQ(limited.status, 429);
    auto retry = limited.headers.find("Retry-After");
    ASSERT_NE(retry, limited.headers.end());
    EXPECT_GE(std::atoi(retry->second.c_str()), 1);
    EXPECT_EQ(Get("/api/v1/health").status, 200); // reads go on
}

// No one sender fills the queue: a key has at most 3 runs waiting for their verdict, an address
// at most 10, however many keys it sends under; past either, 429 and when to come back.
TEST_F(ServerApi, TheQueueHoldsAFewRunsOfEachSender) {
    server.reset();
    Start({"--workers", "0"});
    std::vector<std::string> keys = {kKey, Crypto_RandomHex(16), Crypto_RandomHex(16),
                                     Crypto_RandomHex(16)};
    for (int k = 0; k < 12; k++) {
        const std::string& key = keys[(size_t)(k < 4 ? 0 : 1 + (k - 4) / 3)];
        Answer a = Upload(TinyRun(data, 40 + k), "Sender" + key.substr(0, 4), key);
        bool refused = k == 3 || k == 11;
        EXPECT_EQ(a.status, refused ? 429 : 202) << k << " " << a.body.dump();
        std::string why = refused ? (k == 3 ? "of this key" : "from this address") : "";
        EXPECT_NE(a.body.value("error", "").find(why), std::string::npos) << a.body.dump();
    }
    EXPECT_EQ(Get("/api/v1/health").body["waiting"], 10);
}

// Behind a trusted proxy each player is limited on their own, a key is limited wherever it comes
// from, and reads and session opens have limits of their own.
TEST_F(ServerApi, LimitsFollowThePlayerBehindATrustedProxy) {
    server.reset();
    Start({"--workers", "0", "--trust-proxy", "127.0.0.0/8", "--uploads-a-minute", "3",
           "--reads-a-minute", "5"});
    std::string cut = Autoplay().substr(0, 500);
    auto upload = [&](const std::string& from, const std::string& key) {
        httplib::Headers h = {
            {"X-Zorb-Player", "Tester"}, {"X-Zorb-Key", key}, {"X-Forwarded-For", from}};
        return Read(client->Post("/api/v1/runs", h, cut, "application/octet-stream"));
    };
    std::string other(32, 'b'), third(32, 'c');
    for (int k = 0; k < 3; k++)
        EXPECT_EQ(upload("198.51.100.1", kKey).status, 422);
    EXPECT_EQ(upload("198.51.100.1", other).status, 429); // the address's limit
    EXPECT_EQ(upload("198.51.100.2", other).status, 422); // another player's own
    Answer byKey = upload("198.51.100.3", kKey);          // the key's limit, from a new address
    EXPECT_EQ(byKey.status, 429);
    EXPECT_NE(byKey.body.value("error", "").find("with this key"), std::string::npos);
    EXPECT_EQ(upload("198.51.100.4", third).status, 422);

    auto get = [&](const std::string& path, const std::string& from) {
        return client->Get(path.c_str(), {{"X-Forwarded-For", from}});
    };
    for (int k = 0; k < 5; k++)
        EXPECT_EQ(get("/api/v1/leaderboard", "203.0.113.1")->status, 200);
    auto page = get("/", "203.0.113.1");
    EXPECT_EQ(page->status, 429);
    EXPECT_EQ(page->get_header_value("Content-Type").rfind("text/html", 0), 0u);
    EXPECT_GE(std::atoi(page->get_header_value("Retry-After").c_str()), 1);
    EXPECT_EQ(get("/", "203.0.113.2")->status, 200);

    for (int k = 0; k < 9; k++)
        EXPECT_EQ(client
                      ->Post("/api/v1/sessions", {{"X-Forwarded-For", "192.0.2.9"}}, "{}",
                             "application/json")
                      ->status,
                  201);
    EXPECT_EQ(
        client
            ->Post("/api/v1/sessions", {{"X-Forwarded-For", "192.0.2.9"}}, "{}", "application/json")
            ->status,
        429);
}

// Every route's body is judged on its headers before a byte of it is read: chunked, encoded or
// longer than the route takes (a recording, a little JSON, or nothing), it is refused at once.
TEST_F(ServerApi, BodiesOutsideTheRulesAreRefusedUnread) {
    const long hundredMb = 100L << 20;
    const std::string none = "\r\n", chunked = "Transfer-Encoding: chunked\r\n\r\n4000000\r\n",
                      huge = "Content-Length: 104857600\r\n\r\n",
                      gzip = "Content-Length: 10\r\nContent-Encoding: gzip\r\n\r\n";
    const struct {
        const char* request;
        const std::string& tail;
        const char* answer;
    } cases[] = {
        {"POST /api/v1/runs", none, "HTTP/1.1 411"},
        {"POST /api/v1/runs", chunked, "HTTP/1.1 411"},
        {"POST /api/v1/runs", huge, "HTTP/1.1 413"},
        {"POST /api/v1/runs", gzip, "HTTP/1.1 415"},
        {"POST /api/v1/sessions", chunked, "HTTP/1.1 411"},
        {"POST /api/v1/sessions", huge, "HTTP/1.1 413"},
        {"POST /api/v1/sessions", gzip, "HTTP/1.1 415"},
        {"POST /nowhere", chunked, "HTTP/1.1 411"},
        {"POST /nowhere", huge, "HTTP/1.1 413"},
        {"GET /", huge, "HTTP/1.1 413"},
    };
    for (const auto& c : cases) {
        std::string head = std::string(c.request) + " HTTP/1.1\r\nHost: x\r\n" + c.tail;
        long sent = 0;
        long filler = &c.tail == &chunked || &c.tail == &huge ? hundredMb : 0;
        EXPECT_EQ(RawExchange(server->port(), head, filler, &sent).substr(0, 12), c.answer) << head;
        EXPECT_LT(sent, std::max(filler, 1L)) << head << ": the body was read to its end";
    }
}

// A body that trickles in, a byte at a time, is cut off at its deadline on every route that takes
// one: it cannot hold a connection and its thread for as long as it likes.
TEST_F(ServerApi, BodiesThatTrickleAreCutOffAtTheirDeadline) {
    server.reset();
    Start({"--workers", "0", "--body-seconds", "1"});
    for (const char* path : {"/api/v1/runs", "/api/v1/sessions"}) {
        int fd = Connect(server->port());
        ASSERT_GE(fd, 0);
        std::string head = std::string("POST ") + path +
                           " HTTP/1.1\r\nHost: x\r\nX-Zorb-Player: T\r\nX-Zorb-Key: " + kKey +
                           "\r\nContent-Length: 1000\r\n\r\n";
        send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        int sent = 0; // by the 50th byte at the latest, long past the deadline
        bool ended = false;
        for (; sent < 50 && !ended; sent++) { // a byte each 100 ms
            ended = send(fd, "x", 1, MSG_NOSIGNAL) < 0;
            pollfd p{fd, POLLIN, 0};
            char byte;
            if (!ended && poll(&p, 1, 100) > 0) ended = recv(fd, &byte, 1, 0) <= 0;
        }
        close(fd);
        EXPECT_TRUE(ended) << path << ": still open after 5 s";
        EXPECT_GE(sent, 8) << path << ": ended before its deadline";
    }
}

// Connections held open by others do not keep the board from a player; one address cannot hold
// more than its share, and what it is refused is refused at once.
TEST_F(ServerApi, IdleConnectionsDoNotStarveTheBoard) {
    std::vector<int> idle;
    for (int k = 0; k < 100; k++) {
        int fd = Connect(server->port(), 0x7f000002 + k % 10);
        ASSERT_GE(fd, 0);
        idle.push_back(fd);
    }
    httplib::Client quick("127.0.0.1", server->port());
    quick.set_connection_timeout(1, 0);
    quick.set_read_timeout(1, 0);
    auto page = quick.Get("/");
    ASSERT_TRUE(page) << "the board did not answer within a second beside 100 idle connections";
    EXPECT_EQ(page->status, 200);
    for (int k = 0; k < 6; k++) // 10 of 16 held already
        idle.push_back(Connect(server->port(), 0x7f000002));
    int over = Connect(server->port(), 0x7f000002);
    pollfd p{over, POLLIN, 0};
    char byte;
    ASSERT_EQ(poll(&p, 1, 1000), 1) << "the 17th connection from one address was left waiting";
    EXPECT_LE(recv(over, &byte, 1, 0), 0) << "the 17th connection from one address was let in";
    close(over);
    for (int fd : idle)
        close(fd);
}

// Only a run played live, in a session of its sender's key, on the session's seed and within its
// clock, is ranked; every other run that verifies goes to the open board with the reason, and a
// program's run to the bots' board.
TEST_F(ServerApi, OnlyRunsPlayedLiveAreRanked) {
    Answer live = UploadLive();
    ASSERT_EQ(live.status, 202) << live.body.dump();
    json ranked = Verdict(live.body["id"]);
    EXPECT_EQ(ranked["board"], "ranked") << ranked.dump();
    EXPECT_EQ(ranked["session"], true);
    std::string other = Crypto_RandomHex(16);
    auto inSession = [&](const std::string& opener, const std::string& bytes) {
        json s = Opened(opener);
        EXPECT_EQ(EndSession(s["token"], bytes, opener), 200);
        return s["token"].get<std::string>();
    };
    json own = Opened();
    std::string ownSeed = TinyRun(data, own["seed"].get<int64_t>() ^ 1);
    EXPECT_EQ(EndSession(own["token"], ownSeed), 200);
    const struct {
        std::string what, bytes, token, unranked, board;
    } cases[] = {
        {"its own seed", ownSeed, own["token"], "its own seed:", "open"},
        {"another key's session", TinyRun(data, 31), inSession(other, TinyRun(data, 31)),
         "another key's session:", "open"},
        {"a session without a key", TinyRun(data, 32), inSession("", TinyRun(data, 32)),
         "another key's session:", "open"},
        // Two minutes of game time in a session that lasted a moment: not played in it.
        {"sped-up play", Autoplay(), inSession(kKey, Autoplay()), "sped-up play:", "open"},
        {"no session", TinyRun(data, 33), "", "no session:", "open"},
        {"a program's run", TinyRun(data, 34, true), inSession(kKey, TinyRun(data, 34, true)), "",
         "bots"},
    };
    for (const auto& c : cases) {
        Answer a = Upload(c.bytes, "Tester", kKey, c.token);
        ASSERT_EQ(a.status, 202) << c.what << ": " << a.body.dump();
        json run = Verdict(a.body["id"]);
        EXPECT_EQ(run["board"], c.board) << c.what;
        EXPECT_EQ(run.value("unranked", "").rfind(c.unranked, 0), 0u) << c.what << ": " << run;
        EXPECT_EQ(run["session"], false) << c.what;
        json board = Get("/api/v1/leaderboard?board=" + c.board).body;
        EXPECT_EQ(board["runs"].size(), 1u) << c.what << ": the key's best only";
    }
    json all = Get("/api/v1/leaderboard").body;
    ASSERT_EQ(all["runs"].size(), 1u);
    EXPECT_EQ(all["runs"][0]["id"], live.body["id"]);
    // A forged token, or a session that already holds a run, is refused outright.
    std::string token = OpenSession(), forged = token;
    forged.back() = forged.back() == '0' ? '1' : '0';
    EXPECT_EQ(Upload(TinyRun(data, 6), "Tester", kKey, forged).status, 422);
    // Only the key that opened a session closes it.
    EXPECT_EQ(EndSession(token, TinyRun(data, 7), other), 409);
    EXPECT_EQ(EndSession(token, TinyRun(data, 7), ""), 409);
    ASSERT_EQ(EndSession(token, TinyRun(data, 7)), 200);
    EXPECT_EQ(EndSession(token, TinyRun(data, 7)), 409); // closed once
}

// The game closes a session as its run ends, before the player enters the tag: the recording with
// the tag written still belongs to it; a recording it was not closed with does not, and a second
// run cannot take a session that holds one.
TEST_F(ServerApi, ASessionBelongsToTheRecordingItWasClosedWith) {
    json session = Opened();
    std::string untagged = TinyRun(data, session["seed"].get<int64_t>()), tagged = untagged;
    tagged.replace(kRunTagOffset, 3, "ZED");
    ASSERT_EQ(EndSession(session["token"], untagged), 200);
    Answer late = Upload(tagged, "Tester", kKey, session["token"]);
    ASSERT_EQ(late.status, 202) << late.body.dump();
    EXPECT_EQ(Verdict(late.body["id"])["board"], "ranked");
    Answer reused = Upload(TinyRun(data, 8), "Tester", kKey, session["token"]);
    EXPECT_EQ(reused.status, 422);
    EXPECT_EQ(reused.body.value("error", ""), "its session was used by another run");
    json another = Opened();
    ASSERT_EQ(EndSession(another["token"], untagged), 200);
    std::string changed = TinyRun(data, another["seed"].get<int64_t>());
    Answer stranger = Upload(changed, "Tester", kKey, another["token"]);
    ASSERT_EQ(stranger.status, 202) << stranger.body.dump();
    EXPECT_EQ(Verdict(stranger.body["id"]).value("unranked", "").rfind("another run's session:", 0),
              0u);
}

// Fields of the wrong kind are refused in the board's own words: no exception's text in the answer
// or its headers.
TEST_F(ServerApi, FieldsOfTheWrongKindAreRefusedInOurWords) {
    std::string token = OpenSession();
    ASSERT_FALSE(token.empty());
    std::string end = "/api/v1/sessions/" + token + "/end";
    const std::pair<std::string, std::string> asked[] = {
        {"/api/v1/sessions", "{\"daily\": \"yes\"}"},
        {"/api/v1/sessions", "{\"daily\": 1}"},
        {"/api/v1/sessions", "[true]"},
        {"/api/v1/sessions", "not json"},
        {end, "{\"sha256\": 5}"},
        {end, "{\"sha256\": [\"a\"]}"},
    };
    for (const auto& [path, body] : asked) {
        Answer a = Read(client->Post(path.c_str(), body, "application/json"));
        EXPECT_EQ(a.status, 422) << path << " " << body;
        EXPECT_EQ(a.headers.count("EXCEPTION_WHAT"), 0u) << path << " " << body;
        EXPECT_EQ(a.body.dump().find("json.exception"), std::string::npos) << a.body.dump();
    }
}

// A board's query is taken only as it is meant: any other value gets 400 naming its bounds, never a
// quiet guess.
TEST_F(ServerApi, BoardQueriesOutsideTheirBoundsAreRefused) {
    const std::pair<std::string, int> asked[] = {
        {"/api/v1/leaderboard?limit=1e12", 400},
        {"/api/v1/leaderboard?limit=-1", 400},
        {"/api/v1/leaderboard?limit=0", 400},
        {"/api/v1/leaderboard?limit=101", 400},
        {"/api/v1/leaderboard?limit=", 400},
        {"/api/v1/leaderboard?offset=99999999999999999999", 400},
        {"/api/v1/leaderboard?offset=1000000001", 400},
        {"/api/v1/leaderboard?offset=%2B5", 400},
        {"/api/v1/leaderboard?board=../x", 400},
        {"/?board=../x", 400},
        {"/?offset=-50", 400},
        {"/api/v1/leaderboard?limit=100&offset=1000000000&board=today", 200},
        {"/api/v1/leaderboard?board=all&limit=1", 200},
        {"/?board=today&offset=50", 200},
        {"/api/v1/leaderboard?around=you", 400},
        {"/api/v1/leaderboard?around=me", 400}, // whose place, without a key?
    };
    for (const auto& [path, status] : asked) {
        auto answer = client->Get(path.c_str());
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->status, status) << path;
        bool api = path.rfind("/api/", 0) == 0;
        if (status == 400 && api) {
            EXPECT_NE(answer->body.find(" must be "), std::string::npos) << answer->body;
        }
        if (status == 400 && !api) { // a page that says it refused, not that nothing was there
            EXPECT_NE(answer->body.find("<title>ZORB - refused</title>"), std::string::npos)
                << answer->body;
        }
    }
    // A player without a place on the board is told so, with the board's first rows.
    json nowhere = Read(client->Get("/api/v1/leaderboard?around=me", {{"X-Zorb-Key", kKey}})).body;
    EXPECT_EQ(nowhere["placed"], false);
    EXPECT_EQ(nowhere["offset"], 0);
}

// Every answer says its type is not to be guessed and how long it may be kept; pages allow only the
// board's own stylesheet and pictures and never stand in a frame.
TEST_F(ServerApi, AnswersCarryTheirSafetyAndCachingHeaders) {
    Answer sent = Upload(TinyRun(data, 9));
    ASSERT_EQ(sent.status, 202) << sent.body.dump();
    std::string id = std::to_string(sent.body["id"].get<int64_t>());
    const std::pair<std::string, std::string> asked[] = {
        {"/", "max-age=10"},
        {"/runs/" + id, "no-cache"},
        {"/api/v1/leaderboard", "max-age=10"},
        {"/api/v1/runs/" + id + "/file", "public, max-age=31536000, immutable"},
        {"/api/v1/health", "no-store"},
        {"/api/v1/runs/999999", "no-store"},
        {"/style.css", "max-age=3600"},
    };
    for (const auto& [path, caching] : asked) {
        auto answer = client->Get(path.c_str());
        ASSERT_TRUE(answer) << path;
        EXPECT_EQ(answer->get_header_value("X-Content-Type-Options"), "nosniff") << path;
        EXPECT_EQ(answer->get_header_value("Cache-Control"), caching) << path;
        bool page = answer->get_header_value("Content-Type").rfind("text/html", 0) == 0;
        std::string policy = answer->get_header_value("Content-Security-Policy");
        EXPECT_EQ(page, policy.find("default-src 'none'") != std::string::npos) << path;
        EXPECT_EQ(page, policy.find("frame-ancestors 'none'") != std::string::npos) << path;
    }
    auto session = client->Post("/api/v1/sessions", "{}", "application/json");
    ASSERT_TRUE(session);
    EXPECT_EQ(session->get_header_value("Cache-Control"), "no-store");
}

// A board that cannot read its session secret never signs or deals with an empty one: it refuses
// sessions and the day's seed with 503 until the secret can be read again.
TEST_F(ServerApi, WithoutItsSecretTheBoardDealsNoSession) {
    server.reset();
    std::string why;
    std::unique_ptr<Db> db = OpenDb(&why);
    ASSERT_TRUE(db) << why;
    ASSERT_TRUE(
        db->Exec("UPDATE secrets SET value = '' WHERE name = 'session'", {}, nullptr, &why));
    Start({"--workers", "0"});
    EXPECT_EQ(Get("/api/v1/daily").status, 503);
    auto opened = client->Post("/api/v1/sessions", "{}", "application/json");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->status, 503);
    EXPECT_EQ(opened->get_header_value("Retry-After"), "30");
    EXPECT_EQ(EndSession(std::string(32, 'a') + "." + std::string(64, 'b'), "run"), 503);
    ASSERT_TRUE(db->Exec("UPDATE secrets SET value = ? WHERE name = 'session'",
                         {DbValue::Of(Crypto_RandomHex(32))}, nullptr, &why));
    EXPECT_TRUE(Opened().contains("token"));
    EXPECT_EQ(Get("/api/v1/daily").status, 200);
}

// Servers on one PostgreSQL time sessions by its clock: a session opened on a server whose clock
// is ten minutes ahead and closed on another is as long as it was played.
TEST_F(ServerApi, SessionsAreTimedByTheSharedDatabasesClock) {
    const char* pg = std::getenv("ZORB_TEST_DATABASE");
    if (!pg || !*pg) GTEST_SKIP() << "beside SQLite, one machine's clock times every session";
    if (access("/usr/bin/faketime", X_OK) != 0) GTEST_SKIP() << "faketime is not installed";
    const char* sanitized = std::getenv("ZORB_SANITIZED");
    if (sanitized && std::string(sanitized) == "1")
        GTEST_SKIP() << "AddressSanitizer will not start behind faketime's preloaded library";
    ServerProcess ahead({"--workers", "0"}, data, {"/usr/bin/faketime", "-f", "+10m"});
    ASSERT_GT(ahead.port(), 0);
    httplib::Client there("127.0.0.1", ahead.port());
    json session =
        Read(there.Post("/api/v1/sessions", {{"X-Zorb-Key", kKey}}, "{}", "application/json")).body;
    ASSERT_TRUE(session.contains("seed")) << session.dump();
    std::string run = TinyRun(data, session["seed"].get<int64_t>());
    ASSERT_EQ(EndSession(session["token"], run), 200);
    Answer sent = Upload(run, "Tester", kKey, session["token"]);
    ASSERT_EQ(sent.status, 202) << sent.body.dump();
    json verdict = Verdict(sent.body["id"]);
    EXPECT_EQ(verdict["board"], "ranked") << verdict.dump();
}

TEST_F(ServerApi, TheDailyRunLandsOnTodaysBoardWithItsSeedOnly) {
    auto daily = [&] { return Opened(kKey, true); };
    json session = daily();
    ASSERT_TRUE(session.contains("seed")) << session.dump();
    EXPECT_EQ(Get("/api/v1/daily").body["seed"], session["seed"]);
    std::string run = TinyRun(data, session["seed"].get<int64_t>());
    ASSERT_EQ(EndSession(session["token"], run), 200);
    Answer sent = Upload(run, "Daily", kKey, session["token"]);
    ASSERT_EQ(sent.status, 202) << sent.body.dump();
    ASSERT_EQ(Verdict(sent.body["id"])["status"], "verified");
    json today = Get("/api/v1/leaderboard?board=today").body;
    ASSERT_EQ(today["runs"].size(), 1u) << today.dump();
    EXPECT_EQ(today["runs"][0]["id"], sent.body["id"]);
    EXPECT_EQ(today["runs"][0]["day"], today["day"]);
    // A run of another seed in a daily session is not the day's run; a live run of another
    // session is ranked of all time only.
    json other = daily();
    std::string wrong = TinyRun(data, other["seed"].get<int64_t>() ^ 1);
    ASSERT_EQ(EndSession(other["token"], wrong), 200);
    Answer open = Upload(wrong, "Daily", kKey, other["token"]);
    ASSERT_EQ(open.status, 202);
    EXPECT_EQ(Verdict(open.body["id"]).value("unranked", "").rfind("its own seed:", 0), 0u);
    Answer plain = UploadLive("Plain", Crypto_RandomHex(16));
    ASSERT_EQ(Verdict(plain.body["id"])["status"], "verified");
    EXPECT_EQ(Get("/api/v1/leaderboard?board=today").body["runs"].size(), 1u);
    // The day's seed is public, so the day's run is not ranked of all time: only the other is.
    auto allTimeIds = [&] {
        std::vector<int64_t> ids;
        json board = Get("/api/v1/leaderboard").body;
        for (const json& r : board["runs"])
            ids.push_back(r["id"]);
        return ids;
    };
    std::vector<int64_t> onlyPlain = {plain.body["id"].get<int64_t>()};
    EXPECT_EQ(allTimeIds(), onlyPlain);
    // A board whose older version ranked the day's run of all time too is mended as it opens.
    server.reset();
    std::string why;
    std::unique_ptr<Db> db = OpenDb(&why);
    ASSERT_TRUE(db) << why;
    for (const char* step :
         {"INSERT INTO best (sim_version, player_key, run_id, score, verified_at)"
          " SELECT sim_version, player_key, id, score, verified_at FROM runs"
          " WHERE day IS NOT NULL AND board = 'ranked'",
          "DROP TABLE board_settings", "ALTER TABLE runs DROP COLUMN play_old",
          "UPDATE schema_version SET version = 9"})
        ASSERT_TRUE(db->Exec(step, {}, nullptr, &why)) << step << ": " << why;
    db.reset();
    Start({"--workers", "1"});
    EXPECT_EQ(allTimeIds(), onlyPlain);
}

// A player's page and its API: their best on each board, their runs, their days, the totals of
// their runs' stories and their places on the days' boards; reached from the board's rows by a
// name that is markup, in any case.
TEST_F(ServerApi, EveryPlayerHasAPage) {
    const std::string name = "Ace <&> \"Q\"", path = "Ace%20%3C%26%3E%20%22Q%22";
    std::vector<int64_t> ids = {UploadLive(name).body["id"], UploadLive(name).body["id"]};
    json daily = Opened(kKey, true);
    std::string run = TinyRun(data, daily["seed"].get<int64_t>());
    ASSERT_EQ(EndSession(daily["token"], run), 200);
    ids.push_back(Upload(run, name, kKey, daily["token"]).body["id"]);
    UploadLive("Other", Crypto_RandomHex(16));
    int64_t kills = 0, shots = 0;
    for (int64_t id : ids) {
        json told = Verdict(id);
        ASSERT_EQ(told["status"], "verified") << told.dump();
        for (const json& k : told["story"]["kills"])
            kills += k.get<int64_t>();
        shots += told["story"]["weapons"][0]["shots"].get<int64_t>();
    }
    json p = Get("/api/v1/players/" + path).body;
    EXPECT_EQ(Get("/api/v1/players/ace%20%3c%26%3e%20%22q%22").body, p) << "names without case";
    EXPECT_EQ(p["name"], name);
    EXPECT_EQ(p["run_count"], 3);
    ASSERT_EQ(p["runs"].size(), 3u);
    EXPECT_EQ(p["runs"][0]["id"], ids[2]) << "the latest first";
    std::set<std::string> boards;
    for (const json& b : p["best"])
        boards.insert(b["board"].get<std::string>());
    EXPECT_EQ(boards, (std::set<std::string>{"all", "today"}));
    ASSERT_EQ(p["days"].size(), 1u);
    EXPECT_EQ(p["days"][0]["runs"], 3);
    EXPECT_EQ(p["totals"]["runs_told"], 3);
    int64_t totalKills = 0;
    for (const json& k : p["totals"]["kills"])
        totalKills += k.get<int64_t>();
    EXPECT_EQ(totalKills, kills);
    EXPECT_EQ(p["totals"]["weapons"][0]["shots"], shots);
    ASSERT_EQ(p["daily_places"].size(), 1u);
    EXPECT_EQ(p["daily_places"][0]["place"], 1);
    EXPECT_EQ(p["daily_places"][0]["run"], ids[2]);
    // The board's rows and the run's page link to the page; the page shows the name as text.
    auto board = client->Get("/");
    ASSERT_TRUE(board);
    EXPECT_NE(board->body.find("href=\"/players/" + path + "\""), std::string::npos);
    auto runPage = client->Get(("/runs/" + std::to_string(ids[0])).c_str());
    ASSERT_TRUE(runPage);
    EXPECT_NE(runPage->body.find("href=\"/players/" + path + "\""), std::string::npos);
    EXPECT_NE(runPage->body.find("<svg"), std::string::npos) << "the run's chart";
    auto page = client->Get(("/players/" + path).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("Ace &lt;&amp;&gt; &quot;Q&quot;"), std::string::npos);
    EXPECT_EQ(page->body.find(name), std::string::npos) << "the name unescaped";
    EXPECT_EQ(Get("/api/v1/players/Nobody").status, 404);
    EXPECT_EQ(Get("/api/v1/players/" + std::string(20, 'A')).status, 404);
    EXPECT_EQ(Get("/api/v1/players/" + path + "?offset=-1").status, 400);
    EXPECT_EQ(client->Get("/players/Nobody")->status, 404);
}

TEST_F(ServerApi, ABoardOfTheFirstSchemaIsBroughtUpWithItsRuns) {
    Answer a = UploadLive();
    ASSERT_EQ(Verdict(a.body["id"])["status"], "verified");
    server.reset();
    // Back to the first schema, as a server of that version left it.
    std::string why;
    std::unique_ptr<Db> db = OpenDb(&why);
    ASSERT_TRUE(db) << why;
    for (const char* step : {"DROP TABLE board_settings",
                             "ALTER TABLE runs DROP COLUMN play_old",
                             "DROP TABLE stories",
                             "DROP INDEX runs_verified",
                             "DROP INDEX runs_review",
                             "ALTER TABLE runs DROP COLUMN review",
                             "ALTER TABLE runs DROP COLUMN hidden_reason",
                             "ALTER TABLE runs DROP COLUMN turn_spread",
                             "ALTER TABLE runs DROP COLUMN fire_presses",
                             "ALTER TABLE runs DROP COLUMN reaction_seconds",
                             "ALTER TABLE runs DROP COLUMN reaction_count",
                             "DROP TABLE best_open",
                             "DROP TABLE best_bots",
                             "ALTER TABLE runs DROP COLUMN unranked",
                             "ALTER TABLE runs DROP COLUMN board",
                             "ALTER TABLE sessions DROP COLUMN player_key",
                             "ALTER TABLE runs DROP COLUMN dropped",
                             "ALTER TABLE runs DROP COLUMN client",
                             "DROP TABLE names",
                             "DROP INDEX runs_play",
                             "ALTER TABLE runs DROP COLUMN play_sha256",
                             "DROP TABLE best_daily",
                             "ALTER TABLE runs DROP COLUMN day",
                             "UPDATE schema_version SET version = 1"})
        ASSERT_TRUE(db->Exec(step, {}, nullptr, &why)) << step << ": " << why;
    db.reset();
    Start({"--workers", "1"});
    // Its session gave no seed in the first schema (only the daily run's did): open, said why.
    json board = Get("/api/v1/leaderboard?board=open").body;
    ASSERT_EQ(board["runs"].size(), 1u) << board.dump();
    EXPECT_EQ(board["runs"][0]["id"], a.body["id"]);
    EXPECT_EQ(board["runs"][0]["unranked"].get<std::string>().rfind("its own seed:", 0), 0u);
    EXPECT_TRUE(Get("/api/v1/leaderboard").body["runs"].empty());
    EXPECT_TRUE(Get("/api/v1/leaderboard?board=today").body["runs"].empty());
    // Verified before the board kept stories: a worker with nothing waiting tells its story.
    json run;
    for (int k = 0; k < 600 && !run.contains("story"); k++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        run = Get("/api/v1/runs/" + a.body["id"].dump()).body;
    }
    EXPECT_TRUE(run["story"].is_object()) << run.dump();
    EXPECT_EQ(run["story"]["score"], run["score"]);
}

TEST_F(ServerApi, HiddenRunsLeaveTheBoardAndComeBack) {
    Answer a = UploadLive();
    ASSERT_EQ(a.status, 202);
    int64_t id = a.body["id"];
    std::string run = std::to_string(id);
    ASSERT_EQ(Verdict(id)["status"], "verified");
    ASSERT_EQ(Moderate({"hide", run, "--reason", "<b>aimed by a program</b>"}), 0);
    EXPECT_TRUE(Get("/api/v1/leaderboard").body["runs"].empty());
    EXPECT_EQ(Get("/api/v1/runs/" + run).status, 410);
    // The page says why, as text.
    auto page = client->Get(("/runs/" + run).c_str());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 410);
    EXPECT_NE(page->body.find("moderators: &lt;b&gt;aimed by a program"), std::string::npos)
        << page->body;
    ASSERT_EQ(Moderate({"unhide", run}), 0);
    EXPECT_EQ(Get("/api/v1/leaderboard").body["runs"].size(), 1u);
    EXPECT_EQ(Moderate({"hide", "999999"}), 1);
}

// With review of the top place, a ranked run that would take it waits off the boards until a
// moderator approves it, and the review lists it with its figures; a run that takes no top place
// is not held. The board keeps its review: a server and workers started without the option later
// still hold the top place.
TEST_F(ServerApi, APendingRunStaysOffTheTopUntilApproved) {
    server.reset();
    Start({"--workers", "0", "--review-top", "1"});
    server.reset();
    Start({"--workers", "1"});
    Answer first = UploadLive("First", Crypto_RandomHex(16));
    int64_t id = first.body["id"];
    json run = Verdict(id);
    EXPECT_EQ(run["review"], "pending") << run.dump();
    EXPECT_TRUE(Get("/api/v1/leaderboard").body["runs"].empty());
    auto page = client->Get(("/runs/" + std::to_string(id)).c_str());
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("PENDING REVIEW"), std::string::npos);
    std::string listed;
    ASSERT_EQ(Moderate({"review"}, &listed), 0);
    EXPECT_NE(listed.find("run " + std::to_string(id) + "  First"), std::string::npos) << listed;
    EXPECT_NE(listed.find("fire presses a second"), std::string::npos) << listed;
    EXPECT_NE(listed.find("first hit on it (the median of"), std::string::npos) << listed;
    EXPECT_NE(listed.find("s on the clock"), std::string::npos) << listed;
    ASSERT_EQ(Moderate({"approve", std::to_string(id)}), 0);
    EXPECT_EQ(Moderate({"approve", std::to_string(id)}), 1) << "approved twice";
    EXPECT_EQ(Verdict(id)["review"], "approved");
    // The same score again does not take the top place: it is shown at once, below.
    Answer second = UploadLive("Second", Crypto_RandomHex(16));
    EXPECT_FALSE(Verdict(second.body["id"]).contains("review"));
    json board = Get("/api/v1/leaderboard").body;
    ASSERT_EQ(board["runs"].size(), 2u);
    EXPECT_EQ(board["runs"][0]["player"], "First");
    EXPECT_EQ(board["runs"][1]["player"], "Second");
    std::string none;
    ASSERT_EQ(Moderate({"review"}, &none), 0);
    EXPECT_EQ(none, "no run waits for review\n");
}

TEST_F(ServerApi, StopsInOrderOnSigtermWithItsWorkers) {
    Answer a = Upload(TinyRun(data, 12));
    ASSERT_EQ(a.status, 202);
    pid_t pid = server->pid();
    EXPECT_EQ(server->Stop(), 0);
    EXPECT_NE(kill(pid, 0), 0);
    std::string left;
    RunProgram({"/usr/bin/pgrep", "-f", "zorb-server worker --data " + data}, &left);
    EXPECT_EQ(left, "") << "a worker outlived its server";
    Start({"--workers", "1"});
    EXPECT_EQ(Verdict(a.body["id"])["status"], "verified");
}

TEST_F(ServerApi, AServerKilledOutrightLosesNoAnsweredRun) {
    server.reset();
    Start({"--workers", "0"});
    Answer a = Upload(TinyRun(data, 9));
    ASSERT_EQ(a.status, 202);
    server->Kill();
    Start({"--workers", "1"});
    EXPECT_EQ(Verdict(a.body["id"])["status"], "verified");
}

TEST_F(ServerApi, AWorkerKilledMidRunLetsAnotherTakeItAfterItsLease) {
    server.reset();
    Start({"--workers", "0"});
    std::string hang = data + "/hang.sh", log = data + "/worker.log";
    std::ofstream(hang) << "#!/bin/sh\nexec sleep 60\n";
    chmod(hang.c_str(), 0755);
    Answer a = Upload(TinyRun(data, 10));
    ASSERT_EQ(a.status, 202);
    std::vector<std::string> worker = {"./zorb-server", "worker", "--lease", "2",
                                       "--headless",    hang};
    for (const std::string& s : ServerProcess::DatabaseArgs(data))
        worker.push_back(s);
    pid_t stuck = fork();
    if (stuck == 0) {
        freopen(log.c_str(), "w", stderr);
        std::vector<char*> argv;
        for (std::string& s : worker)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    for (int k = 0; k < 400 && ReadFile(log).find("claimed run") == std::string::npos; k++)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_NE(ReadFile(log).find("claimed run"), std::string::npos);
    kill(stuck, SIGKILL);
    waitpid(stuck, nullptr, 0);
    EXPECT_EQ(Get("/api/v1/runs/" + std::to_string((int64_t)a.body["id"])).body["status"],
              "waiting");
    server.reset();
    Start({"--workers", "1", "--lease", "2"});
    EXPECT_EQ(Verdict(a.body["id"])["status"], "verified");
}

} // namespace
