// What zorb-headless --verify's answer means to the server.
#include <gtest/gtest.h>

#include "server/verifier.h"

TEST(Verifier, ReadsTheReplaysAnswer) {
    struct Case {
        const char* output;
        int status;
        bool verified;
        long score, stage, frames, rejectFrame;
        const char* tag;
    } cases[] = {
        {"verified: 11610 frames, 193 checkpoints matched, score 230, stage 3\n", 0, true, 230, 3,
         11610, -1, ""},
        {"verified: 738 frames, 12 checkpoints matched, score 40, stage 1, tag BOT\n", 0, true, 40,
         1, 738, -1, "BOT"},
        {"the run strays from its recording at frame 120: the recording's state hash 1, the game's "
         "2\n",
         1, false, 0, 0, 0, 120, ""},
        {"the recording is damaged after frame 88 (1 checkpoints matched)\n", 1, false, 0, 0, 0, 88,
         ""},
        // A line that reads as verified from a program that failed is not believed.
        {"verified: 1 frames, 0 checkpoints matched, score 999, stage 8\n", 1, false, 0, 0, 0, -1,
         ""},
        {"", -1, false, 0, 0, 0, -1, ""},
    };
    for (const Case& c : cases) {
        Verdict v = Verifier_Read(c.output, c.status);
        EXPECT_EQ(v.verified, c.verified) << c.output;
        EXPECT_EQ(v.score, c.score) << c.output;
        EXPECT_EQ(v.stage, c.stage) << c.output;
        EXPECT_EQ(v.frames, c.frames) << c.output;
        EXPECT_EQ(v.rejectFrame, c.rejectFrame) << c.output;
        EXPECT_EQ(v.tag, c.tag) << c.output;
        EXPECT_EQ(v.reason.empty(), c.verified) << c.output;
    }
}
