// A display chosen by its description: found by name and bounds, or by name and size where the
// monitors were laid out anew; else the primary. Headless, the window steps through displays.
#include <gtest/gtest.h>

#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "quillon/src/displays.h"

namespace {

TEST(Displays, AChosenDisplayIsFoundByItsDescriptionOrThePrimaryTakesItsPlace) {
    const QL_Display list[] = {{"DP-1", 0, 0, 2560, 1440},
                               {"HDMI-1", 2560, 0, 1920, 1080},
                               {"HDMI-2", 4480, 0, 1920, 1080}};
    struct Case {
        QL_Display wanted;
        int expected;
        const char* what;
    } cases[] = {
        {{"HDMI-1", 2560, 0, 1920, 1080}, 1, "name and bounds"},
        {{"HDMI-2", 0, 0, 1920, 1080}, 2, "moved in the layout: name and size"},
        {{"HDMI-1", 2560, 0, 1280, 1024}, 0, "another monitor on the same port"},
        {{"DVI-1", 2560, 0, 1920, 1080}, 0, "gone"},
        {{"", 2560, 0, 1920, 1080}, 0, "none chosen"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Displays_Match(list, 3, c.wanted), c.expected) << c.what;
}

TEST(Displays, HeadlessTheWindowMovesAmongItsDisplays) {
    ASSERT_TRUE(QLH_Start(320, 240, 0.01f));
    QLH_SetDisplayCount(2);
    QL_Display second;
    ASSERT_TRUE(QL_System_GetDisplay(1, &second));
    EXPECT_STREQ(second.name, "HEADLESS 2");
    EXPECT_EQ(second.x, 320);
    QL_System_ChooseDisplay(second);
    EXPECT_EQ(QL_System_GetWindowDisplay(), 1);
    QL_System_MoveToDisplay(5);
    EXPECT_EQ(QL_System_GetWindowDisplay(), 1) << "no such display";
    QLH_Shutdown();
}

} // namespace
