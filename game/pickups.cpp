// Pickups.
#include "game/pickups.h"

#include <algorithm>
#include <cmath>

#include "core/settings.h"
#include "game/game_assets.h"
#include "game/line_of_sight.h"
#include "game/player.h"
#include "game/run_events.h"
#include "game/sprite_frames.h"
#include "game/step_effects.h"
#include "game/weapons.h"
#include "world/arena.h"

Pickup PickupPool[kPickupCount];
int32_t pickupGrid[kArenaCells];

namespace {

bool AcceptableCell(int cx, int cy) {
    if (!Arena_IsFloor(*Arena_CellAt(cx, cy))) return false;
    if (pickupGrid[cy * kArenaSize + cx] != 0) return false;
    float dx = (float)cx + 0.5f - player.x, dy = (float)cy + 0.5f - player.y;
    if (dx * dx + dy * dy <= 9.0f) return false;
    return Grid_HiddenOrBehind(player.x, player.y, player.angle, (float)cx + 0.5f,
                               (float)cy + 0.5f);
}

bool ChooseCell(int* cx, int* cy) {
    return Arena_RandomCell(AcceptableCell, cx, cy);
}

void Collect(Pickup& p) {
    Sprite& s = *p.sprite;
    int cx = std::clamp((int)s.x, 0, kArenaSize - 1), cy = std::clamp((int)s.y, 0, kArenaSize - 1);
    pickupGrid[cy * kArenaSize + cx] = 0;
    Sprite_Release(&s);
    RunEvents_Note(RunEventKind::Pickup, ShotOrigin(), p.kind);
    if (p.kind == 0) {
        player.score += (int32_t)((runState.elapsed / 120.0f + 1.0f) * 10.0f);
        StepEffects_WhiteFlash(30.0f);
        StepEffects_Effect(gameSounds.pickupCoin, 1.0f);
        return;
    }
    if (p.kind == 1 && player.autoLevel < 99)
        player.autoInterval = Weapons_AutoInterval(++player.autoLevel);
    if (p.kind == 2 && player.spreadLevel < 99)
        player.spreadPellets = Weapons_SpreadPellets(++player.spreadLevel);
    if (p.kind == 3 && player.bombLevel < 99)
        player.bombPower = Weapons_BombPower(++player.bombLevel);
    StepEffects_WhiteFlash(100.0f);
    StepEffects_Effect(gameSounds.pickupPower, 1.0f);
}

void Animate(Pickup& p, float dt) {
    p.frameTimer -= dt;
    if (p.frameTimer >= 0.0f) return;
    p.frameTimer += p.frameInterval;
    p.animFrame = (p.animFrame + 1) % 4;
    Sprite_SetFrame(p.sprite, p.frames[p.animFrame]);
}

} // namespace

void Pickups_Reset() {
    SpritePool_ClearOwners(PickupPool);
    Pickups_ClearGrid();
}

void Pickup_Hash(StateHash* hash, const Pickup& p) {
    StateHash_Add(hash, p.kind, p.animFrame, p.frameInterval, p.frameTimer, p.frames);
}

void Pickups_Hash(StateHash* hash) {
    SpritePool_HashOwners(hash, PickupPool, Pickup_Hash);
    StateHash_Add(hash, pickupGrid);
}

void Pickups_ClearGrid() {
    std::fill(pickupGrid, pickupGrid + kArenaCells, 0);
}

int Pickup_KindForDraw(int r) {
    if (r <= 9) return 1;
    if (r <= 19) return 2;
    if (r <= 29) return 3;
    return 0;
}

Pickup* Pickup_Spawn(int kind, const SheetRect frames[4]) {
    Pickup* free = SpritePool_FirstFree(PickupPool);
    int cx, cy;
    if (!free || !ChooseCell(&cx, &cy)) return nullptr;
    pickupGrid[cy * kArenaSize + cx] = 1;
    Sprite_Start(free->sprite, (float)cx + 0.5f, (float)cy + 0.5f, 0.0f, 0.5f, frames[0], 10.0f,
                 -0.5f);
    free->kind = kind;
    free->animFrame = 0;
    free->frameInterval = free->frameTimer = 0.1f;
    std::copy(frames, frames + 4, free->frames);
    return free;
}

void Pickups_Update(float dt) {
    runState.pickupTimer -= dt;
    if (runState.pickupTimer <= 0.0f) {
        int kind = Pickup_KindForDraw(QL_Random_RangeInt(0, 99));
        Pickup_Spawn(kind, kPickupFrames[kind]);
        runState.pickupTimer += (QL_Random_GetFloat() + 0.5f) * runState.pickupInterval;
    }
    for (Pickup& p : PickupPool) {
        if (!p.sprite || !p.sprite->inUse) continue;
        Animate(p, dt);
        if (Player_Touches(*p.sprite)) Collect(p);
    }
}
