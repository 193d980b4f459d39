// The program's start.
#include "app/app.h"

#include <string>
#include <vector>

#include "app/frames.h"
#include "core/data_folder.h"
#include "core/settings.h"
#include "quillon/quillon.h"
#include "scores/high_scores.h"

// The files without which no screen can be drawn: a font or sheet that cannot be used is as
// good as missing.
static bool RequiredDataUsable(std::string* why) {
    std::string font = DataFolder_Path(kMenuFontPath), sheet = DataFolder_Path(kSpriteSheetPath);
    QL_Font f = QL_Font_Load(font.c_str());
    QL_Image image = QL_Image_Load(sheet.c_str());
    const std::string& bad = !f ? font : sheet;
    if (!f || !image) *why = "the game's data is damaged: " + bad + " cannot be used";
    QL_Font_Free(&f);
    QL_Image_Free(&image);
    return why->empty();
}

bool App_FindData(std::string* why) {
    std::vector<std::string> tried;
    why->clear();
    if (!DataFolder_Find(&tried)) {
        for (const std::string& folder : tried)
            if (!(*why = DataFolder_BrokenFont(folder)).empty()) return false;
        *why = "the game's data (Assets) was not found in";
        for (size_t i = 0; i < tried.size(); i++)
            *why += (i == 0 ? " " : ", ") + tried[i];
        return false;
    }
    if (!RequiredDataUsable(why)) return false;
    static std::string leaderboard;
    leaderboard = DataFolder_Leaderboard();
    highScoresPath = leaderboard.c_str();
    return true;
}

void App_Start() {
    DataFolder_MakeOwnFolder();
    Settings_Reset();
    QL_System_SetWindowTitle("ZORB"); // from the first frame, a replay's (--play) too
    QL_System_Fullscreen();
    Frames_CapFromEnvironment();
    Frames_Pace(false);
    // Pads SDL does not know yet can be taught in SDL's own format, beside the assets (SDL also
    // reads SDL_GAMECONTROLLERCONFIG itself).
    QL_Pad_AddMappings(DataFolder_Path("./Assets/gamecontrollerdb.txt").c_str());
    App_Act(ScreenRequest::ToMenu);
}
