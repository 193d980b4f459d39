// Runs stored while the play hash still took in fields the simulation never reads, hashed again.
#include "server/play_rehash.h"

#include <climits>

#include "server/upload_check.h"

namespace {

// How many runs are read at once.
const int64_t kBatch = 32;

// The play hash of a recording, or "" when it cannot be read (its bytes let go).
std::string PlayOf(const std::string& bytes) {
    UploadFacts facts;
    std::string why;
    if (bytes.empty() || !Upload_Check(bytes, INT64_MAX / 2, &facts, &why)) return "";
    return facts.playSha256;
}

bool Rehash(RunStore& store, int64_t id, const std::string& bytes) {
    std::string play = PlayOf(bytes);
    DbRows earlier;
    if (!play.empty() &&
        !store.Query("SELECT id FROM runs WHERE play_sha256 = ? AND id <> ? ORDER BY id LIMIT 1",
                     {DbValue::Of(play), DbValue::Of(id)}, &earlier))
        return false;
    if (!earlier.empty() &&
        !store.SetHidden(id, true, "the same play as run " + std::to_string(earlier[0][0].AsInt())))
        return false;
    // A copy, or a run whose recording is gone, keeps the hash it has.
    bool keep = play.empty() || !earlier.empty();
    return store.Query("UPDATE runs SET play_old = 0, play_sha256 = COALESCE(?, play_sha256)"
                       " WHERE id = ?",
                       {keep ? DbValue::None() : DbValue::Of(play), DbValue::Of(id)}, nullptr);
}

} // namespace

bool PlayRehash_Run(RunStore& store, std::string* why) {
    for (;;) {
        DbRows rows;
        if (!store.Query("SELECT id, bytes FROM runs WHERE play_old = 1 ORDER BY id LIMIT ?",
                         {DbValue::Of(kBatch)}, &rows))
            break;
        if (rows.empty()) return true;
        for (const DbRow& r : rows)
            if (!Rehash(store, r[0].AsInt(), r[1].text)) {
                *why = "cannot hash run " + std::to_string(r[0].AsInt()) + "'s play again";
                return false;
            }
    }
    *why = "cannot read the runs whose plays are to be hashed again";
    return false;
}
