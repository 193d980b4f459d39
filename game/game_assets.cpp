// The run's asset handles.
#include "game/game_assets.h"

GameSounds gameSounds;
EnemySounds enemySounds;
QL_Sound gameMusic[kMusicTracks];
QL_Image cursorImage;
