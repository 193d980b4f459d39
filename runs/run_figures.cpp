// A run's figures as text, and the best of several.
#include "runs/run_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// A line's value: a finite number from 0 to a bound no run reaches.
bool Value(const std::string& text, double* v) {
    char* end = nullptr;
    double read = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(read) || read < 0 || read > 1e12)
        return false;
    *v = read;
    return true;
}

} // namespace

RunFigures RunFigures_Of(const RunStory& story) {
    WeaponFigures all = RunStory_AllWeapons(story);
    return RunFigures{story.seconds,         story.score, story.stage + 1,
                      RunStory_Kills(story), all.shots,   all.hits};
}

std::string RunFigures_Text(const RunFigures& f) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "seconds = %.3f\nscore = %lld\nstage = %lld\nkills = %lld\nshots = %lld\n"
                  "hits = %lld\n",
                  f.seconds, (long long)f.score, (long long)f.stage, (long long)f.kills,
                  (long long)f.shots, (long long)f.hits);
    return text;
}

bool RunFigures_Parse(const std::string& text, RunFigures* f) {
    *f = RunFigures();
    bool scored = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = std::min(text.find('\n', pos), text.size());
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t eq = line.find(" = ");
        double v = 0;
        if (eq == std::string::npos || !Value(line.substr(eq + 3), &v)) continue;
        std::string name = line.substr(0, eq);
        int64_t whole = (int64_t)v;
        if (name == "seconds") f->seconds = v;
        if (name == "score") f->score = whole, scored = true;
        if (name == "stage") f->stage = whole;
        if (name == "kills") f->kills = whole;
        if (name == "shots") f->shots = whole;
        if (name == "hits") f->hits = std::min(whole, f->shots ? f->shots : whole);
    }
    return scored;
}

double RunFigures_Accuracy(const RunFigures& f) {
    return f.shots > 0 ? (double)std::min(f.hits, f.shots) / (double)f.shots : -1.0;
}

BestFigures RunFigures_Best(const std::vector<RunFigures>& runs) {
    BestFigures best;
    for (const RunFigures& f : runs) {
        best.runs++;
        best.seconds = std::max(best.seconds, f.seconds);
        best.score = std::max(best.score, f.score);
        best.stage = std::max(best.stage, f.stage);
        best.kills = std::max(best.kills, f.kills);
        best.accuracy = std::max(best.accuracy, RunFigures_Accuracy(f));
    }
    return best;
}
