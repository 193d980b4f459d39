// The front-end state: on every entry it loads its images and sounds, rebuilds the arena for the
// flying backdrop, restarts the splash sequence and rereads the high-score file.
#include "app/menu_state.h"

#include "app/asset_list.h"
#include "core/data_folder.h"
#include "game/game_assets.h"
#include "scores/high_scores.h"
#include "ui/front_end.h"
#include "ui/menu_assets.h"
#include "world/arena.h"
#include "world/camera.h"

static const char* kFontPath = kMenuFontPath;

static const ImageAsset kImages[] = {
    {"./Assets/Art/HalvaneLogos/Halvane_WHITE.png", &menuAssets.makerWhite},
    {"./Assets/Art/HalvaneLogos/Halvane_BLACK.png", &menuAssets.makerBlack},
    {"./Assets/Art/FMODLogoBlack.png", &menuAssets.audioBlack},
    {"./Assets/Art/FMODLogoWhite.png", &menuAssets.audioWhite},
    {"./Assets/Art/Headphones.png", &menuAssets.headphones},
    {"./Assets/Art/GameLogo.png", &menuAssets.gameLogo},
    {"./Assets/Art/Cursor.png", &cursorImage}, // drawn while a pad moves the pointer
};
static const int kImageCount = sizeof kImages / sizeof kImages[0];

static const SoundAsset kSounds[] = {
    {"./Assets/Music/BGM/Downtime.wav", &menuAssets.music},
    {"./Assets/Music/SFX/BombGunBlip.wav", &menuAssets.blip},
};

void Menu_LoadFont() {
    // The font lives for the whole program: a second load hands back the open font.
    gameFont = QL_Font_Load(DataFolder_Path(kFontPath).c_str());
    QL_Font_Set(gameFont);
}

static int openAt = -1;

void Menu_OpenAt(int screen) {
    openAt = screen;
}

void Menu_Init() {
    QL_System_SetWindowTitle("ZORB");
    Menu_LoadFont();
    Arena_Build(&backdropCameraX, &backdropCameraY, &backdropViewAngle);
    QL_Settings_ImageFilterMode(1);
    AssetList_LoadImages(kImages, kImageCount);
    FrontEnd_Reset();
    if (openAt >= 0) FrontEnd_Open(openAt);
    openAt = -1;
    HighScores_Load();
    AssetList_LoadSounds(kSounds, 2);
}

void Menu_Exit() {
    AssetList_FreeImages(kImages, kImageCount);
    AssetList_FreeSounds(kSounds, 2);
}
