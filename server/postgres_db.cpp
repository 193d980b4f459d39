// The PostgreSQL connection, through libpq: each statement prepared once a connection under a
// name of its own, numbers and text sent as text, blobs as binary.
#include <libpq-fe.h>

#include <map>

#include "server/database.h"

namespace {

const Oid kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701;

class PostgresDb : public Db {
  public:
    explicit PostgresDb(PGconn* c) : c_(c) {}
    ~PostgresDb() override { PQfinish(c_); }

    bool Exec(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows,
              std::string* why) override {
        // A connection lost before (the database restarted, say) is made again first: a failed
        // attempt leaves it bad, and the next statement tries again.
        if (PQstatus(c_) == CONNECTION_BAD) Reconnect();
        bool alone = PQtransactionStatus(c_) == PQTRANS_IDLE;
        bool ok = Attempt(sql, params, rows, why);
        if (ok || PQstatus(c_) != CONNECTION_BAD) return ok;
        Reconnect();
        // A connection that died as it lay idle in the pool sent nothing: a read, or the start of
        // a transaction, is tried once more on the new one. A write might have been done, and is
        // not.
        bool repeatable = sql.rfind("SELECT", 0) == 0 || sql == "BEGIN";
        if (alone && repeatable && PQstatus(c_) == CONNECTION_OK)
            return Attempt(sql, params, rows, why);
        return false;
    }

    bool BeginWrite(std::string* why) override { return Exec("BEGIN", {}, nullptr, why); }
    bool Shared() const override { return true; }

  private:
    PGconn* c_;
    std::map<std::string, std::string> prepared_; // statement -> its name on this connection

    bool Attempt(const std::string& sql, const std::vector<DbValue>& params, DbRows* rows,
                 std::string* why) {
        std::string name = Prepare(sql, why);
        if (name.empty()) return false;
        std::vector<std::string> texts(params.size());
        std::vector<const char*> values(params.size());
        std::vector<int> lengths(params.size()), formats(params.size());
        for (size_t k = 0; k < params.size(); k++)
            Param(params[k], &texts[k], &values[k], &lengths[k], &formats[k]);
        PGresult* r = PQexecPrepared(c_, name.c_str(), (int)params.size(), values.data(),
                                     lengths.data(), formats.data(), 0);
        bool ok = Read(r, rows, why);
        PQclear(r);
        return ok;
    }

    // A lost connection is made again; the statements are prepared again as they are next used
    // (a new connection has none of the old one's).
    void Reconnect() {
        PQreset(c_);
        prepared_.clear();
    }

    std::string Prepare(const std::string& sql, std::string* why) {
        auto found = prepared_.find(sql);
        if (found != prepared_.end()) return found->second;
        std::string name = std::string("s").append(std::to_string(prepared_.size() + 1));
        PGresult* r = PQprepare(c_, name.c_str(), Db_Translate(sql, true).c_str(), 0, nullptr);
        bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        if (!ok && why) *why = r ? PQresultErrorMessage(r) : PQerrorMessage(c_);
        PQclear(r);
        if (!ok) return "";
        prepared_[sql] = name;
        return name;
    }

    static void Param(const DbValue& v, std::string* text, const char** value, int* length,
                      int* format) {
        *format = v.kind == DbValue::Blob ? 1 : 0;
        if (v.kind == DbValue::Int) *text = std::to_string(v.i);
        if (v.kind == DbValue::Real) *text = std::to_string(v.d);
        if (v.kind == DbValue::Text || v.kind == DbValue::Blob) *text = v.text;
        *value = v.kind == DbValue::Null ? nullptr : text->data();
        *length = (int)text->size();
    }

    static DbValue Column(PGresult* r, int row, int c) {
        if (PQgetisnull(r, row, c)) return DbValue::None();
        const char* text = PQgetvalue(r, row, c);
        Oid type = PQftype(r, c);
        if (type == kInt8 || type == kInt2 || type == kInt4)
            return DbValue::Of((int64_t)std::strtoll(text, nullptr, 10));
        if (type == kFloat4 || type == kFloat8) return DbValue::Of(std::strtod(text, nullptr));
        if (type != kBytea) return DbValue::Of(std::string(text, (size_t)PQgetlength(r, row, c)));
        size_t n = 0;
        unsigned char* bytes = PQunescapeBytea((const unsigned char*)text, &n);
        DbValue v = DbValue::Bytes(bytes ? std::string((const char*)bytes, n) : std::string());
        PQfreemem(bytes);
        return v;
    }

    bool Read(PGresult* r, DbRows* rows, std::string* why) {
        ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            if (why) *why = r ? PQresultErrorMessage(r) : PQerrorMessage(c_);
            return false;
        }
        if (!rows) return true;
        for (int row = 0; row < PQntuples(r); row++) {
            DbRow out;
            for (int c = 0; c < PQnfields(r); c++)
                out.push_back(Column(r, row, c));
            rows->push_back(std::move(out));
        }
        return true;
    }
};

} // namespace

std::unique_ptr<Db> Db_OpenPostgres(const std::string& url, std::string* why) {
    PGconn* c = PQconnectdb(url.c_str());
    if (!c || PQstatus(c) != CONNECTION_OK) {
        if (why) *why = c ? PQerrorMessage(c) : "out of memory";
        PQfinish(c);
        return nullptr;
    }
    // Notices (a table that already exists) are not the server's to print.
    PQsetNoticeProcessor(
        c, [](void*, const char*) {}, nullptr);
    return std::unique_ptr<Db>(new PostgresDb(c));
}
