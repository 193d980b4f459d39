// The values shared by both databases, and the choice between them.
#include "server/database.h"

#include <cstdlib>

DbValue DbValue::Of(int64_t v) {
    DbValue x;
    x.kind = Int;
    x.i = v;
    return x;
}
DbValue DbValue::Of(double v) {
    DbValue x;
    x.kind = Real;
    x.d = v;
    return x;
}
DbValue DbValue::Of(const std::string& v) {
    DbValue x;
    x.kind = Text;
    x.text = v;
    return x;
}
DbValue DbValue::Bytes(const std::string& v) {
    DbValue x;
    x.kind = Blob;
    x.text = v;
    return x;
}
DbValue DbValue::None() {
    return DbValue();
}

int64_t DbValue::AsInt() const {
    if (kind == Int) return i;
    if (kind == Real) return (int64_t)d;
    if (kind == Text) return std::strtoll(text.c_str(), nullptr, 10);
    return 0;
}

double DbValue::AsReal() const {
    if (kind == Real) return d;
    if (kind == Int) return (double)i;
    if (kind == Text) return std::strtod(text.c_str(), nullptr);
    return 0.0;
}

std::unique_ptr<Db> Db_Open(const std::string& where, std::string* why) {
    if (where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0)
        return Db_OpenPostgres(where, why);
    return Db_OpenSqlite(where, why);
}

static void ReplaceAll(std::string* s, const std::string& from, const std::string& to) {
    for (size_t at = s->find(from); at != std::string::npos; at = s->find(from, at + to.size()))
        s->replace(at, from.size(), to);
}

std::string Db_Translate(const std::string& sql, bool postgres) {
    std::string out = sql;
    ReplaceAll(&out, "@ID",
               postgres ? "BIGSERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY AUTOINCREMENT");
    ReplaceAll(&out, "@BYTES", postgres ? "BYTEA" : "BLOB");
    // Of the rows of table r alone, where the query reads others (a ranking over the queue).
    ReplaceAll(&out, "@LOCK_OF_R", postgres ? "FOR UPDATE OF r SKIP LOCKED" : "");
    ReplaceAll(&out, "@LOCK", postgres ? "FOR UPDATE SKIP LOCKED" : "");
    if (!postgres) return out;
    // PostgreSQL numbers its parameters: $1, $2...
    std::string numbered;
    int n = 0;
    for (char c : out) {
        if (c == '?')
            numbered.append("$").append(std::to_string(++n));
        else
            numbered += c;
    }
    return numbered;
}
