// Which names a player may take, and which are one name.
#include <gtest/gtest.h>

#include "server/player_names.h"

TEST(PlayerNames, OnlyNamesWithMoreThanDotsAndSpacesAreTaken) {
    const struct {
        const char* sent;
        const char* taken; // trimmed; "" when refused
    } cases[] = {
        {"Bob", "Bob"},
        {"  Bob  ", "Bob"},
        {"Big  Al", "Big  Al"},
        {"Dr. No", "Dr. No"},
        {".", ""},
        {"..", ""},
        {" . . ", ""},
        {"   ", ""},
        {"", ""},
        {"seventeen chars!!", ""},
        {"  sixteen chars!!  ", "sixteen chars!!"},
        {"tab\there", ""},
        {"caf\xc3\xa9", ""},
    };
    for (const auto& c : cases) {
        std::string trimmed = PlayerName_Trimmed(c.sent);
        bool good = PlayerName_Good(trimmed);
        EXPECT_EQ(good ? trimmed : "", c.taken) << '"' << c.sent << '"';
    }
}

TEST(PlayerNames, NamesThatReadAlikeAreOne) {
    const struct {
        const char *a, *b;
        bool same;
    } cases[] = {
        {"Bob", "bob ", true},   {"Big Al", " BIG   AL", true}, {"B0B", "bob", true},
        {"Il1", "lll", true},    {"Nine1", "ninel", true},      {"Bob", "Rob", false},
        {"B o b", "Bob", false}, {"Bob.", "Bob", false},        {"Dom", "D0rn", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlayerName_Key(c.a) == PlayerName_Key(c.b), c.same) << c.a << " / " << c.b;
}
