// The end-of-run report: which state and screen the program is in, and frame-time figures.
#include "tools/headless/report.h"

#include <cstdio>

#include "app/frames.h"
#include "core/output_file.h"
#include "game/player.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "runs/run_story.h"
#include "ui/front_end.h"
#include "world/renderer.h"
#include "world/sprite_pool.h"

static const char* StateName() {
    QL_Callback update = QLH_CurrentUpdate();
    if (update == Menu_Update) return "menu";
    if (update == Game_Update) return "game";
    return "none";
}

bool Report_Write(const char* path, const FrameTimes& times, long runFrames) {
    OutputFile out;
    if (!OutputFile_Open(&out, path)) return false;
    FILE* f = out.file;
    std::fprintf(f, "{\n");
    std::fprintf(f, "  \"state\": \"%s\",\n", StateName());
    std::fprintf(f, "  \"terminated\": %s,\n", QLH_Terminated() ? "true" : "false");
    std::fprintf(f, "  \"menuScreen\": %d,\n", frontEnd.menuScreen);
    std::fprintf(f, "  \"quitConfirm\": %s,\n", frontEnd.quitConfirm ? "true" : "false");
    std::fprintf(f, "  \"frames\": %ld,\n", QLH_FrameCount());
    if (runFrames >= 0) std::fprintf(f, "  \"runFrames\": %ld,\n", runFrames);
    std::fprintf(f, "  \"window\": [%d, %d],\n", QL_System_GetWindowWidth(),
                 QL_System_GetWindowHeight());
    std::fprintf(f, "  \"soundsPlayed\": %zu,\n", QLH_PlayLog().size());
    std::fprintf(f, "  \"pads\": %d,\n  \"pointer\": [%.1f, %.1f],\n", QL_Pad_Count(),
                 (double)QL_Input_GetMouseX(), (double)QL_Input_GetMouseY());
    std::fprintf(f,
                 "  \"player\": {\"x\": %.4f, \"y\": %.4f, \"angle\": %.4f, \"lives\": %d, "
                 "\"score\": %d, \"weapon\": %d},\n",
                 (double)player.x, (double)player.y, (double)player.angle, player.lives,
                 player.score, player.weapon);
    std::fprintf(f, "  \"run\": {\"paused\": %d, \"elapsed\": %.3f, \"stage\": %d},\n",
                 runState.paused, (double)runState.elapsed, runState.stage);
    std::fprintf(f, "  \"spritesInUse\": %d,\n  \"renderDistance\": %d,\n", spritesInUse,
                 renderDistance);
    double mean = times.count ? times.total / (double)times.count : 0.0;
    std::fprintf(f, "  \"frameTimeMs\": {\"mean\": %.4f, \"worst\": %.4f},\n", mean * 1000.0,
                 times.worst * 1000.0);
    // What happened in the last run played, live or from a recording.
    std::fprintf(f, "  \"story\": %s\n", RunStory_Json(runStory).c_str());
    std::fprintf(f, "}\n");
    return OutputFile_Commit(&out);
}
