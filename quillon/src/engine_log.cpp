// The engine's notes for the headless driver.
#include "engine_log.h"

namespace {

bool on = false;
bool textOn = false;
std::vector<QLH_PlayEntry> plays;
std::vector<QLH_AssetEntry> assets;
std::vector<std::string> texts;
QLH_DrawStats stats{0, 0, 0, 0, 0};

} // namespace

void EngineLog_SetOn(bool recording) {
    on = recording;
    textOn = false;
}

void EngineLog_Count(QlStat what) {
    switch (what) {
    case QlStat::Quad:
        stats.quads++;
        break;
    case QlStat::Rect:
        stats.rects++;
        break;
    case QlStat::Image:
        stats.images++;
        break;
    case QlStat::Text:
        stats.texts++;
        break;
    case QlStat::AtlasBuild:
        stats.atlasBuilds++;
        break;
    }
}

void EngineLog_Asset(bool load, const char* type, const char* path) {
    if (on)
        assets.push_back(
            {load ? QLH_AssetEntry::Load : QLH_AssetEntry::Free, type, path ? path : ""});
}

void EngineLog_Play(const char* path, float volume, float pitch, bool looping, int group,
                    long frame) {
    if (on) plays.push_back({path ? path : "", volume, pitch, looping, group, frame});
}

void EngineLog_Text(const char* text) {
    if (on && textOn) texts.push_back(text ? text : "");
}

void EngineLog_SetTextOn(bool textLog) {
    textOn = textLog;
    texts.clear();
}

const std::vector<QLH_PlayEntry>& EngineLog_Plays() {
    return plays;
}
const std::vector<QLH_AssetEntry>& EngineLog_Assets() {
    return assets;
}
const std::vector<std::string>& EngineLog_Texts() {
    return texts;
}
QLH_DrawStats EngineLog_Stats() {
    return stats;
}
void EngineLog_ResetStats() {
    stats = QLH_DrawStats{0, 0, 0, 0, 0};
}
void EngineLog_Clear() {
    plays.clear();
    assets.clear();
    texts.clear();
}
