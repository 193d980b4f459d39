// The sprite sheet: every frame of every table drawn as pixel art on a transparent sheet.
#pragma once

#include "tools/assetgen/pixels.h"

Picture Sprites_MakeSheet();
void Sprites_DrawItems(Picture* sheet);   // projectiles and pickups
void Sprites_DrawEnemies(Picture* sheet); // the eight kinds in their view groups
