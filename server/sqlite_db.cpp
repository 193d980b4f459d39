// The SQLite connection: one file in WAL mode, so that readers never wait for the writer, with
// every commit synced to disk (an answered upload survives a crash or a power cut).
#include <sqlite3.h>

#include <unistd.h>

#include <map>
#include <mutex>

#include "server/database.h"

namespace {

// While another connection writes, try again every half millisecond for up to ten seconds.
// SQLite's own busy timeout sleeps in growing steps of up to 100 ms, which put a tenth of a
// second on an upload that met a worker's commit.
int WaitBriefly(void*, int tries) {
    if (tries >= 20000) return 0;
    usleep(500);
    return 1;
}

class SqliteDb : public Db {
  public:
    explicit SqliteDb(sqlite3* db) : db_(db) {}
    ~SqliteDb() override {
        for (auto& s : statements_)
            sqlite3_finalize(s.second);
        sqlite3_close(db_);
    }

    bool Exec(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows,
              std::string* why) override {
        sqlite3_stmt* st = Prepare(sql, why);
        if (!st) return false;
        bool ok = Bind(st, params, why) && Step(st, rows, why);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        if (writing_ && sqlite3_get_autocommit(db_)) writing_ = std::unique_lock<std::mutex>();
        return ok;
    }

    // The server's threads take turns at writing in the order they came, before SQLite's lock:
    // only the workers' processes still meet it.
    bool BeginWrite(std::string* why) override {
        writing_ = std::unique_lock<std::mutex>(WriteTurn());
        if (Exec("BEGIN IMMEDIATE", {}, nullptr, why)) return true;
        writing_ = std::unique_lock<std::mutex>();
        return false;
    }
    bool Shared() const override { return false; }

  private:
    sqlite3* db_;
    std::map<std::string, sqlite3_stmt*> statements_; // prepared once, kept for the connection
    std::unique_lock<std::mutex> writing_;            // held from BeginWrite to the commit's end

    static std::mutex& WriteTurn() {
        static std::mutex turn;
        return turn;
    }

    bool Fail(std::string* why) {
        if (why) *why = sqlite3_errmsg(db_);
        return false;
    }

    sqlite3_stmt* Prepare(const std::string& sql, std::string* why) {
        auto found = statements_.find(sql);
        if (found != statements_.end()) return found->second;
        std::string text = Db_Translate(sql, false);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v3(db_, text.c_str(), (int)text.size() + 1, SQLITE_PREPARE_PERSISTENT,
                               &st, nullptr) != SQLITE_OK) {
            Fail(why);
            return nullptr;
        }
        statements_[sql] = st;
        return st;
    }

    bool Bind(sqlite3_stmt* st, const std::vector<DbValue>& params, std::string* why) {
        for (size_t k = 0; k < params.size(); k++) {
            const DbValue& v = params[k];
            int n = (int)k + 1, rc = SQLITE_OK;
            if (v.kind == DbValue::Int) rc = sqlite3_bind_int64(st, n, v.i);
            if (v.kind == DbValue::Real) rc = sqlite3_bind_double(st, n, v.d);
            if (v.kind == DbValue::Text)
                rc = sqlite3_bind_text(st, n, v.text.data(), (int)v.text.size(), SQLITE_TRANSIENT);
            if (v.kind == DbValue::Blob)
                rc = sqlite3_bind_blob(st, n, v.text.data(), (int)v.text.size(), SQLITE_TRANSIENT);
            if (v.kind == DbValue::Null) rc = sqlite3_bind_null(st, n);
            if (rc != SQLITE_OK) return Fail(why);
        }
        return true;
    }

    static DbValue Column(sqlite3_stmt* st, int c) {
        const void* blob = nullptr;
        switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER:
            return DbValue::Of((int64_t)sqlite3_column_int64(st, c));
        case SQLITE_FLOAT:
            return DbValue::Of(sqlite3_column_double(st, c));
        case SQLITE_BLOB:
            blob = sqlite3_column_blob(st, c);
            return DbValue::Bytes(
                std::string((const char*)blob, (size_t)sqlite3_column_bytes(st, c)));
        case SQLITE_TEXT:
            return DbValue::Of(std::string((const char*)sqlite3_column_text(st, c),
                                           (size_t)sqlite3_column_bytes(st, c)));
        default:
            return DbValue::None();
        }
    }

    bool Step(sqlite3_stmt* st, DbRows* rows, std::string* why) {
        for (;;) {
            int rc = sqlite3_step(st);
            if (rc == SQLITE_DONE) return true;
            if (rc != SQLITE_ROW) return Fail(why);
            if (!rows) continue;
            DbRow row;
            for (int c = 0; c < sqlite3_column_count(st); c++)
                row.push_back(Column(st, c));
            rows->push_back(std::move(row));
        }
    }
};

} // namespace

std::unique_ptr<Db> Db_OpenSqlite(const std::string& path, std::string* why) {
    sqlite3* raw = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &raw, flags, nullptr) != SQLITE_OK) {
        if (why) *why = raw ? sqlite3_errmsg(raw) : "out of memory";
        sqlite3_close(raw);
        return nullptr;
    }
    std::unique_ptr<Db> db(new SqliteDb(raw));
    // The busy handler first: switching to WAL itself waits on another process's lock.
    sqlite3_busy_handler(raw, WaitBriefly, nullptr);
    DbRows mode;
    if (!db->Exec("PRAGMA journal_mode=WAL", {}, &mode, why) ||
        !db->Exec("PRAGMA synchronous=FULL", {}, nullptr, why) ||
        !db->Exec("PRAGMA foreign_keys=ON", {}, nullptr, why))
        return nullptr;
    if (mode.empty() || mode[0][0].text != "wal") {
        if (why) *why = path + ": the database cannot be put in WAL mode";
        return nullptr;
    }
    return db;
}
