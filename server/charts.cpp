// Drawing the charts.
#include "server/charts.h"

#include <algorithm>
#include <cstdio>

#include "core/constants.h"
#include "game/game_update.h"
#include "server/pages.h"
#include "server/utc_text.h"

namespace {

// The plot inside the drawing, leaving room for the axes' words.
const double kLeft = 56, kRight = kChartWidth - 12, kTop = 14, kBottom = kChartHeight - 30;
// The most points a line is drawn with: a long run's seconds are sampled down to these.
const size_t kMostPoints = 720;

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string Colour(QL_Color c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r & 255, c.g & 255, c.b & 255);
    return text;
}

std::string Open(const std::string& title) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" viewBox=\"0 0 " +
           std::to_string(kChartWidth) + " " + std::to_string(kChartHeight) +
           "\" role=\"img\"><title>" + title + "</title>";
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& cls) {
    return "<line class=\"" + cls + "\" x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" +
           Number(x2) + "\" y2=\"" + Number(y2) + "\"/>";
}

std::string Words(double x, double y, const std::string& anchor, const std::string& text) {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\">" +
           text + "</text>";
}

// The axes, with the highest value at the top and the first and last words along the bottom.
std::string Axes(int64_t most, const std::string& first, const std::string& last) {
    return Line(kLeft, kBottom, kRight, kBottom, "axis") +
           Line(kLeft, kTop, kLeft, kBottom, "axis") +
           Words(kLeft - 6, kTop + 10, "end", std::to_string(most)) +
           Words(kLeft - 6, kBottom, "end", "0") + Words(kLeft, kBottom + 20, "start", first) +
           Words(kRight, kBottom + 20, "end", last);
}

struct Scale {
    double span;
    int64_t most;
    double X(double t) const { return kLeft + (kRight - kLeft) * std::clamp(t / span, 0.0, 1.0); }
    double Y(int64_t v) const {
        return kBottom - (kBottom - kTop) * std::clamp((double)v / (double)most, 0.0, 1.0);
    }
};

// The score a second into the run, as the story kept it (its last where the story ends).
int64_t ScoreAt(const StoryView& s, double seconds) {
    if (s.scoreBySecond.empty()) return s.score;
    size_t k = seconds > 0 ? (size_t)seconds : 0;
    return s.scoreBySecond[std::min(k, s.scoreBySecond.size() - 1)];
}

std::string Stages(const StoryView& s, const Scale& at) {
    std::string out;
    for (size_t k = 0; k < s.stages.size(); k++) {
        double from = at.X(s.stages[k]),
               to = at.X(k + 1 < s.stages.size() ? s.stages[k + 1] : s.seconds);
        out += "<rect class=\"stage\" x=\"" + Number(from) + "\" y=\"" + Number(kTop) +
               "\" width=\"" + Number(std::max(0.0, to - from)) + "\" height=\"" +
               Number(kBottom - kTop) + "\" fill=\"" + Colour(GameUpdate_StageSky((int)k)) +
               "\"/>" + Words(from + 3, kTop + 12, "start", std::to_string(k + 1));
    }
    return out;
}

std::string ScoreLine(const StoryView& s, const Scale& at) {
    size_t n = s.scoreBySecond.size(),
           step = std::max<size_t>(1, (n + kMostPoints - 1) / kMostPoints);
    std::string points;
    for (size_t k = 0; k < n; k += step)
        points += Number(at.X((double)k)) + "," + Number(at.Y(s.scoreBySecond[k])) + " ";
    if (n == 0) points += Number(at.X(0)) + "," + Number(at.Y(0)) + " ";
    points += Number(at.X(s.seconds)) + "," + Number(at.Y(s.score));
    return "<polyline class=\"score\" points=\"" + points + "\"/>";
}

std::string LivesLost(const StoryView& s, const Scale& at) {
    std::string out;
    for (const StoryLife& l : s.lives)
        out += "<circle class=\"life\" cx=\"" + Number(at.X(l.seconds)) + "\" cy=\"" +
               Number(at.Y(ScoreAt(s, l.seconds))) + "\" r=\"5\" fill=\"" + Colour(kRed) + "\"/>";
    return out;
}

} // namespace

std::string Chart_Score(const StoryView& s) {
    int64_t most = s.score;
    for (int64_t v : s.scoreBySecond)
        most = std::max(most, v);
    Scale at{std::max(1.0, s.seconds), std::max<int64_t>(1, most)};
    return Open("The score over the run's " + Html_Length(s.seconds) + ", the stages shaded, " +
                std::to_string(s.lives.size()) + " lives lost marked") +
           Stages(s, at) + Axes(at.most, "0:00", Html_Length(s.seconds)) + ScoreLine(s, at) +
           LivesLost(s, at) + "</svg>";
}

std::string Chart_ByDay(const std::vector<DayPoint>& days) {
    int64_t first = days.empty() ? 0 : days.front().day, last = first, most = 1;
    for (const DayPoint& d : days) {
        first = std::min(first, d.day);
        last = std::max(last, d.day);
        most = std::max(most, d.best);
    }
    // A slot a day from the first to the last; a bar no wider than a finger in a short history.
    double slot = (kRight - kLeft) / (double)(last - first + 1), width = std::min(slot * 0.8, 24.0);
    Scale at{1.0, most};
    std::string bars;
    for (const DayPoint& d : days)
        bars += "<rect class=\"day\" x=\"" +
                Number(kLeft + slot * ((double)(d.day - first) + 0.5) - width / 2) + "\" y=\"" +
                Number(at.Y(d.best)) + "\" width=\"" + Number(width) + "\" height=\"" +
                Number(kBottom - at.Y(d.best)) + "\" fill=\"" + Colour(kWeaponColors[kWeaponBomb]) +
                "\"/>";
    return Open("The best score of each day played, " + std::to_string(days.size()) + " days") +
           Axes(most, days.empty() ? "" : UtcText(first * 86400, "%Y-%m-%d"),
                days.empty() ? "" : UtcText(last * 86400, "%Y-%m-%d")) +
           bars + "</svg>";
}
