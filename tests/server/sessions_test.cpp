// The rules a run is ranked by against its session: its key, its recording, its clock, its seed.
#include <gtest/gtest.h>

#include "server/sessions.h"

namespace {

struct Case {
    const char* what;
    double gameSeconds, lostSeconds;
    int64_t wallSeconds;
    const char* unranked; // the reason's first words, or "" when ranked
};

} // namespace

TEST(SessionRules, ARunIsRankedOnlyWhenPlayedLiveOnTheSessionsClock) {
    const Case cases[] = {
        {"live", 100, 0, 101, ""},
        {"a game a little behind the clock", 100, 0, 104, ""},
        {"slow frames a player could not help", 100, 1.9, 102, ""},
        {"three seconds lost in a short run", 10, 3.0, 13, ""},
        {"slow frames beyond their share", 200, 4.5, 205, "slowed play"},
        {"slow motion it does not declare", 100, 0, 130, "slowed play"},
        {"more game time than the session lasted", 100, 0, 90, "sped-up play"},
        {"lost time declared to fill the clock", 30, 60, 90, "slowed play"},
    };
    for (const Case& c : cases) {
        Session s{"id", "run", "", 1000, 1000 + c.wallSeconds, 77, "", "key"};
        UploadFacts facts;
        facts.header.seed = 77;
        facts.gameSeconds = c.gameSeconds;
        facts.lostSeconds = c.lostSeconds;
        std::string why = Session_Unranked(s, "run", "untagged", "key", facts);
        EXPECT_EQ(why.substr(0, why.find(':')), c.unranked) << c.what << ": " << why;
    }
}

TEST(SessionRules, TheSessionMustBeTheSendersAndClosedWithTheRun) {
    Session s{"id", "untagged", "", 1000, 1010, 77, "", "key"};
    UploadFacts facts;
    facts.header.seed = 77;
    facts.gameSeconds = 10;
    EXPECT_EQ(Session_Unranked(s, "tagged", "untagged", "key", facts), "");
    const struct {
        const char* what;
        Session session;
        const char* key;
        uint32_t seed;
        int64_t checkpoints; // of the 10 that 600 frames carry
        const char* unranked;
    } cases[] = {
        {"another key", s, "thief", 77, 10, "another key's session"},
        {"opened without a key", Session{"id", "untagged", "", 1000, 1010, 77, "", ""}, "key", 77,
         10, "another key's session"},
        {"never closed", Session{"id", "", "", 1000, 0, 77, "", "key"}, "key", 77, 10,
         "an open session"},
        {"closed with another run", Session{"id", "other", "", 1000, 1010, 77, "", "key"}, "key",
         77, 10, "another run's session"},
        {"another seed", s, "key", 78, 10, "its own seed"},
        {"a checkpoint taken out", s, "key", 77, 9, "checkpoints taken out"},
        {"every checkpoint", s, "key", 77, 10, ""},
    };
    facts.end.frames = 600;
    for (const auto& c : cases) {
        facts.header.seed = c.seed;
        facts.checkpoints = c.checkpoints;
        std::string why = Session_Unranked(c.session, "tagged", "untagged", c.key, facts);
        EXPECT_EQ(why.substr(0, why.find(':')), c.unranked) << c.what << ": " << why;
    }
}
