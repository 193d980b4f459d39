// What the engine notes for the headless driver's readers: the draw calls made by kind, the
// assets loaded and freed, the sounds played and, while asked, the text drawn. It depends on no
// other part of the engine: the drawing, image, text and sound sources report to it, and the
// headless driver reads it.
#pragma once

#include <string>
#include <vector>

#include "quillon/engine_records.h"

enum class QlStat { Quad, Rect, Image, Text, AtlasBuild };

// While off (a real window), assets, sounds and text are not noted; the counts always are.
void EngineLog_SetOn(bool on);
void EngineLog_Count(QlStat what);
void EngineLog_Asset(bool load, const char* type, const char* path);
void EngineLog_Play(const char* path, float volume, float pitch, bool looping, int group,
                    long frame);
// Text is noted only while the text log is on; switching it clears it.
void EngineLog_Text(const char* text);
void EngineLog_SetTextOn(bool on);

const std::vector<QLH_PlayEntry>& EngineLog_Plays();
const std::vector<QLH_AssetEntry>& EngineLog_Assets();
const std::vector<std::string>& EngineLog_Texts();
QLH_DrawStats EngineLog_Stats();
void EngineLog_ResetStats();
// Empties the asset, sound and text logs.
void EngineLog_Clear();
