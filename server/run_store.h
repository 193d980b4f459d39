// The world board's records: uploaded runs with their bytes, the queue of runs to verify and its
// leases, each player's best, run sessions, and the workers seen. The same statements serve
// SQLite and PostgreSQL; every call takes a connection of its own from a pool, so the API's
// threads can call at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/database.h"

struct NewRun {
    std::string sha256, bytes, playerKeyHash, playerName, sessionId;
    std::string playSha256;       // of its play alone (see UploadFacts)
    std::string client;           // the address it came from, as its limits count it
    std::string day;              // the daily run's day (YYYY-MM-DD), for a run of a daily session
    std::string board = "ranked"; // ranked, open or bots
    std::string unranked;         // why it is not ranked (its reason for the open board)
    int64_t simVersion = 0, seed = 0, recordedAt = 0, uploadedAt = 0;
    double gameSeconds = 0, lostSeconds = 0;
    double turnSpread = 0, firePresses = 0; // the hands behind it (see UploadFacts)
};

struct RunRow {
    int64_t id = 0;
    std::string sha256, playerName, status, reason, tag, sessionId, day;
    std::string playerKey; // the SHA-256 of the player's key
    std::string board;     // ranked, open or bots
    std::string unranked;  // why it is on the open board
    int64_t simVersion = 0, seed = 0, recordedAt = 0, uploadedAt = 0, verifiedAt = 0;
    int64_t score = 0, stage = 0, frames = 0, rejectFrame = -1;
    double gameSeconds = 0, lostSeconds = 0;
    bool hidden = false;
    std::string hiddenReason; // the moderator's, when hidden
    bool dropped = false;     // its recording was let go (the key's older runs)
    std::string review;       // pending (kept off the boards until approved), approved or empty
    double turnSpread = 0, firePresses = 0;
    double reactionSeconds = 0; // see Verdict
    int64_t reactionCount = 0;
};

// The runs waiting for their verdict: of one key, of one address, and in all.
struct QueueLoad {
    int64_t byKey = 0, byClient = 0, all = 0;
};

struct BoardCounts {
    int64_t waiting = 0, rejected = 0;
};

// A verified run's story as its replay told it: the JSON (empty when none was told), and the
// figures a player's totals add up: kills by enemy kind, shots and hits by weapon.
struct StoryFigures {
    std::string json;
    int64_t kills[8] = {}, shots[3] = {}, hits[3] = {};
};

// What the replay found: verified with the server's own figures, or rejected with a reason.
struct Verdict {
    bool verified = false;
    std::string reason, tag;
    int64_t rejectFrame = -1, score = 0, stage = 0, frames = 0;
    // How fast the hands answered: the median time from an enemy's first frame in sight to the
    // first hit on it, over this many enemies.
    double reactionSeconds = 0;
    int64_t reactionCount = 0;
    StoryFigures story;
};

struct Session {
    std::string id, sha256, day;
    int64_t openedAt = 0, closedAt = 0, seed = 0;
    std::string usedBy;    // the SHA-256 of the run sent with it, if one was
    std::string playerKey; // the SHA-256 of the key it was opened with
};

// The boards: the ranked runs of all time and of today's daily sessions, the open board (runs that
// verify but were not played live on the board's seed and clock), and the bots' board.
enum class Ranking { All, Today, Open, Bots };

// A read's outcome: the row, no such row, or a database that could not answer (a read that fails
// is never taken for an empty one).
enum class Lookup { Found, Missing, Failed };

class RunStore {
  public:
    // opener makes one connection; the store keeps at most mostConnections open, and a caller
    // finding them all in use waits a moment for one, then fails (the answer is 503).
    explicit RunStore(std::function<std::unique_ptr<Db>(std::string*)> opener,
                      int mostConnections = 20);
    // Makes or brings up to date the schema, under a lock so servers started together agree.
    bool Migrate(std::string* why);
    bool Reachable();

    // Stores a run and gives its id: New; Known (the same bytes, or the same play from the same
    // key, were stored before: id is theirs); Copied (the same play was sent by another key first:
    // id is theirs); SessionUsed (another run holds its session); or Failed.
    enum class Added { New, Known, Copied, SessionUsed, Failed };
    Added Add(const NewRun& run, int64_t* id);
    // Gives the name to the key, when no other key holds it (names are told apart without case,
    // with runs of spaces as one): the key's old name is freed, and its runs take the new one.
    enum class Claimed { Mine, Taken, Failed };
    Claimed ClaimName(const std::string& playerKeyHash, const std::string& name);
    Lookup Get(int64_t id, RunRow* row);
    Lookup Bytes(int64_t id, std::string* bytes);
    // The best visible verified run of each player of this simulation version on a board, by
    // score, ties to the earlier verification (day: the day of Ranking::Today). False when the
    // database could not answer.
    bool Board(int64_t simVersion, Ranking board, const std::string& day, int64_t offset,
               int64_t limit, std::vector<RunRow>* rows);
    bool Counts(int64_t simVersion, BoardCounts* counts);
    bool Queue(const std::string& playerKeyHash, const std::string& client, QueueLoad* load);
    // The place of the run's player on the run's board of all time (ranked, open or bots: their
    // best run's there), or 0 when they have none there.
    bool WorldRank(int64_t id, int64_t* rank);
    // The place of a player's best on a board (day: the day of Ranking::Today), or 0 when they
    // have none there.
    bool Place(int64_t simVersion, Ranking board, const std::string& day,
               const std::string& playerKey, int64_t* rank);
    // The runs waiting for their verdict, oldest first; false when the database could not say.
    bool Waiting(std::vector<RunRow>* rows);
    // Hides a run (with the moderator's reason, shown on its page) or shows it again. False when
    // there is no such run or the database refused.
    bool SetHidden(int64_t id, bool hidden, const std::string& reason = "");
    // Review of the top places: a ranked run that would enter the top n of all time or of its day
    // waits for a moderator, off the boards (0: no review). Kept in the board, so that every
    // server and worker on it follows it; false when the database refused.
    bool SetReviewTop(int64_t n);
    // The runs waiting for review, oldest first.
    bool Pending(std::vector<RunRow>* rows);
    // A key's other runs, the latest first (at most limit).
    bool KeyRuns(const std::string& playerKey, int64_t limit, std::vector<RunRow>* rows);
    // Approves a run waiting for review: it takes its places on its boards. False when it was not
    // waiting for review.
    bool Approve(int64_t id);

    // The queue. Claim takes a waiting run whose lease is free or lapsed, serving keys in turn and
    // then addresses (each one's oldest first), a run of a session first among equals: one sender
    // with many runs waiting holds up another's by one turn at most.
    bool Claim(const std::string& owner, int64_t now, int64_t leaseSeconds, int64_t* id,
               std::string* bytes);
    bool Renew(int64_t id, const std::string& owner, int64_t until);
    // Writes the run's verdict; then its key keeps the recordings of its 20 latest runs and of its
    // best on each board, and the older ones' recordings go (their rows stay). False when the
    // verdict was not written: why is empty when owner no longer held the claim (another worker's
    // result stands), else the database's reason (a full disk, say).
    bool Finish(int64_t id, const std::string& owner, const Verdict& v, int64_t now,
                std::string* why);
    void Release(int64_t id, const std::string& owner);
    // The stories of runs verified before the board kept them. ClaimUntold takes, under a lease,
    // the oldest verified run with its recording and without a story; Tell files its story (an
    // empty one where the replay told none: it is not tried again), while owner holds the claim.
    bool ClaimUntold(const std::string& owner, int64_t now, int64_t leaseSeconds, int64_t* id,
                     std::string* bytes);
    bool Tell(int64_t id, const std::string& owner, const StoryFigures& story);
    // A run's story: Missing when it has none yet; Found with json empty when its replay told
    // none (played again, it no longer verifies).
    Lookup Story(int64_t id, std::string* json);
    bool WorkerSeen(const std::string& name, int64_t now);
    int64_t WorkersSince(int64_t since);

    // Sessions and the server's secret (made at the first start, shared by every instance).
    std::string Secret();
    // The time sessions are timed by, in seconds since 1970: a shared database's own clock, so
    // that servers whose clocks differ time a session alike; this machine's beside SQLite. False
    // when the database cannot say.
    bool Clock(int64_t* now);
    bool OpenSession(const Session& s);
    Lookup GetSession(const std::string& id, Session* s);
    // Missing when there is no such open session, or it was opened before openedSince (it
    // expired).
    Lookup CloseSession(const std::string& id, const std::string& playerKey,
                        const std::string& sha256, int64_t now, int64_t openedSince);
    // Forgets the sessions opened before openedBefore and never closed: no run can use them.
    bool PruneSessions(int64_t openedBefore);

    // For the board's other readers: one statement on a connection of the pool, and the runs
    // matching where (an SQL condition, with its order and limit).
    bool Query(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows);
    bool Select(const std::string& where, const std::vector<DbValue>& params,
                std::vector<RunRow>* runs);

  private:
    std::function<std::unique_ptr<Db>(std::string*)> opener_;
    std::mutex mutex_;
    std::condition_variable given_;
    std::vector<std::unique_ptr<Db>> idle_;
    int open_ = 0; // connections made and not lost, idle or in use
    const int mostConnections_;
    std::atomic<bool> failing_{false};
    std::atomic<bool> shared_{false}; // the database is shared by servers on other machines

    class Lease;
    bool Run(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows,
             std::string* why = nullptr);
    Lookup Find(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows);
    bool Transaction(const std::function<bool(Db&)>& body, std::string* why = nullptr);
    bool LeaseFirst(const std::string& pick, const std::string& owner, int64_t now,
                    int64_t leaseSeconds, int64_t* id, std::string* bytes);
    std::unique_ptr<Db> Take(std::string* why);
    void Give(std::unique_ptr<Db> db);
    void Lost(); // a connection that could not be made
    bool Note(bool ok, const std::string& why);
};
