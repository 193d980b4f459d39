// What an upload says of the hands behind it: the spread of the mouse's turn from frame to frame
// and the presses of fire a second, read from its commands.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "server/upload_check.h"

namespace {

// A recording of one second: 100 frames of 10 ms, turning by turn(k) and firing when fire(k).
std::string Recording(float (*turn)(int), bool (*fire)(int)) {
    std::string path = ::testing::TempDir() + "hands.zrun";
    RunWriter w;
    RunHeader h;
    h.mouseSensitivity = 0.5f;
    h.fieldOfView = 70.0f;
    EXPECT_TRUE(RunWriter_Open(&w, path, h));
    for (int k = 0; k < 100; k++) {
        RunCommand c;
        c.dt = 0.01f;
        c.mouseTurn = turn(k);
        c.fire = fire(k);
        RunWriter_Frame(&w, c);
    }
    RunWriter_End(&w, RunEnd{0, 1, 100});
    EXPECT_TRUE(RunWriter_Finish(&w, nullptr));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::remove(path.c_str());
    return bytes;
}

} // namespace

TEST(UploadCheck, TheHandsBehindARunAreMeasured) {
    const struct {
        const char* what;
        float (*turn)(int);
        bool (*fire)(int);
        double spread, presses;
    } cases[] = {
        {"still, fire held", [](int) { return 0.0f; }, [](int) { return true; }, 0.0, 1.0},
        {"a steady turn", [](int) { return 3.0f; }, [](int) { return false; }, 0.0, 0.0},
        {"a turn back and forth, fire tapped five times",
         [](int k) { return k % 2 ? 2.0f : -2.0f; }, [](int k) { return k % 20 == 0; }, 2.0, 5.0},
    };
    for (const auto& c : cases) {
        UploadFacts facts;
        std::string why;
        ASSERT_TRUE(Upload_Check(Recording(c.turn, c.fire), 2000000000, &facts, &why))
            << c.what << ": " << why;
        EXPECT_NEAR(facts.turnSpread, c.spread, 1e-6) << c.what;
        EXPECT_NEAR(facts.firePresses, c.presses, 1e-3) << c.what;
        EXPECT_NEAR(facts.gameSeconds, 1.0, 1e-3) << c.what;
    }
}
