// One connection to the server's database, SQLite or PostgreSQL, behind one small interface:
// statements are written once, with ? for each parameter, and always prepared with their
// parameters bound, never pasted into the text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A parameter or a column's value. Numbers are bound as numbers; a blob's bytes sit in text.
struct DbValue {
    enum Kind { Null, Int, Real, Text, Blob } kind = Null;
    int64_t i = 0;
    double d = 0.0;
    std::string text;

    static DbValue Of(int64_t v);
    static DbValue Of(double v);
    static DbValue Of(const std::string& v);
    static DbValue Bytes(const std::string& v);
    static DbValue None();
    // A column read as a number or as text (0 or empty when null).
    int64_t AsInt() const;
    double AsReal() const;
    bool IsNull() const { return kind == Null; }
};
using DbRow = std::vector<DbValue>;
using DbRows = std::vector<DbRow>;

class Db {
  public:
    virtual ~Db() = default;
    // Runs one statement with its parameters; rows (may be null) receives what it returns.
    // False with the database's message on failure.
    virtual bool Exec(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows,
                      std::string* why) = 0;
    // Starts a transaction that writes: SQLite takes its write lock at once.
    virtual bool BeginWrite(std::string* why) = 0;
    // Whether this is PostgreSQL, shared by servers on several machines.
    virtual bool Shared() const = 0;
};

// A statement's text for one database. The few words that differ are written as marks: @ID (the
// row's own growing number), @BYTES (a blob), @LOCK (a claim that skips rows others hold).
std::string Db_Translate(const std::string& sql, bool postgres);

// The SQLite file at path, made if missing, in WAL mode with a busy timeout.
std::unique_ptr<Db> Db_OpenSqlite(const std::string& path, std::string* why);
// A PostgreSQL connection from a postgresql:// address.
std::unique_ptr<Db> Db_OpenPostgres(const std::string& url, std::string* why);
// Either, by the address: postgresql:// or postgres:// is PostgreSQL, anything else a file.
std::unique_ptr<Db> Db_Open(const std::string& where, std::string* why);
