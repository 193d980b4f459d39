// A player's record, read in a few statements on indexed columns.
#include "server/player_record.h"

#include "server/player_names.h"

namespace {

DbValue I(int64_t v) {
    return DbValue::Of(v);
}
DbValue T(const std::string& v) {
    return DbValue::Of(v);
}

// The key that goes by the name: the one that claimed it (every run sent claims its name). Read
// by the names' key alone, so that asking for names no one holds costs no search of the runs.
bool KeyOf(RunStore& store, const std::string& name, std::string* key, Lookup* found) {
    DbRows rows;
    if (!store.Query("SELECT player_key FROM names WHERE name_key = ?", {T(PlayerName_Key(name))},
                     &rows)) {
        *found = Lookup::Failed;
        return false;
    }
    *found = rows.empty() ? Lookup::Missing : Lookup::Found;
    if (!rows.empty()) *key = rows[0][0].text;
    return !rows.empty();
}

bool Best(RunStore& store, const std::string& key, int64_t version, const std::string& today,
          std::vector<PlayerBest>* best) {
    struct Board {
        const char *name, *table;
    } boards[] = {
        {"all", "best"}, {"today", "best_daily"}, {"open", "best_open"}, {"bots", "best_bots"}};
    for (const Board& b : boards) {
        std::vector<DbValue> params = {I(version), T(key)};
        bool daily = std::string(b.name) == "today";
        if (daily) params.push_back(T(today));
        std::vector<RunRow> rows;
        if (!store.Select(std::string("id IN (SELECT run_id FROM ") + b.table +
                              " WHERE sim_version = ? AND player_key = ?" +
                              (daily ? " AND day = ?" : "") + ")",
                          params, &rows))
            return false;
        for (const RunRow& r : rows)
            best->push_back(PlayerBest{b.name, r});
    }
    return true;
}

const char* const kShown = "player_key = ? AND status = 'verified' AND hidden = 0";

bool Runs(RunStore& store, const std::string& key, PlayerRecord* p) {
    DbRows count;
    if (!store.Select(std::string(kShown) + " ORDER BY id DESC LIMIT ? OFFSET ?",
                      {T(key), I(kPlayerRunsAPage + 1), I(p->offset)}, &p->runs) ||
        !store.Query(std::string("SELECT COUNT(*) FROM runs WHERE ") + kShown, {T(key)}, &count))
        return false;
    p->runCount = count.empty() ? 0 : count[0][0].AsInt();
    p->more = (int64_t)p->runs.size() > kPlayerRunsAPage;
    if (p->more) p->runs.pop_back();
    return true;
}

bool Days(RunStore& store, const std::string& key, std::vector<DayPoint>* days) {
    DbRows rows;
    if (!store.Query(
            std::string("SELECT recorded_at / 86400, MAX(score), COUNT(*) FROM runs WHERE ") +
                kShown + " GROUP BY recorded_at / 86400 ORDER BY 1",
            {T(key)}, &rows))
        return false;
    for (const DbRow& r : rows)
        days->push_back(DayPoint{r[0].AsInt(), r[1].AsInt(), r[2].AsInt()});
    return true;
}

bool Totals(RunStore& store, const std::string& key, PlayerTotals* t) {
    std::string sums;
    for (int k = 0; k < 8; k++)
        sums += ", CAST(COALESCE(SUM(s.kills_" + std::to_string(k) + "), 0) AS BIGINT)";
    for (int k = 0; k < 3; k++)
        sums += ", CAST(COALESCE(SUM(s.shots_" + std::to_string(k) +
                "), 0) AS BIGINT), CAST(COALESCE(SUM(s.hits_" + std::to_string(k) +
                "), 0) AS BIGINT)";
    DbRows rows;
    if (!store.Query("SELECT COUNT(*)" + sums +
                         " FROM stories s JOIN runs r ON r.id = s.run_id WHERE r.player_key = ?"
                         " AND r.status = 'verified' AND r.hidden = 0 AND s.told = 1",
                     {T(key)}, &rows) ||
        rows.empty())
        return false;
    const DbRow& r = rows[0];
    t->told = r[0].AsInt();
    for (int k = 0; k < 8; k++)
        t->kills[k] = r[1 + k].AsInt();
    for (int k = 0; k < 3; k++) {
        t->shots[k] = r[9 + 2 * k].AsInt();
        t->hits[k] = r[10 + 2 * k].AsInt();
    }
    return true;
}

bool Places(RunStore& store, const std::string& key, int64_t version,
            std::vector<PlayerDayPlace>* places) {
    DbRows rows;
    if (!store.Query("SELECT d.day, d.score, d.run_id, (SELECT COUNT(*) FROM best_daily b WHERE"
                     " b.day = d.day AND b.sim_version = d.sim_version AND (b.score > d.score OR"
                     " (b.score = d.score AND (b.verified_at < d.verified_at OR (b.verified_at ="
                     " d.verified_at AND b.run_id < d.run_id))))) + 1 FROM best_daily d WHERE"
                     " d.player_key = ? AND d.sim_version = ? ORDER BY d.day DESC LIMIT 100",
                     {T(key), I(version)}, &rows))
        return false;
    for (const DbRow& r : rows)
        places->push_back(PlayerDayPlace{r[0].text, r[3].AsInt(), r[1].AsInt(), r[2].AsInt()});
    return true;
}

} // namespace

Lookup PlayerRecord_Load(RunStore& store, const std::string& name, int64_t simVersion,
                         const std::string& today, int64_t offset, PlayerRecord* p) {
    std::string key;
    Lookup found = Lookup::Missing;
    if (!KeyOf(store, name, &key, &found)) return found;
    p->offset = offset;
    DbRows latest;
    if (!store.Query("SELECT player_name FROM runs WHERE player_key = ? ORDER BY id DESC LIMIT 1",
                     {T(key)}, &latest) ||
        !Best(store, key, simVersion, today, &p->best) || !Runs(store, key, p) ||
        !Days(store, key, &p->days) || !Totals(store, key, &p->totals) ||
        !Places(store, key, simVersion, &p->places))
        return Lookup::Failed;
    // A key that claimed the name but sent no run: no one to show.
    if (latest.empty()) return Lookup::Missing;
    p->name = latest[0][0].text;
    return Lookup::Found;
}
