// The board's statements, written once for both databases.
#include "server/run_store.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>

#include "server/crypto.h"
#include "server/player_names.h"
#include "server/schema.h"

namespace {

// The columns a RunRow is read from, in its order.
const char* const kRunColumns =
    "id, sha256, player_name, status, COALESCE(reason, ''), COALESCE(tag, ''),"
    " COALESCE(session_id, ''), sim_version, seed, recorded_at, uploaded_at,"
    " COALESCE(verified_at, 0), COALESCE(score, 0), COALESCE(stage, 0), COALESCE(frames, 0),"
    " COALESCE(reject_frame, -1), game_seconds, lost_seconds, hidden, COALESCE(day, ''),"
    " player_key, dropped, board, COALESCE(unranked, ''), COALESCE(review, ''),"
    " COALESCE(hidden_reason, ''), turn_spread, fire_presses, reaction_seconds, reaction_count";

RunRow ReadRun(const DbRow& r) {
    RunRow row;
    row.id = r[0].AsInt();
    row.sha256 = r[1].text;
    row.playerName = r[2].text;
    row.status = r[3].text;
    row.reason = r[4].text;
    row.tag = r[5].text;
    row.sessionId = r[6].text;
    int64_t* ints[] = {&row.simVersion, &row.seed,       &row.recordedAt,
                       &row.uploadedAt, &row.verifiedAt, &row.score,
                       &row.stage,      &row.frames,     &row.rejectFrame};
    for (size_t k = 0; k < sizeof ints / sizeof ints[0]; k++)
        *ints[k] = r[7 + k].AsInt();
    row.gameSeconds = r[16].AsReal();
    row.lostSeconds = r[17].AsReal();
    row.hidden = r[18].AsInt() != 0;
    row.day = r[19].text;
    row.playerKey = r[20].text;
    row.dropped = r[21].AsInt() != 0;
    row.board = r[22].text;
    row.unranked = r[23].text;
    row.review = r[24].text;
    row.hiddenReason = r[25].text;
    row.turnSpread = r[26].AsReal();
    row.firePresses = r[27].AsReal();
    row.reactionSeconds = r[28].AsReal();
    row.reactionCount = r[29].AsInt();
    return row;
}

std::vector<RunRow> ReadRuns(const DbRows& rows) {
    std::vector<RunRow> out;
    for (const DbRow& r : rows)
        out.push_back(ReadRun(r));
    return out;
}

DbValue I(int64_t v) {
    return DbValue::Of(v);
}
DbValue T(const std::string& v) {
    return DbValue::Of(v);
}

// The boards' tables: each player's best run on each board, the daily board's keyed by the day
// too. The day's seed is public, so a run on it can be prepared before its session: all time
// takes only runs on a seed the board gave that one session.
struct BoardTable {
    const char* name;
    bool daily;
    const char* runsOf; // which of the board's runs the table ranks
};
const BoardTable kAllTime = {"best", false, " AND day IS NULL"}, kDaily = {"best_daily", true, ""},
                 kOpen = {"best_open", false, ""}, kBots = {"best_bots", false, ""};

BoardTable TableOf(Ranking board) {
    switch (board) {
    case Ranking::Today:
        return kDaily;
    case Ranking::Open:
        return kOpen;
    case Ranking::Bots:
        return kBots;
    case Ranking::All:
        break;
    }
    return kAllTime;
}

// The table a run of this board (ranked, open or bots) stands on: a ranked run of a daily session
// is on its day's.
BoardTable TableOfRun(const std::string& board, bool ofADay) {
    if (board == "open") return kOpen;
    if (board == "bots") return kBots;
    return ofADay ? kDaily : kAllTime;
}

std::string DayColumn(const BoardTable& t) {
    return t.daily ? "day, " : "";
}

// A player's best visible verified run on a board, made again from their runs (after hiding or
// showing one).
bool RecomputeBest(Db& db, const BoardTable& t, const std::string& board,
                   const std::string& playerKey, int64_t simVersion, const std::string& day) {
    std::vector<DbValue> key = {I(simVersion), T(playerKey)};
    if (t.daily) key.push_back(T(day));
    std::string sameDay = t.daily ? " AND day = ?" : "";
    std::vector<DbValue> ofBoard = key;
    ofBoard.push_back(T(board));
    return db.Exec(std::string("DELETE FROM ") + t.name +
                       " WHERE sim_version = ? AND player_key = ?" + sameDay,
                   key, nullptr, nullptr) &&
           db.Exec(std::string("INSERT INTO ") + t.name + " (" + DayColumn(t) +
                       "sim_version, player_key, run_id, score, verified_at) SELECT " +
                       DayColumn(t) +
                       "sim_version, player_key, id, score, verified_at FROM runs WHERE"
                       " sim_version = ? AND player_key = ?" +
                       sameDay + t.runsOf +
                       " AND board = ? AND status = 'verified' AND hidden = 0 AND"
                       " COALESCE(review, '') <> 'pending' ORDER BY score DESC, verified_at, id"
                       " LIMIT 1",
                   ofBoard, nullptr, nullptr);
}

// A verified run put on a board where it beats the player's best there. run holds the run's
// player_key, sim_version and day.
bool RaiseBest(Db& db, const BoardTable& t, const DbRow& run, int64_t id, int64_t score,
               int64_t now, std::string* why = nullptr) {
    std::vector<DbValue> values = {run[1], run[0], I(id), I(score), I(now)};
    if (t.daily) values.insert(values.begin(), run[2]);
    return db.Exec(std::string("INSERT INTO ") + t.name + " (" + DayColumn(t) +
                       "sim_version, player_key, run_id, score, verified_at) VALUES (" +
                       (t.daily ? "?, " : "") + "?, ?, ?, ?, ?) ON CONFLICT (" + DayColumn(t) +
                       "sim_version, player_key) DO UPDATE SET run_id = excluded.run_id,"
                       " score = excluded.score, verified_at = excluded.verified_at"
                       " WHERE excluded.score > " +
                       t.name + ".score",
                   values, nullptr, why);
}

// Whether a run of score (run holds its player_key, sim_version and day) would enter the top places
// of a board: fewer than top other players stand at or above it, and it beats its player's best.
bool EntersTop(Db& db, const BoardTable& t, const DbRow& run, int64_t score, int64_t top,
               bool* enters) {
    std::string sameDay = t.daily ? " AND day = ?" : "";
    std::vector<DbValue> params = {run[1], run[0], I(score), run[1], run[0]};
    if (t.daily) {
        params.insert(params.begin() + 1, run[2]);
        params.push_back(run[2]);
    }
    DbRows rows;
    if (!db.Exec(
            std::string("SELECT (SELECT COUNT(*) FROM ") + t.name + " WHERE sim_version = ?" +
                sameDay +
                " AND player_key <> ? AND score >= ?), (SELECT COALESCE(MAX(score), -1) FROM " +
                t.name + " WHERE sim_version = ? AND player_key = ?" + sameDay + ")",
            params, &rows, nullptr) ||
        rows.empty())
        return false;
    *enters = *enters || (rows[0][0].AsInt() < top && score > rows[0][1].AsInt());
    return true;
}

// Whether a ranked run of score waits for review: the board reviews its top places and the run
// would enter them (see EntersTop).
bool HeldForReview(Db& db, const BoardTable& t, const DbRow& run, int64_t score, bool* held) {
    DbRows top;
    if (!db.Exec("SELECT value FROM board_settings WHERE name = 'review_top'", {}, &top, nullptr))
        return false;
    return top.empty() || top[0][0].AsInt() <= 0 ||
           EntersTop(db, t, run, score, top[0][0].AsInt(), held);
}

// A run's places made again on its boards, from the columns player_key, sim_version, day (or '')
// and board of its row (after hiding, showing or approving it).
bool RecomputeRun(Db& db, const DbRow& r) {
    return RecomputeBest(db, TableOfRun(r[3].text, !r[2].text.empty()), r[3].text, r[0].text,
                         r[1].AsInt(), r[2].text);
}

// How many of a key's latest runs keep their recordings, beside its best on each board.
const int64_t kKeptRuns = 20;

// Lets go of the recordings of a key's runs that are neither among its latest nor its best on a
// board: their rows and SHA-256 stay (a copy is still known), their bytes go.
bool DropOldRecordings(Db& db, const DbValue& playerKey, std::string* why) {
    return db.Exec("UPDATE runs SET bytes = ?, dropped = 1 WHERE player_key = ? AND dropped = 0"
                   " AND status <> 'waiting' AND COALESCE(review, '') <> 'pending' AND id NOT IN "
                   "(SELECT id FROM runs WHERE"
                   " player_key = ? ORDER BY id DESC LIMIT ?) AND id NOT IN (SELECT run_id FROM"
                   " best WHERE player_key = ?) AND id NOT IN (SELECT run_id FROM best_daily"
                   " WHERE player_key = ?) AND id NOT IN (SELECT run_id FROM best_open WHERE"
                   " player_key = ?) AND id NOT IN (SELECT run_id FROM best_bots WHERE"
                   " player_key = ?)",
                   {DbValue::Bytes(""), playerKey, playerKey, I(kKeptRuns), playerKey, playerKey,
                    playerKey, playerKey},
                   nullptr, why);
}

// Files a run's story, or that it has none (told 0), in place of any it had.
bool PutStory(Db& db, int64_t id, const StoryFigures& s, std::string* why = nullptr) {
    std::vector<DbValue> values = {I(id), I(s.json.empty() ? 0 : 1),
                                   s.json.empty() ? DbValue::None() : T(s.json)};
    std::string columns, marks;
    for (int k = 0; k < 8; k++) {
        columns += ", kills_" + std::to_string(k);
        values.push_back(I(s.kills[k]));
    }
    for (int k = 0; k < 3; k++) {
        columns += ", shots_" + std::to_string(k) + ", hits_" + std::to_string(k);
        values.push_back(I(s.shots[k]));
        values.push_back(I(s.hits[k]));
    }
    for (size_t k = 3; k < values.size(); k++)
        marks += ", ?";
    return db.Exec("DELETE FROM stories WHERE run_id = ?", {I(id)}, nullptr, why) &&
           db.Exec("INSERT INTO stories (run_id, told, story" + columns + ") VALUES (?, ?, ?" +
                       marks + ")",
                   values, nullptr, why);
}

} // namespace

// A connection taken from the pool for one call, and given back after it.
class RunStore::Lease {
  public:
    Lease(RunStore* s, std::string* why) : store_(s), db_(s->Take(why)) {}
    ~Lease() {
        if (db_) store_->Give(std::move(db_));
    }
    Db* operator->() { return db_.get(); }
    Db& operator*() { return *db_; }
    explicit operator bool() const { return db_ != nullptr; }

  private:
    RunStore* store_;
    std::unique_ptr<Db> db_;
};

RunStore::RunStore(std::function<std::unique_ptr<Db>(std::string*)> opener, int mostConnections)
    : opener_(std::move(opener)), mostConnections_(std::max(1, mostConnections)) {}

// How long a caller waits for a connection when all are in use.
const auto kConnectionWait = std::chrono::seconds(2);

std::unique_ptr<Db> RunStore::Take(std::string* why) {
    std::unique_lock<std::mutex> hold(mutex_);
    if (!given_.wait_for(hold, kConnectionWait,
                         [&] { return !idle_.empty() || open_ < mostConnections_; })) {
        *why = "all " + std::to_string(mostConnections_) + " database connections are busy";
        return nullptr;
    }
    if (!idle_.empty()) {
        std::unique_ptr<Db> db = std::move(idle_.back());
        idle_.pop_back();
        return db;
    }
    open_++;
    hold.unlock();
    std::unique_ptr<Db> db = opener_(why);
    if (!db) Lost();
    return db;
}

void RunStore::Give(std::unique_ptr<Db> db) {
    std::lock_guard<std::mutex> hold(mutex_);
    idle_.push_back(std::move(db));
    given_.notify_one();
}

void RunStore::Lost() {
    std::lock_guard<std::mutex> hold(mutex_);
    open_--;
    given_.notify_one();
}

// The log says when the database stops answering, with its reason, and when it answers again:
// once each, however many requests meet it meanwhile.
bool RunStore::Note(bool ok, const std::string& why) {
    if (!ok && !failing_.exchange(true))
        std::fprintf(stderr, "zorb-server: the database cannot be used: %s\n", why.c_str());
    if (ok && failing_.exchange(false))
        std::fprintf(stderr, "zorb-server: the database answers again\n");
    return ok;
}

bool RunStore::Run(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows,
                   std::string* why) {
    std::string reason;
    why = why ? why : &reason;
    Lease db(this, why);
    return Note(db && db->Exec(sql, params, rows, why), *why);
}

bool RunStore::Transaction(const std::function<bool(Db&)>& body, std::string* why) {
    std::string reason;
    why = why ? why : &reason;
    Lease db(this, why);
    if (!db || !db->BeginWrite(why)) return Note(false, *why);
    // Rolled back on every other way out, a throw included: a connection goes back to the pool
    // with no transaction open (beside SQLite, one would hold the write lock for ever).
    bool committed = false;
    try {
        committed = body(*db) && db->Exec("COMMIT", {}, nullptr, why);
    } catch (const std::exception& e) {
        *why = std::string("a transaction failed: ") + e.what();
    }
    if (committed) return Note(true, "");
    db->Exec("ROLLBACK", {}, nullptr, nullptr);
    return false;
}

bool RunStore::Migrate(std::string* why) {
    return Transaction(
        [&](Db& db) {
            shared_ = db.Shared();
            if (db.Shared() && !db.Exec("SELECT pg_advisory_xact_lock(20260801)", {}, nullptr, why))
                return false;
            DbRows version;
            if (!db.Exec("CREATE TABLE IF NOT EXISTS schema_version (version BIGINT NOT NULL)", {},
                         nullptr, why) ||
                !db.Exec("SELECT COALESCE(MAX(version), 0) FROM schema_version", {}, &version, why))
                return false;
            int64_t at = version[0][0].AsInt();
            if (at > Schema_Version()) {
                *why = "the database's schema is newer than this server's";
                return false;
            }
            for (int64_t step = at; step < Schema_Version(); step++)
                for (const char* statement : Schema_Step(step))
                    if (!db.Exec(statement, {}, nullptr, why)) return false;
            return db.Exec("INSERT INTO secrets (name, value) VALUES ('session', ?)"
                           " ON CONFLICT (name) DO NOTHING",
                           {T(Crypto_RandomHex(32))}, nullptr, why) &&
                   db.Exec("DELETE FROM schema_version", {}, nullptr, why) &&
                   db.Exec("INSERT INTO schema_version (version) VALUES (?)", {I(Schema_Version())},
                           nullptr, why);
        },
        why);
}

bool RunStore::Reachable() {
    return Run("SELECT 1", {}, nullptr);
}

RunStore::Added RunStore::Add(const NewRun& r, int64_t* id) {
    DbRows rows;
    std::vector<DbValue> params = {T(r.sha256),
                                   DbValue::Bytes(r.bytes),
                                   T(r.playerKeyHash),
                                   T(r.playerName),
                                   I(r.simVersion),
                                   I(r.seed),
                                   I(r.recordedAt),
                                   I(r.uploadedAt),
                                   DbValue::Of(r.gameSeconds),
                                   DbValue::Of(r.lostSeconds),
                                   r.sessionId.empty() ? DbValue::None() : T(r.sessionId),
                                   r.day.empty() ? DbValue::None() : T(r.day),
                                   r.playSha256.empty() ? DbValue::None() : T(r.playSha256),
                                   T(r.client),
                                   T(r.board),
                                   r.unranked.empty() ? DbValue::None() : T(r.unranked),
                                   DbValue::Of(r.turnSpread),
                                   DbValue::Of(r.firePresses)};
    bool inserted = false;
    // Nothing is inserted when the same bytes or play, or another run of the same session, are
    // stored: which it was is told by looking for the bytes and the play.
    bool ok = Transaction([&](Db& db) {
        rows.clear();
        if (!db.Exec("INSERT INTO runs (sha256, bytes, player_key, player_name, sim_version,"
                     " seed, recorded_at, uploaded_at, game_seconds, lost_seconds,"
                     " session_id, day, play_sha256, client, board, unranked, turn_spread,"
                     " fire_presses) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                     " ON CONFLICT DO NOTHING RETURNING id, "
                     "player_key",
                     params, &rows, nullptr))
            return false;
        inserted = !rows.empty();
        return inserted || db.Exec("SELECT id, player_key FROM runs WHERE sha256 = ? OR"
                                   " play_sha256 = ? ORDER BY id LIMIT 1",
                                   {T(r.sha256), T(r.playSha256)}, &rows, nullptr);
    });
    if (!ok) return Added::Failed;
    if (rows.empty()) return Added::SessionUsed;
    *id = rows[0][0].AsInt();
    if (inserted) return Added::New;
    return rows[0][1].text == r.playerKeyHash ? Added::Known : Added::Copied;
}

RunStore::Claimed RunStore::ClaimName(const std::string& playerKeyHash, const std::string& name) {
    std::string key = PlayerName_Key(name);
    bool taken = false, raced = false;
    bool ok = Transaction([&](Db& db) {
        DbRows holder;
        if (!db.Exec("SELECT player_key FROM names WHERE name_key = ?", {T(key)}, &holder, nullptr))
            return false;
        taken = !holder.empty() && holder[0][0].text != playerKeyHash;
        if (taken) return true;
        DbRows got;
        // The key's old name is freed, and its runs carry the name it goes by now.
        bool written =
            !holder.empty() ||
            (db.Exec("DELETE FROM names WHERE player_key = ?", {T(playerKeyHash)}, nullptr,
                     nullptr) &&
             db.Exec("INSERT INTO names (name_key, player_key) VALUES (?, ?) ON CONFLICT DO"
                     " NOTHING RETURNING name_key",
                     {T(key), T(playerKeyHash)}, &got, nullptr) &&
             !(raced = got.empty()));
        return written && db.Exec("UPDATE runs SET player_name = ? WHERE player_key = ? AND"
                                  " player_name <> ?",
                                  {T(name), T(playerKeyHash), T(name)}, nullptr, nullptr);
    });
    if (raced) { // it was taken at the same moment: by another key, or by this one's other run
        DbRows holder;
        if (!Run("SELECT player_key FROM names WHERE name_key = ?", {T(key)}, &holder))
            return Claimed::Failed;
        return !holder.empty() && holder[0][0].text == playerKeyHash ? Claimed::Mine
                                                                     : Claimed::Taken;
    }
    if (!ok) return Claimed::Failed;
    return taken ? Claimed::Taken : Claimed::Mine;
}

bool RunStore::Query(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows) {
    return Run(sql, params, rows);
}

Lookup RunStore::Find(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows) {
    if (!Run(sql, params, rows)) return Lookup::Failed;
    return rows->empty() ? Lookup::Missing : Lookup::Found;
}

Lookup RunStore::Get(int64_t id, RunRow* row) {
    DbRows rows;
    Lookup found =
        Find(std::string("SELECT ") + kRunColumns + " FROM runs WHERE id = ?", {I(id)}, &rows);
    if (found == Lookup::Found) *row = ReadRun(rows[0]);
    return found;
}

Lookup RunStore::Bytes(int64_t id, std::string* bytes) {
    DbRows rows;
    Lookup found = Find("SELECT bytes FROM runs WHERE id = ?", {I(id)}, &rows);
    if (found == Lookup::Found) *bytes = rows[0][0].text;
    return found;
}

bool RunStore::Board(int64_t simVersion, Ranking board, const std::string& day, int64_t offset,
                     int64_t limit, std::vector<RunRow>* out) {
    DbRows rows;
    BoardTable t = TableOf(board);
    std::vector<DbValue> params = {I(simVersion), I(limit), I(offset)};
    if (t.daily) params.insert(params.begin(), T(day));
    if (!Run(std::string("SELECT ") + kRunColumns + " FROM runs WHERE id IN (SELECT run_id FROM " +
                 t.name + " WHERE " + (t.daily ? "day = ? AND " : "") +
                 "sim_version = ? ORDER BY score DESC, verified_at, run_id LIMIT ? OFFSET ?)"
                 " ORDER BY score DESC, verified_at, id",
             params, &rows))
        return false;
    *out = ReadRuns(rows);
    return true;
}

bool RunStore::Counts(int64_t simVersion, BoardCounts* c) {
    DbRows rows;
    *c = BoardCounts{};
    // Only the few waiting and rejected runs are counted: the verified are the board itself.
    if (!Run("SELECT status, COUNT(*) FROM runs WHERE sim_version = ? AND"
             " status IN ('waiting', 'rejected') AND hidden = 0 GROUP BY status",
             {I(simVersion)}, &rows))
        return false;
    for (const DbRow& r : rows) {
        if (r[0].text == "waiting") c->waiting = r[1].AsInt();
        if (r[0].text == "rejected") c->rejected = r[1].AsInt();
    }
    return true;
}

bool RunStore::Queue(const std::string& playerKeyHash, const std::string& client, QueueLoad* load) {
    DbRows rows;
    if (!Run("SELECT COALESCE(SUM(CASE WHEN player_key = ? THEN 1 ELSE 0 END), 0),"
             " COALESCE(SUM(CASE WHEN client = ? THEN 1 ELSE 0 END), 0), COUNT(*) FROM runs"
             " WHERE status = 'waiting'",
             {T(playerKeyHash), T(client)}, &rows) ||
        rows.empty())
        return false;
    *load = QueueLoad{rows[0][0].AsInt(), rows[0][1].AsInt(), rows[0][2].AsInt()};
    return true;
}

bool RunStore::WorldRank(int64_t id, int64_t* rank) {
    DbRows rows;
    if (!Run("SELECT board, sim_version, player_key, COALESCE(day, '') FROM runs WHERE id = ?",
             {I(id)}, &rows))
        return false;
    *rank = 0;
    if (rows.empty()) return true;
    // A ranked run of a day's session stands on that day's board alone.
    const std::string &board = rows[0][0].text, &day = rows[0][3].text;
    Ranking ranking = board == "open"   ? Ranking::Open
                      : board == "bots" ? Ranking::Bots
                      : day.empty()     ? Ranking::All
                                        : Ranking::Today;
    return Place(rows[0][1].AsInt(), ranking, day, rows[0][2].text, rank);
}

bool RunStore::Place(int64_t simVersion, Ranking board, const std::string& day,
                     const std::string& playerKey, int64_t* rank) {
    BoardTable t = TableOf(board);
    // The rows above: a higher score, or the same score verified earlier. Counted as two ranges
    // of the board's index (one condition with OR would have the database read the whole board).
    std::string same = std::string(" b WHERE b.sim_version = mine.sim_version") +
                       (t.daily ? " AND b.day = mine.day" : "");
    std::vector<DbValue> params = {I(simVersion), T(playerKey)};
    if (t.daily) params.push_back(T(day));
    DbRows rows;
    if (!Run(std::string("SELECT (SELECT COUNT(*) FROM ") + t.name + same +
                 " AND b.score > mine.score) + (SELECT COUNT(*) FROM " + t.name + same +
                 " AND b.score = mine.score AND (b.verified_at < mine.verified_at OR"
                 " (b.verified_at = mine.verified_at AND b.run_id < mine.run_id))) + 1 FROM " +
                 t.name + " mine WHERE mine.sim_version = ? AND mine.player_key = ?" +
                 (t.daily ? " AND mine.day = ?" : ""),
             params, &rows))
        return false;
    *rank = rows.empty() ? 0 : rows[0][0].AsInt();
    return true;
}

bool RunStore::Select(const std::string& where, const std::vector<DbValue>& params,
                      std::vector<RunRow>* runs) {
    DbRows rows;
    if (!Run(std::string("SELECT ") + kRunColumns + " FROM runs WHERE " + where, params, &rows))
        return false;
    *runs = ReadRuns(rows);
    return true;
}

bool RunStore::Waiting(std::vector<RunRow>* waiting) {
    return Select("status = 'waiting' ORDER BY id", {}, waiting);
}

bool RunStore::SetHidden(int64_t id, bool hidden, const std::string& reason) {
    return Transaction([&](Db& db) {
        DbRows rows;
        return db.Exec("UPDATE runs SET hidden = ?, hidden_reason = ? WHERE id = ? RETURNING"
                       " player_key, sim_version, COALESCE(day, ''), board",
                       {I(hidden ? 1 : 0), hidden ? T(reason) : DbValue::None(), I(id)}, &rows,
                       nullptr) &&
               !rows.empty() && RecomputeRun(db, rows[0]);
    });
}

bool RunStore::SetReviewTop(int64_t n) {
    return Run("INSERT INTO board_settings (name, value) VALUES ('review_top', ?) ON CONFLICT"
               " (name) DO UPDATE SET value = excluded.value",
               {I(n)}, nullptr);
}

bool RunStore::Pending(std::vector<RunRow>* pending) {
    return Select("review = 'pending' AND hidden = 0 ORDER BY id", {}, pending);
}

bool RunStore::KeyRuns(const std::string& playerKey, int64_t limit, std::vector<RunRow>* runs) {
    return Select("player_key = ? ORDER BY id DESC LIMIT ?", {T(playerKey), I(limit)}, runs);
}

bool RunStore::Approve(int64_t id) {
    return Transaction([&](Db& db) {
        DbRows rows;
        return db.Exec("UPDATE runs SET review = 'approved' WHERE id = ? AND review = 'pending'"
                       " RETURNING player_key, sim_version, COALESCE(day, ''), board",
                       {I(id)}, &rows, nullptr) &&
               !rows.empty() && RecomputeRun(db, rows[0]);
    });
}

// Leases the run that pick (a statement with ? for now, giving id and bytes) finds first.
bool RunStore::LeaseFirst(const std::string& pick, const std::string& owner, int64_t now,
                          int64_t leaseSeconds, int64_t* id, std::string* bytes) {
    DbRows rows;
    bool ok = Transaction([&](Db& db) {
        return db.Exec(pick, {I(now)}, &rows, nullptr) &&
               (rows.empty() ||
                db.Exec("UPDATE runs SET lease_owner = ?, leased_until = ? WHERE id = ?",
                        {T(owner), I(now + leaseSeconds), rows[0][0]}, nullptr, nullptr));
    });
    if (!ok || rows.empty()) return false;
    *id = rows[0][0].AsInt();
    *bytes = rows[0][1].text;
    return true;
}

bool RunStore::Claim(const std::string& owner, int64_t now, int64_t leaseSeconds, int64_t* id,
                     std::string* bytes) {
    // Each run's turn: how many runs of its key, and of its address, wait before it.
    return LeaseFirst("SELECT r.id, r.bytes FROM runs r JOIN (SELECT id, ROW_NUMBER() OVER"
                      " (PARTITION BY player_key ORDER BY id) AS by_key, ROW_NUMBER() OVER"
                      " (PARTITION BY client ORDER BY id) AS by_client FROM runs WHERE"
                      " status = 'waiting') turn ON turn.id = r.id WHERE r.status = 'waiting'"
                      " AND (r.leased_until IS NULL OR r.leased_until < ?) ORDER BY"
                      " turn.by_key, turn.by_client, CASE WHEN r.session_id IS NULL THEN 1"
                      " ELSE 0 END, r.id LIMIT 1 @LOCK_OF_R",
                      owner, now, leaseSeconds, id, bytes);
}

bool RunStore::Renew(int64_t id, const std::string& owner, int64_t until) {
    DbRows rows;
    // A waiting run's verdict, or a verified run's story being told again.
    return Run("UPDATE runs SET leased_until = ? WHERE id = ? AND lease_owner = ? AND"
               " status IN ('waiting', 'verified') RETURNING id",
               {I(until), I(id), T(owner)}, &rows) &&
           !rows.empty();
}

bool RunStore::Finish(int64_t id, const std::string& owner, const Verdict& v, int64_t now,
                      std::string* why) {
    why->clear();
    DbRows rows;
    bool written = Transaction(
        [&](Db& db) {
            std::vector<DbValue> params = {T(v.verified ? "verified" : "rejected"),
                                           v.verified ? DbValue::None() : T(v.reason),
                                           v.rejectFrame < 0 ? DbValue::None() : I(v.rejectFrame),
                                           I(v.score),
                                           I(v.stage),
                                           I(v.frames),
                                           T(v.tag),
                                           DbValue::Of(v.reactionSeconds),
                                           I(v.reactionCount),
                                           I(now),
                                           I(id),
                                           T(owner)};
            if (!db.Exec("UPDATE runs SET status = ?, reason = ?, reject_frame = ?, score = ?,"
                         " stage = ?, frames = ?, tag = ?, reaction_seconds = ?,"
                         " reaction_count = ?, verified_at = ?, lease_owner = NULL,"
                         " leased_until = NULL WHERE id = ? AND lease_owner = ? AND"
                         " status = 'waiting' RETURNING player_key, sim_version, day, hidden,"
                         " board",
                         params, &rows, why) ||
                rows.empty())
                return false;
            const DbRow& run = rows[0];
            bool shown = v.verified && run[3].AsInt() == 0, pending = false;
            BoardTable table = TableOfRun(run[4].text, !run[2].IsNull());
            // A ranked run that would take one of the top places waits for a moderator first.
            if (shown && run[4].text == "ranked" &&
                !HeldForReview(db, table, run, v.score, &pending))
                return false;
            if (shown && !pending && !RaiseBest(db, table, run, id, v.score, now, why))
                return false;
            return (!pending || db.Exec("UPDATE runs SET review = 'pending' WHERE id = ?", {I(id)},
                                        nullptr, why)) &&
                   (!v.verified || v.story.json.empty() || PutStory(db, id, v.story, why)) &&
                   DropOldRecordings(db, run[0], why);
        },
        why);
    // Refused by the database though it said nothing: not a lapsed claim all the same.
    if (!written && why->empty() && !rows.empty()) *why = "the database refused it";
    return written;
}

void RunStore::Release(int64_t id, const std::string& owner) {
    Run("UPDATE runs SET lease_owner = NULL, leased_until = NULL WHERE id = ? AND"
        " lease_owner = ?",
        {I(id), T(owner)}, nullptr);
}

bool RunStore::ClaimUntold(const std::string& owner, int64_t now, int64_t leaseSeconds, int64_t* id,
                           std::string* bytes) {
    return LeaseFirst("SELECT r.id, r.bytes FROM runs r WHERE r.status = 'verified' AND"
                      " r.dropped = 0 AND NOT EXISTS (SELECT 1 FROM stories s WHERE s.run_id ="
                      " r.id) AND (r.leased_until IS NULL OR r.leased_until < ?) ORDER BY r.id"
                      " LIMIT 1 @LOCK_OF_R",
                      owner, now, leaseSeconds, id, bytes);
}

bool RunStore::Tell(int64_t id, const std::string& owner, const StoryFigures& story) {
    return Transaction([&](Db& db) {
        DbRows rows;
        return db.Exec("UPDATE runs SET lease_owner = NULL, leased_until = NULL WHERE id = ? AND"
                       " lease_owner = ? RETURNING id",
                       {I(id), T(owner)}, &rows, nullptr) &&
               !rows.empty() && PutStory(db, id, story);
    });
}

Lookup RunStore::Story(int64_t id, std::string* json) {
    DbRows rows;
    Lookup found = Find("SELECT COALESCE(story, '') FROM stories WHERE run_id = ?", {I(id)}, &rows);
    if (found == Lookup::Found) *json = rows[0][0].text;
    return found;
}

bool RunStore::WorkerSeen(const std::string& name, int64_t now) {
    return Run("INSERT INTO workers (name, seen_at) VALUES (?, ?) ON CONFLICT (name) DO UPDATE SET"
               " seen_at = excluded.seen_at",
               {T(name), I(now)}, nullptr);
}

int64_t RunStore::WorkersSince(int64_t since) {
    DbRows rows;
    if (!Run("SELECT COUNT(*) FROM workers WHERE seen_at >= ?", {I(since)}, &rows)) return 0;
    return rows[0][0].AsInt();
}

std::string RunStore::Secret() {
    DbRows rows;
    if (!Run("SELECT value FROM secrets WHERE name = 'session'", {}, &rows) || rows.empty())
        return "";
    return rows[0][0].text;
}

bool RunStore::Clock(int64_t* now) {
    DbRows rows;
    if (!shared_) {
        *now = (int64_t)std::time(nullptr);
        return true;
    }
    if (!Run("SELECT CAST(EXTRACT(EPOCH FROM now()) AS BIGINT)", {}, &rows) || rows.empty())
        return false;
    *now = rows[0][0].AsInt();
    return true;
}

bool RunStore::OpenSession(const Session& s) {
    return Run("INSERT INTO sessions (id, opened_at, seed, day, player_key) VALUES (?, ?, ?, ?, ?)",
               {T(s.id), I(s.openedAt), I(s.seed), T(s.day), T(s.playerKey)}, nullptr);
}

Lookup RunStore::GetSession(const std::string& id, Session* s) {
    DbRows rows;
    Lookup found =
        Find("SELECT id, opened_at, COALESCE(closed_at, 0), COALESCE(sha256, ''), seed,"
             " COALESCE(day, ''), (SELECT MIN(sha256) FROM runs WHERE session_id = sessions.id),"
             " COALESCE(player_key, '') FROM sessions WHERE id = ?",
             {T(id)}, &rows);
    if (found != Lookup::Found) return found;
    const DbRow& r = rows[0];
    *s = Session{r[0].text,    r[3].text,    r[5].text, r[1].AsInt(),
                 r[2].AsInt(), r[4].AsInt(), r[6].text, r[7].text};
    return Lookup::Found;
}

Lookup RunStore::CloseSession(const std::string& id, const std::string& playerKey,
                              const std::string& sha256, int64_t now, int64_t openedSince) {
    DbRows rows;
    return Find("UPDATE sessions SET closed_at = ?, sha256 = ? WHERE id = ? AND closed_at IS NULL"
                " AND opened_at >= ? AND COALESCE(player_key, '') = ? RETURNING id",
                {I(now), T(sha256), T(id), I(openedSince), T(playerKey)}, &rows);
}

bool RunStore::PruneSessions(int64_t openedBefore) {
    return Run("DELETE FROM sessions WHERE closed_at IS NULL AND opened_at < ?", {I(openedBefore)},
               nullptr);
}
