// The band pool: every piece of a job runs exactly once, whatever the thread count, also after the
// pool has been stopped and started again (new workers must not run a job long finished).
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "quillon/src/band_pool.h"

namespace {

TEST(BandPool, EveryPieceOnceAcrossRestarts) {
    for (int threads : {3, 1, 2, 5, 2}) {
        BandPool_Start(threads);
        ASSERT_EQ(BandPool_Threads(), threads);
        for (int job = 0; job < 20; job++) {
            std::vector<std::atomic<int>> done(37);
            BandPool_Run(37, [&](int i) { done[(size_t)i]++; });
            for (size_t i = 0; i < done.size(); i++)
                ASSERT_EQ(done[i].load(), 1)
                    << threads << " threads, job " << job << ", piece " << i;
        }
        BandPool_Stop();
    }
}

} // namespace
