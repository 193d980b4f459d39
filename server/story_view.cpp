// Reading a story's JSON.
#include "server/story_view.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "game/enemy_kinds.h"

using nlohmann::json;

namespace {

// The most a figure of one run can be: far beyond any run, below any overflow.
const int64_t kMost = 1000000000000LL;

int64_t Whole(const json& j, const char* name) {
    if (!j.is_object() || !j.contains(name) || !j[name].is_number_integer()) return 0;
    int64_t v = j[name].get<int64_t>();
    return v < 0 ? 0 : v > kMost ? kMost : v;
}

double Real(const json& j, const char* name) {
    if (!j.is_object() || !j.contains(name) || !j[name].is_number()) return 0;
    double v = j[name].get<double>();
    return std::isfinite(v) && std::fabs(v) < 1e9 ? v : 0;
}

std::string Text(const json& j, const char* name) {
    return j.is_object() && j.contains(name) && j[name].is_string() ? j[name].get<std::string>()
                                                                    : "";
}

const json& Array(const json& j, const char* name) {
    static const json empty = json::array();
    return j.contains(name) && j[name].is_array() ? j[name] : empty;
}

void ReadWeapons(const json& story, StoryView* v) {
    const json& weapons = Array(story, "weapons");
    for (size_t k = 0; k < 3 && k < weapons.size(); k++) {
        StoryWeapon& w = v->weapons[k];
        w.shots = Whole(weapons[k], "shots");
        w.hits = std::min(Whole(weapons[k], "hits"), w.shots);
        w.damage = Whole(weapons[k], "damage");
        w.kills = Whole(weapons[k], "kills");
    }
}

void ReadHurts(const json& story, StoryView* v) {
    for (const json& h : Array(story, "hurt"))
        v->hurt.push_back(StoryHurt{Text(h, "by"), (int)std::min<int64_t>(Whole(h, "which"), 7),
                                    Whole(h, "count")});
    for (const json& l : Array(story, "livesLost"))
        v->lives.push_back(StoryLife{Real(l, "seconds"), Real(l, "x"), Real(l, "y"),
                                     (int)std::min<int64_t>(Whole(l, "stage"), 8), Text(l, "by"),
                                     (int)std::min<int64_t>(Whole(l, "which"), 7)});
}

void ReadTimeline(const json& story, StoryView* v) {
    for (const json& s : Array(story, "stages"))
        if (s.is_number() && v->stages.size() < 8)
            v->stages.push_back(std::max(0.0, s.get<double>()));
    for (const json& s : Array(story, "scoreBySecond"))
        v->scoreBySecond.push_back(s.is_number_integer() ? std::max<int64_t>(0, s.get<int64_t>())
                                                         : 0);
}

} // namespace

bool StoryView_Read(const std::string& text, StoryView* v) {
    json story = json::parse(text, nullptr, false);
    if (!story.is_object()) return false;
    v->seconds = std::max(0.0, Real(story, "seconds"));
    v->score = Whole(story, "score");
    v->stage = std::max<int64_t>(1, Whole(story, "stage"));
    const json& kills = Array(story, "kills");
    for (size_t k = 0; k < 8 && k < kills.size(); k++)
        v->kills[k] =
            kills[k].is_number_integer() ? std::max<int64_t>(0, kills[k].get<int64_t>()) : 0;
    v->crossfire = Whole(story, "crossfireKills");
    ReadWeapons(story, v);
    ReadHurts(story, v);
    const char* pickups[4] = {"coin", "AUTO", "SPREAD", "BOMB"};
    for (int k = 0; k < 4; k++)
        v->pickups[k] = story.contains("pickups") ? Whole(story["pickups"], pickups[k]) : 0;
    ReadTimeline(story, v);
    return true;
}

double StoryView_Percent(int64_t hits, int64_t shots) {
    return shots > 0 ? 100.0 * (double)hits / (double)shots : 0.0;
}

std::string StoryView_HurtWords(const std::string& by, int which) {
    static const char* const kWeapons[3] = {"AUTO", "SPREAD", "BOMB"};
    if (by == "own") return std::string("own ") + kWeapons[which >= 0 && which < 3 ? which : 2];
    return (by == "touch" ? "touch: " : "shot: ") + std::string(Enemy_Kind(which).role);
}
