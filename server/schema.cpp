// The board's schema, step by step.
#include "server/schema.h"

#include <cstddef>

namespace {

// A name's key of the older way (lower case, runs of spaces as one) folded as names are told apart
// now: its ends trimmed and its look-alikes as one. Spelt out in place, as a string literal.
#define ZORB_FOLD(column)                                                                          \
    "replace(replace(replace(trim(" column "), '0', 'o'), '1', 'l'), 'i', 'l')"

// The schema, step by step: a database at version N is brought up by the steps after N.
const std::vector<std::vector<const char*>> kMigrations = {
    {
        "CREATE TABLE IF NOT EXISTS runs (id @ID, sha256 TEXT NOT NULL UNIQUE, bytes @BYTES NOT "
        "NULL,"
        " player_key TEXT NOT NULL, player_name TEXT NOT NULL, sim_version BIGINT NOT NULL,"
        " seed BIGINT NOT NULL, recorded_at BIGINT NOT NULL, uploaded_at BIGINT NOT NULL,"
        " game_seconds DOUBLE PRECISION NOT NULL, lost_seconds DOUBLE PRECISION NOT NULL,"
        " session_id TEXT UNIQUE, status TEXT NOT NULL DEFAULT 'waiting', reason TEXT,"
        " reject_frame BIGINT, score BIGINT, stage BIGINT, frames BIGINT, tag TEXT,"
        " verified_at BIGINT, lease_owner TEXT, leased_until BIGINT,"
        " hidden BIGINT NOT NULL DEFAULT 0)",
        "CREATE INDEX IF NOT EXISTS runs_queue ON runs (status, id)",
        "CREATE INDEX IF NOT EXISTS runs_counts ON runs (sim_version, status, hidden)",
        "CREATE INDEX IF NOT EXISTS runs_player ON runs (player_key, sim_version)",
        "CREATE TABLE IF NOT EXISTS best (sim_version BIGINT NOT NULL, player_key TEXT NOT NULL,"
        " run_id BIGINT NOT NULL, score BIGINT NOT NULL, verified_at BIGINT NOT NULL,"
        " PRIMARY KEY (sim_version, player_key))",
        "CREATE INDEX IF NOT EXISTS best_board ON best (sim_version, score DESC, verified_at, "
        "run_id)",
        "CREATE TABLE IF NOT EXISTS sessions (id TEXT PRIMARY KEY, opened_at BIGINT NOT NULL,"
        " closed_at BIGINT, sha256 TEXT, seed BIGINT NOT NULL, day TEXT)",
        "CREATE TABLE IF NOT EXISTS workers (name TEXT PRIMARY KEY, seen_at BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS secrets (name TEXT PRIMARY KEY, value TEXT NOT NULL)",
    },
    // 2: the daily board, the day's best run of each player in sessions of that day.
    {
        "ALTER TABLE runs ADD COLUMN day TEXT",
        "CREATE TABLE IF NOT EXISTS best_daily (day TEXT NOT NULL, sim_version BIGINT NOT NULL,"
        " player_key TEXT NOT NULL, run_id BIGINT NOT NULL, score BIGINT NOT NULL,"
        " verified_at BIGINT NOT NULL, PRIMARY KEY (day, sim_version, player_key))",
        "CREATE INDEX IF NOT EXISTS best_daily_board ON best_daily (day, sim_version, score DESC,"
        " verified_at, run_id)",
    },
    // 3: a run is known by its play, whatever its tag or date: one play is one run.
    {
        "ALTER TABLE runs ADD COLUMN play_sha256 TEXT",
        "CREATE UNIQUE INDEX IF NOT EXISTS runs_play ON runs (play_sha256)",
    },
    // 4: a name belongs to one key, the first to use it (name_key: the name without case, its
    // runs of spaces as one).
    {
        "CREATE TABLE IF NOT EXISTS names (name_key TEXT PRIMARY KEY,"
        " player_key TEXT NOT NULL UNIQUE)",
    },
    // 5: the address each run came from, so that the queue serves senders in turn.
    {
        "ALTER TABLE runs ADD COLUMN client TEXT",
    },
    // 6: old runs' recordings let go (their rows and SHA-256 stay): dropped marks them.
    {
        "ALTER TABLE runs ADD COLUMN dropped BIGINT NOT NULL DEFAULT 0",
    },
    // 7: the boards apart. Ranked runs were played in a session of their sender's key on its seed
    // and clock; every other run that verifies is open (unranked says why), and bots' runs have a
    // board of their own. Until now only the daily sessions gave the seed: every other run kept
    // so far goes to the open board.
    {
        "ALTER TABLE sessions ADD COLUMN player_key TEXT",
        "ALTER TABLE runs ADD COLUMN board TEXT NOT NULL DEFAULT 'ranked'",
        "ALTER TABLE runs ADD COLUMN unranked TEXT",
        "UPDATE runs SET board = 'open', unranked = CASE WHEN session_id IS NULL THEN"
        " 'no session: it was sent without one' ELSE 'its own seed: it was played before"
        " sessions gave seeds' END WHERE day IS NULL",
        "CREATE TABLE IF NOT EXISTS best_open (sim_version BIGINT NOT NULL, player_key TEXT NOT"
        " NULL, run_id BIGINT NOT NULL, score BIGINT NOT NULL, verified_at BIGINT NOT NULL,"
        " PRIMARY KEY (sim_version, player_key))",
        "CREATE INDEX IF NOT EXISTS best_open_board ON best_open (sim_version, score DESC,"
        " verified_at, run_id)",
        "CREATE TABLE IF NOT EXISTS best_bots (sim_version BIGINT NOT NULL, player_key TEXT NOT"
        " NULL, run_id BIGINT NOT NULL, score BIGINT NOT NULL, verified_at BIGINT NOT NULL,"
        " PRIMARY KEY (sim_version, player_key))",
        "CREATE INDEX IF NOT EXISTS best_bots_board ON best_bots (sim_version, score DESC,"
        " verified_at, run_id)",
        "DELETE FROM best",
        "INSERT INTO best (sim_version, player_key, run_id, score, verified_at) SELECT"
        " sim_version, player_key, id, score, verified_at FROM (SELECT sim_version, player_key,"
        " id, score, verified_at, ROW_NUMBER() OVER (PARTITION BY sim_version, player_key ORDER"
        " BY score DESC, verified_at, id) AS n FROM runs WHERE status = 'verified' AND hidden = 0"
        " AND board = 'ranked') AS ranked WHERE n = 1",
        "INSERT INTO best_open (sim_version, player_key, run_id, score, verified_at) SELECT"
        " sim_version, player_key, id, score, verified_at FROM (SELECT sim_version, player_key,"
        " id, score, verified_at, ROW_NUMBER() OVER (PARTITION BY sim_version, player_key ORDER"
        " BY score DESC, verified_at, id) AS n FROM runs WHERE status = 'verified' AND hidden = 0"
        " AND board = 'open') AS open_runs WHERE n = 1",
    },
    // 8: review of the top places, the moderator's reason for hiding a run, and the figures of the
    // hands behind a run that a moderator judges it by.
    {
        "ALTER TABLE runs ADD COLUMN review TEXT",
        "ALTER TABLE runs ADD COLUMN hidden_reason TEXT",
        "ALTER TABLE runs ADD COLUMN turn_spread DOUBLE PRECISION NOT NULL DEFAULT 0",
        "ALTER TABLE runs ADD COLUMN fire_presses DOUBLE PRECISION NOT NULL DEFAULT 0",
        "ALTER TABLE runs ADD COLUMN reaction_seconds DOUBLE PRECISION NOT NULL DEFAULT 0",
        "ALTER TABLE runs ADD COLUMN reaction_count BIGINT NOT NULL DEFAULT 0",
        "CREATE INDEX IF NOT EXISTS runs_review ON runs (review)",
    },
    // 9: each verified run's story (its JSON), with the figures a player's totals add up:
    // kills by enemy kind, shots and hits by weapon. told is 0 where the replay could not tell it
    // (the run no longer verifies), so that it is not tried again.
    {
        "CREATE TABLE IF NOT EXISTS stories (run_id BIGINT PRIMARY KEY, told BIGINT NOT NULL,"
        " story TEXT, kills_0 BIGINT NOT NULL DEFAULT 0, kills_1 BIGINT NOT NULL DEFAULT 0,"
        " kills_2 BIGINT NOT NULL DEFAULT 0, kills_3 BIGINT NOT NULL DEFAULT 0,"
        " kills_4 BIGINT NOT NULL DEFAULT 0, kills_5 BIGINT NOT NULL DEFAULT 0,"
        " kills_6 BIGINT NOT NULL DEFAULT 0, kills_7 BIGINT NOT NULL DEFAULT 0,"
        " shots_0 BIGINT NOT NULL DEFAULT 0, shots_1 BIGINT NOT NULL DEFAULT 0,"
        " shots_2 BIGINT NOT NULL DEFAULT 0, hits_0 BIGINT NOT NULL DEFAULT 0,"
        " hits_1 BIGINT NOT NULL DEFAULT 0, hits_2 BIGINT NOT NULL DEFAULT 0)",
        "CREATE INDEX IF NOT EXISTS runs_verified ON runs (status, dropped, id)",
    },
    // 10: the day's seed is public, so the day's runs stand on that day's board alone: all time
    // is made again from the ranked runs on seeds their sessions alone were given.
    {
        "DELETE FROM best",
        "INSERT INTO best (sim_version, player_key, run_id, score, verified_at) SELECT"
        " sim_version, player_key, id, score, verified_at FROM (SELECT sim_version, player_key,"
        " id, score, verified_at, ROW_NUMBER() OVER (PARTITION BY sim_version, player_key ORDER"
        " BY score DESC, verified_at, id) AS n FROM runs WHERE status = 'verified' AND hidden = 0"
        " AND board = 'ranked' AND day IS NULL AND COALESCE(review, '') <> 'pending') AS ranked"
        " WHERE n = 1",
    },
    // 11: the play hash takes in only what steers the simulation: the runs hashed before are
    // marked, to be hashed again from their recordings as the server starts.
    {
        "ALTER TABLE runs ADD COLUMN play_old BIGINT NOT NULL DEFAULT 0",
        "UPDATE runs SET play_old = 1",
    },
    // 12: names told apart with their ends trimmed and their look-alikes as one (0 and O; 1, I
    // and l). Of names kept before that are now one, the first in order keeps it.
    {
        "DELETE FROM names WHERE EXISTS (SELECT 1 FROM names n WHERE " ZORB_FOLD(
            "n.name_key") " = " ZORB_FOLD("names.name_key") " AND n.name_key < names.name_key)",
        "UPDATE names SET name_key = " ZORB_FOLD("name_key"),
    },
    // 13: the board's own settings, which every server and worker on it follows (review_top: how
    // many top places a ranked run waits for review to enter).
    {
        "CREATE TABLE IF NOT EXISTS board_settings (name TEXT PRIMARY KEY, value BIGINT NOT NULL)",
    },
};

} // namespace

int64_t Schema_Version() {
    return (int64_t)kMigrations.size();
}

const std::vector<const char*>& Schema_Step(int64_t step) {
    return kMigrations[(size_t)step];
}
