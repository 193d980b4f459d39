// What zorb-headless --verify's answer means to the server.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "server/verifier.h"

TEST(Verifier, ReadsTheReplaysAnswer) {
    struct Case {
        const char* output;
        int status;
        bool verified;
        long score, stage, frames, rejectFrame;
        const char* tag;
        double reaction = 0;
        long reacted = 0;
    } cases[] = {
        {"verified: 11610 frames, 193 checkpoints matched, score 230, stage 3\n", 0, true, 230, 3,
         11610, -1, ""},
        {"verified: 11610 frames, 193 checkpoints matched, score 230, stage 3\nreaction: median "
         "4.960 s over 9 enemies, from first in sight to first hit\n",
         0, true, 230, 3, 11610, -1, "", 4.96, 9},
        {"verified: 10 frames, 1 checkpoints matched, score 0, stage 1\nreaction: median nan s "
         "over 9 enemies\n",
         0, true, 0, 1, 10, -1, ""},
        {"verified: 738 frames, 12 checkpoints matched, score 40, stage 1, tag BOT\n", 0, true, 40,
         1, 738, -1, "BOT"},
        {"the run strays from its recording at frame 120: the recording's state hash 1, the game's "
         "2\n",
         1, false, 0, 0, 0, 120, ""},
        {"the recording is damaged after frame 88 (1 checkpoints matched)\n", 1, false, 0, 0, 0, 88,
         ""},
        // A line that reads as verified from a program that failed is not believed.
        {"verified: 1 frames, 0 checkpoints matched, score 999, stage 8\n", 1, false, 0, 0, 0, -1,
         ""},
        {"", -1, false, 0, 0, 0, -1, ""},
    };
    for (const Case& c : cases) {
        Verdict v = Verifier_Read(c.output, c.status);
        EXPECT_EQ(v.verified, c.verified) << c.output;
        EXPECT_EQ(v.score, c.score) << c.output;
        EXPECT_EQ(v.stage, c.stage) << c.output;
        EXPECT_EQ(v.frames, c.frames) << c.output;
        EXPECT_EQ(v.rejectFrame, c.rejectFrame) << c.output;
        EXPECT_EQ(v.tag, c.tag) << c.output;
        EXPECT_EQ(v.reason.empty(), c.verified) << c.output;
        EXPECT_DOUBLE_EQ(v.reactionSeconds, c.reaction) << c.output;
        EXPECT_EQ(v.reactionCount, c.reacted) << c.output;
    }
}

// A worker killed mid-replay leaves its scratch recording; the next worker removes it, and leaves
// a running worker's and anything else alone.
TEST(Verifier, SweepsTheScratchOfWorkersThatAreGone) {
    std::string folder = ::testing::TempDir() + "/zorb-scratch-sweep";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string gone = folder + "/verify-999999999.zrun",
                report = folder + "/verify-999999999.json";
    std::string running = folder + "/verify-" + std::to_string(getpid()) + ".zrun";
    std::string other = folder + "/verify-notes.zrun";
    for (const std::string& file : {gone, report, running, other})
        std::ofstream(file) << "run";
    Verifier_Sweep(folder);
    EXPECT_FALSE(std::filesystem::exists(gone));
    EXPECT_FALSE(std::filesystem::exists(report)) << "the report of a replay killed midway";
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_TRUE(std::filesystem::exists(other));
    std::filesystem::remove_all(folder);
}

namespace {

// A board on a SQLite file of its own, in a fresh folder removed at the end, its schema made.
struct FreshStore {
    explicit FreshStore(const std::string& name)
        : folder(::testing::TempDir() + "/" + name), path(folder + "/board.sqlite"),
          store([p = path](std::string* w) { return Db_OpenSqlite(p, w); }) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        migrated = store.Migrate(&why);
    }
    ~FreshStore() { std::filesystem::remove_all(folder); }
    std::string folder, path, why;
    RunStore store;
    bool migrated = false;
};

} // namespace

// A verdict the database will not write (a full disk, here a trigger that refuses) is said as the
// database's refusal, not as a claim another worker took over.
TEST(Verifier, AVerdictTheDatabaseRefusesIsSaidAsSuch) {
    FreshStore fresh("zorb-refused-verdict");
    ASSERT_TRUE(fresh.migrated) << fresh.why;
    RunStore& store = fresh.store;
    std::string path = fresh.path, why;
    NewRun run;
    run.sha256 = std::string(64, 'a');
    run.bytes = "run";
    run.playerKeyHash = std::string(64, 'b');
    run.playerName = "P";
    int64_t id = 0, claimed = 0;
    ASSERT_EQ(store.Add(run, &id), RunStore::Added::New);
    std::string bytes;
    ASSERT_TRUE(store.Claim("me", 100, 60, &claimed, &bytes));
    Verdict verdict;
    verdict.verified = true;
    EXPECT_FALSE(store.Finish(claimed, "another", verdict, 101, &why));
    EXPECT_EQ(why, "") << "a lapsed claim";
    std::unique_ptr<Db> db = Db_OpenSqlite(path, &why);
    ASSERT_TRUE(db && db->Exec("CREATE TRIGGER full BEFORE UPDATE ON runs BEGIN"
                               " SELECT RAISE(ABORT, 'database or disk is full'); END",
                               {}, nullptr, &why))
        << why;
    EXPECT_FALSE(store.Finish(claimed, "me", verdict, 101, &why));
    EXPECT_NE(why.find("disk is full"), std::string::npos) << why;
}

// A session holds one run: a second run naming it is told apart from the same run sent again, so
// that two uploads racing on one session get a refusal, not a database error.
TEST(RunStoreTest, ASessionHoldsOneRunAndTheSameBytesAreKnown) {
    FreshStore fresh("zorb-session-race");
    ASSERT_TRUE(fresh.migrated) << fresh.why;
    RunStore& store = fresh.store;
    ASSERT_EQ(store.OpenSession(Session{"s1", "", "", 100, 0, 0, "", ""}), true);
    NewRun first;
    first.sha256 = std::string(64, 'a');
    first.bytes = "one";
    first.playerKeyHash = std::string(64, 'b');
    first.playerName = "P";
    first.sessionId = "s1";
    NewRun second = first;
    second.sha256 = std::string(64, 'c');
    int64_t id = 0, again = 0, other = 0;
    EXPECT_EQ(store.Add(first, &id), RunStore::Added::New);
    EXPECT_EQ(store.Add(second, &other), RunStore::Added::SessionUsed);
    EXPECT_EQ(store.Add(first, &again), RunStore::Added::Known);
    EXPECT_EQ(again, id);
}

// A database that cannot be reached fails every read: never an empty board, a missing run or
// session, or a board without waiting runs.
TEST(RunStoreTest, ReadsOfADatabaseThatIsGoneFail) {
    RunStore store([](std::string* w) {
        *w = "connection refused";
        return std::unique_ptr<Db>();
    });
    RunRow row;
    std::string bytes;
    Session session;
    std::vector<RunRow> rows;
    BoardCounts counts;
    int64_t rank = 0, id = 0;
    EXPECT_EQ(store.Get(1, &row), Lookup::Failed);
    EXPECT_EQ(store.Bytes(1, &bytes), Lookup::Failed);
    EXPECT_EQ(store.GetSession("s1", &session), Lookup::Failed);
    EXPECT_EQ(store.CloseSession("s1", "", std::string(64, 'a'), 1, 0), Lookup::Failed);
    EXPECT_FALSE(store.Board(1, Ranking::All, "", 0, 10, &rows));
    EXPECT_FALSE(store.Counts(1, &counts));
    EXPECT_FALSE(store.WorldRank(1, &rank));
    EXPECT_EQ(store.Add(NewRun(), &id), RunStore::Added::Failed);
}

// A session not ended within its life can no longer be ended, and is forgotten; an ended one stays
// for its run, however late the run is sent.
TEST(RunStoreTest, SessionsNeverEndedExpireAndArePruned) {
    FreshStore fresh("zorb-session-life");
    ASSERT_TRUE(fresh.migrated) << fresh.why;
    RunStore& store = fresh.store;
    std::string sha256(64, 'a');
    const int64_t opened = 1000, life = 6 * 3600;
    for (const char* id : {"late", "ended", "forgotten"})
        ASSERT_TRUE(store.OpenSession(Session{id, "", "", opened, 0, 0, "", ""}));
    EXPECT_EQ(store.CloseSession("late", "", sha256, opened + life + 1, opened + 1),
              Lookup::Missing);
    EXPECT_EQ(store.CloseSession("ended", "", sha256, opened + 60, opened + 60 - life),
              Lookup::Found);
    ASSERT_TRUE(store.PruneSessions(opened + 1));
    Session s;
    EXPECT_EQ(store.GetSession("ended", &s), Lookup::Found);
    EXPECT_EQ(store.GetSession("late", &s), Lookup::Missing);
    EXPECT_EQ(store.GetSession("forgotten", &s), Lookup::Missing);
}

namespace {

// Adds a run of key from client (with a session, when one is named); its id.
int64_t AddRun(RunStore& store, const std::string& key, const std::string& client,
               const std::string& session = "") {
    static int made = 0;
    NewRun run;
    // Appended in place: GCC 12 warns of a bound it misreads in `std::string(...) + c`.
    run.sha256.assign(63, 'a').push_back((char)('a' + made % 6));
    run.sha256 += std::to_string(made);
    made++;
    run.bytes = "run";
    run.playerKeyHash = key;
    run.playerName = key;
    run.client = client;
    run.sessionId = session;
    int64_t id = 0;
    EXPECT_EQ(store.Add(run, &id), RunStore::Added::New);
    return id;
}

std::vector<int64_t> Claims(RunStore& store, int count) {
    std::vector<int64_t> ids;
    int64_t id = 0;
    std::string bytes;
    for (int k = 0; k < count && store.Claim("me", 100, 60, &id, &bytes); k++)
        ids.push_back(id);
    return ids;
}

} // namespace

// The queue serves senders in turn: behind twenty runs from two addresses (one sending under four
// keys), an honest run sent last is among the first three claimed; among runs of equal turn, a
// session's goes first.
TEST(RunStoreTest, TheQueueServesSendersInTurn) {
    FreshStore flooded("zorb-fair-queue");
    ASSERT_TRUE(flooded.migrated) << flooded.why;
    for (int k = 0; k < 10; k++)
        AddRun(flooded.store, "x" + std::to_string(k % 4), "flood-x");
    for (int k = 0; k < 10; k++)
        AddRun(flooded.store, "y", "flood-y");
    int64_t honest = AddRun(flooded.store, "z", "honest");
    std::vector<int64_t> first = Claims(flooded.store, 3);
    EXPECT_NE(std::find(first.begin(), first.end(), honest), first.end());
    EXPECT_EQ(Claims(flooded.store, 100).size(), 18u) << "a waiting run was never served";

    FreshStore equal("zorb-session-first");
    ASSERT_TRUE(equal.store.OpenSession(Session{"s1", "", "", 100, 0, 0, "", ""}));
    AddRun(equal.store, "a", "c1");
    int64_t live = AddRun(equal.store, "b", "c2", "s1");
    EXPECT_EQ(Claims(equal.store, 1), std::vector<int64_t>{live});
}

// A key keeps the recordings of its latest 20 runs and of its best: of 25 runs with the best
// third, the first, second, fourth and fifth lose their recordings and keep their rows.
TEST(RunStoreTest, AKeyKeepsItsLatestRecordingsAndItsBest) {
    FreshStore fresh("zorb-keep-rule");
    ASSERT_TRUE(fresh.migrated) << fresh.why;
    for (int k = 0; k < 25; k++)
        AddRun(fresh.store, "k", "c");
    AddRun(fresh.store, "other", "c");
    int64_t id = 0;
    std::string bytes, why;
    while (fresh.store.Claim("me", 100, 60, &id, &bytes)) {
        Verdict v;
        v.verified = true;
        v.score = id == 3 ? 1000 : 10;
        ASSERT_TRUE(fresh.store.Finish(id, "me", v, 100 + id, &why)) << why;
    }
    for (int64_t run = 1; run <= 26; run++) {
        RunRow row;
        ASSERT_EQ(fresh.store.Get(run, &row), Lookup::Found);
        bool gone = run == 1 || run == 2 || run == 4 || run == 5;
        EXPECT_EQ(row.dropped, gone) << run;
        ASSERT_EQ(fresh.store.Bytes(run, &bytes), Lookup::Found);
        EXPECT_EQ(bytes, gone ? "" : "run") << run;
    }
}
