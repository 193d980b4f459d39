// The board's charts and the stories they are drawn from: the shapes a chart holds (not its
// bytes) at the edges of what a run can be, and stories that are damaged or hostile.
#include "server/charts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>

namespace {

// Every number in the drawing's attributes: all finite, all inside the view box.
void ExpectInside(const std::string& svg, const std::string& what) {
    EXPECT_EQ(svg.find("nan"), std::string::npos) << what;
    EXPECT_EQ(svg.find("inf"), std::string::npos) << what;
    std::regex number(R"((?:x|y|x1|x2|y1|y2|cx|cy|width|height)="(-?[0-9.]+)\")");
    for (std::sregex_iterator m(svg.begin(), svg.end(), number), end; m != end; ++m) {
        double v = std::stod((*m)[1]);
        EXPECT_GE(v, 0.0) << what << ": " << m->str();
        EXPECT_LE(v, (double)kChartWidth) << what << ": " << m->str();
    }
}

int Count(const std::string& svg, const std::string& tag) {
    int n = 0;
    for (size_t at = svg.find(tag); at != std::string::npos; at = svg.find(tag, at + 1))
        n++;
    return n;
}

// The points of the score's line, as (x, y) pairs.
std::vector<std::pair<double, double>> LinePoints(const std::string& svg) {
    std::smatch m;
    std::vector<std::pair<double, double>> points;
    if (!std::regex_search(svg, m, std::regex("<polyline class=\"score\" points=\"([^\"]*)\"")))
        return points;
    std::string text = m[1];
    std::regex pair(R"((-?[0-9.]+),(-?[0-9.]+))");
    for (std::sregex_iterator p(text.begin(), text.end(), pair), end; p != end; ++p)
        points.emplace_back(std::stod((*p)[1]), std::stod((*p)[2]));
    return points;
}

StoryView Story(const std::string& json) {
    StoryView v;
    EXPECT_TRUE(StoryView_Read(json, &v)) << json;
    return v;
}

} // namespace

TEST(Charts, TheScoreChartHoldsItsShapesAtTheEdges) {
    struct Case {
        const char* name;
        const char* json;
        size_t stages, lives, leastPoints;
    } cases[] = {
        {"no kill: the score stays at 0",
         R"({"seconds":12.5,"score":0,"stages":[0],"scoreBySecond":[0,0,0,0,0,0,0,0,0,0,0,0,0]})",
         1, 0, 2},
        {"one second, a life lost at its end",
         R"({"seconds":1.0,"score":30,"stages":[0],"scoreBySecond":[0,30],
             "livesLost":[{"seconds":1.0,"x":3,"y":4,"stage":1,"by":"touch","which":0}]})",
         1, 1, 2},
        {"no second at all", R"({"seconds":0,"score":0})", 0, 0, 2},
        {"three stages, two lives",
         R"({"seconds":130.2,"score":500,"stages":[0,51.2,102.4],"scoreBySecond":[0,10,20],
             "livesLost":[{"seconds":60},{"seconds":129}]})",
         3, 2, 3},
    };
    for (const Case& c : cases) {
        std::string svg = Chart_Score(Story(c.json));
        ExpectInside(svg, c.name);
        EXPECT_EQ(Count(svg, "<rect class=\"stage\""), (int)c.stages) << c.name;
        EXPECT_EQ(Count(svg, "<circle class=\"life\""), (int)c.lives) << c.name;
        EXPECT_EQ(Count(svg, "<title>"), 1) << c.name;
        auto points = LinePoints(svg);
        ASSERT_GE(points.size(), c.leastPoints) << c.name << ": the line is drawn";
        for (size_t k = 1; k < points.size(); k++)
            EXPECT_GE(points[k].first, points[k - 1].first) << c.name << ": time runs forward";
    }
    // A score that stays at 0 lies along the bottom; one that reaches its most touches the top.
    auto flat = LinePoints(Chart_Score(Story(cases[0].json)));
    EXPECT_EQ(flat.front().second, flat.back().second);
    auto rising = LinePoints(Chart_Score(Story(cases[1].json)));
    EXPECT_LT(rising.back().second, rising.front().second);
}

TEST(Charts, ALongRunIsDrawnWithAFewHundredPoints) {
    std::string seconds = "0";
    for (int k = 1; k <= 10800; k++)
        seconds += "," + std::to_string(k);
    std::string svg =
        Chart_Score(Story(R"({"seconds":10800,"score":10800,"scoreBySecond":[)" + seconds + "]}"));
    size_t points = LinePoints(svg).size();
    EXPECT_GT(points, 100u);
    EXPECT_LE(points, 800u);
    ExpectInside(svg, "three hours");
}

TEST(Charts, TheDaysChartHasABarADay) {
    EXPECT_EQ(Count(Chart_ByDay({}), "<rect class=\"day\""), 0);
    std::string one = Chart_ByDay({DayPoint{20000, 230, 1}});
    EXPECT_EQ(Count(one, "<rect class=\"day\""), 1);
    ExpectInside(one, "one day");
    std::string gaps = Chart_ByDay({{20000, 100, 2}, {20003, 0, 1}, {20400, 900, 5}});
    EXPECT_EQ(Count(gaps, "<rect class=\"day\""), 3);
    ExpectInside(gaps, "days far apart");
}

// A story's JSON is the board's own, but it is read as if it were anyone's: what is not a story
// is refused, and figures out of bounds are held in them.
TEST(Charts, StoriesAreReadWithoutTrustingThem) {
    StoryView v;
    for (const char* bad : {"", "[]", "nul", "{\"seconds\": "})
        EXPECT_FALSE(StoryView_Read(bad, &v)) << bad;
    v = Story(R"({"seconds":-5,"score":-3,"stage":99,"kills":[-1,"x",2],
                  "weapons":[{"shots":2,"hits":9},{"shots":"many"}],
                  "hurt":[{"by":"touch","which":99,"count":1}],"scoreBySecond":[1e300,"x",-4],
                  "livesLost":[{"seconds":1e308,"stage":-2}]})");
    EXPECT_EQ(v.seconds, 0.0);
    EXPECT_EQ(v.score, 0);
    EXPECT_EQ(v.kills[0], 0);
    EXPECT_EQ(v.kills[2], 2);
    EXPECT_EQ(v.weapons[0].hits, 2) << "never more hits than shots";
    EXPECT_EQ(v.weapons[1].shots, 0);
    EXPECT_EQ(v.hurt[0].which, 7);
    EXPECT_EQ(StoryView_HurtWords("touch", 7).rfind("touch: ", 0), 0u);
    ExpectInside(Chart_Score(v), "a hostile story");
}
