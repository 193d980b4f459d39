// Gathering a run's story, and writing it as JSON.
#include "runs/run_story.h"

#include <cstdio>

#include "game/player.h"

RunStory runStory;

const char* const kStoryWeaponNames[kStoryWeapons] = {"AUTO", "SPREAD", "BOMB"};
const char* const kStoryPickupNames[kStoryPickups] = {"coin", "AUTO", "SPREAD", "BOMB"};

namespace {

bool ByPlayer(const ShotOrigin& o) {
    return o.firedBy >= 0 && o.firedBy < kStoryWeapons;
}

// A hit on an enemy by the player's shot: its damage, and the shot's first hit.
void CountHit(RunStory* s, const ShotOrigin& o) {
    s->weapons[o.firedBy].damage++;
    if (o.shot < 0) return;
    if ((size_t)o.shot >= s->shotHit.size()) s->shotHit.resize((size_t)o.shot + 1, 0);
    if (s->shotHit[(size_t)o.shot]) return;
    s->shotHit[(size_t)o.shot] = 1;
    s->weapons[o.firedBy].hits++;
}

int HurtSource(const RunEvent& e) {
    if (e.origin.firedBy == kFiredByNobody) return kHurtByTouch + e.what;
    if (ByPlayer(e.origin)) return kHurtByOwn + e.origin.firedBy;
    return kHurtByShot + (e.origin.firedBy - kFiredByEnemy);
}

void CountHurt(RunStory* s, const RunEvent& e) {
    int source = HurtSource(e);
    if (source < 0 || source >= kHurtSources) return;
    s->hurt[source]++;
    s->livesLost.push_back(
        LifeLost{runState.elapsed, player.x, player.y, runState.stage, (int32_t)source});
}

void Count(RunStory* s, const RunEvent& e) {
    bool kindKnown = e.what >= 0 && e.what < kEnemyKinds;
    switch (e.kind) {
    case RunEventKind::Shot:
        if (ByPlayer(e.origin)) s->weapons[e.origin.firedBy].shots++;
        break;
    case RunEventKind::Hit:
        if (ByPlayer(e.origin)) CountHit(s, e.origin);
        break;
    case RunEventKind::Kill:
        if (!ByPlayer(e.origin)) {
            s->crossfire++;
        } else if (kindKnown) {
            s->kills[e.what]++;
            s->weapons[e.origin.firedBy].kills++;
        }
        break;
    case RunEventKind::Hurt:
        CountHurt(s, e);
        break;
    case RunEventKind::Pickup:
        if (e.what >= 0 && e.what < kStoryPickups) s->pickups[e.what]++;
        break;
    }
}

void Append(std::string* out, const char* format, double a, double b = 0, double c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    *out += text;
}

template <class T> std::string Numbers(const T* values, int count) {
    std::string out = "[";
    for (int k = 0; k < count; k++)
        out.append(k ? "," : "").append(std::to_string(values[k]));
    return out + "]";
}

std::string WeaponsJson(const RunStory& s) {
    std::string out = "[";
    for (int w = 0; w < kStoryWeapons; w++) {
        const WeaponFigures& f = s.weapons[w];
        out += std::string(w ? "," : "") + "{\"weapon\":\"" + kStoryWeaponNames[w] + "\"";
        Append(&out, ",\"shots\":%.0f,\"hits\":%.0f", f.shots, f.hits);
        Append(&out, ",\"accuracy\":%.4f,\"damage\":%.0f", RunStory_Accuracy(f), f.damage);
        Append(&out, ",\"kills\":%.0f}", f.kills);
    }
    return out + "]";
}

std::string SourceJson(int source) {
    return std::string("\"by\":\"") + RunStory_HurtBy(source) +
           "\",\"which\":" + std::to_string(RunStory_HurtWhich(source));
}

std::string HurtJson(const RunStory& s) {
    std::string out = "[";
    for (int k = 0; k < kHurtSources; k++)
        if (s.hurt[k])
            out += std::string(out.size() > 1 ? "," : "") + "{" + SourceJson(k) +
                   ",\"count\":" + std::to_string(s.hurt[k]) + "}";
    return out + "]";
}

std::string LivesJson(const RunStory& s) {
    std::string out = "[";
    for (const LifeLost& l : s.livesLost) {
        out += out.size() > 1 ? "," : "";
        Append(&out, "{\"seconds\":%.3f,\"x\":%.3f,\"y\":%.3f", l.seconds, l.x, l.y);
        out += ",\"stage\":" + std::to_string(l.stage + 1) + "," + SourceJson(l.source) + "}";
    }
    return out + "]";
}

std::string PickupsJson(const RunStory& s) {
    std::string out = "{";
    for (int k = 0; k < kStoryPickups; k++)
        out += std::string(k ? "," : "") + "\"" + kStoryPickupNames[k] +
               "\":" + std::to_string(s.pickups[k]);
    return out + "}";
}

std::string StagesJson(const RunStory& s) {
    std::string out = "[";
    for (int k = 0; k < kStageCount && s.stageAt[k] >= 0.0f; k++)
        Append(&out, k ? ",%.3f" : "%.3f", s.stageAt[k]);
    return out + "]";
}

} // namespace

void RunStory_Reset(RunStory* story) {
    *story = RunStory();
    for (float& at : story->stageAt)
        at = -1.0f;
    story->stageAt[0] = 0.0f;
    story->scoreBySecond.reserve(1024);
    story->scoreBySecond.push_back(0);
    story->shotHit.reserve(4096);
}

void RunStory_Frame(RunStory* story) {
    for (int k = 0; k < runEventCount; k++)
        Count(story, RunEvents[k]);
    story->seconds = runState.elapsed;
    story->score = player.score;
    for (int k = story->stage + 1; k <= runState.stage && k < kStageCount; k++)
        story->stageAt[k] = runState.elapsed;
    story->stage = runState.stage;
    while ((float)story->scoreBySecond.size() <= runState.elapsed)
        story->scoreBySecond.push_back(player.score);
}

int32_t RunStory_Kills(const RunStory& story) {
    int32_t total = 0;
    for (int32_t k : story.kills)
        total += k;
    return total;
}

WeaponFigures RunStory_AllWeapons(const RunStory& story) {
    WeaponFigures all;
    for (const WeaponFigures& w : story.weapons) {
        all.shots += w.shots;
        all.hits += w.hits;
        all.damage += w.damage;
        all.kills += w.kills;
    }
    return all;
}

double RunStory_Accuracy(const WeaponFigures& w) {
    return w.shots > 0 ? (double)w.hits / (double)w.shots : 0.0;
}

const char* RunStory_HurtBy(int source) {
    return source < kHurtByShot ? "touch" : source < kHurtByOwn ? "shot" : "own";
}

int RunStory_HurtWhich(int source) {
    return source < kHurtByShot  ? source - kHurtByTouch
           : source < kHurtByOwn ? source - kHurtByShot
                                 : source - kHurtByOwn;
}

std::string RunStory_Json(const RunStory& s) {
    std::string out = "{";
    // Stages are numbered from 1, as the game and the board show them.
    Append(&out, "\"seconds\":%.3f,\"score\":%.0f,\"stage\":%.0f", s.seconds, s.score, s.stage + 1);
    out += ",\"kills\":" + Numbers(s.kills, kEnemyKinds) +
           ",\"crossfireKills\":" + std::to_string(s.crossfire) + ",\"weapons\":" + WeaponsJson(s) +
           ",\"hurt\":" + HurtJson(s) + ",\"livesLost\":" + LivesJson(s) +
           ",\"pickups\":" + PickupsJson(s) + ",\"stages\":" + StagesJson(s) +
           ",\"scoreBySecond\":" + Numbers(s.scoreBySecond.data(), (int)s.scoreBySecond.size()) +
           "}";
    return out;
}
