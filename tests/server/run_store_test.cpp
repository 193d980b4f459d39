// The board's store on its own: how many database connections it keeps.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "server/run_store.h"
#include "tests/server/server_process.h"

// Eight callers at once on a store of two connections: none is refused (each waits its turn), and
// no more than two are ever made.
TEST(RunStorePool, KeepsNoMoreConnectionsThanItsBound) {
    std::string file = FreshFolder("pool") + "/board.sqlite";
    std::atomic<int> made{0};
    RunStore store(
        [&](std::string* why) {
            made++;
            return Db_Open(file, why);
        },
        2);
    std::string why;
    ASSERT_TRUE(store.Migrate(&why)) << why;
    std::atomic<int> answered{0};
    std::vector<std::thread> callers;
    for (int k = 0; k < 8; k++)
        callers.emplace_back([&] {
            DbRows rows;
            // A query long enough that the callers overlap.
            if (store.Query("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE"
                            " i < 50000) SELECT COUNT(*) FROM n",
                            {}, &rows))
                answered++;
        });
    for (std::thread& t : callers)
        t.join();
    EXPECT_EQ(answered, 8);
    EXPECT_LE(made, 2);
}
