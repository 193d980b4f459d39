// The run's asset handles.
#include "game/game_assets.h"
#include "core/constants.h"

GameSounds gameSounds;
EnemySounds enemySounds;
QL_Sound gameMusic[kMusicTracks];
QL_Image cursorImage;

void GameMusic_Start(int stage) {
    QL_Sound_StopGroup(QL_GROUP_MUSIC);
    if (stage >= 0 && stage < kMusicTracks)
        QL_Sound_PlayAdvanced(gameMusic[stage], 1.0f, 1.0f, true, QL_GROUP_MUSIC);
}
