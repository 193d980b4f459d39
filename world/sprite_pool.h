// The pool of 1024 camera-facing sprites. Projectiles own 0 to 511, pickups 512 to 767, enemies
// 768 to 1023; an owner record is alive exactly while its sprite is in use.
#pragma once

#include <cstdint>

#include "core/state_hash.h"
#include "quillon/quillon.h"
#include "world/sheet_rect.h"

struct Sprite {
    float x, y;
    float heading; // degrees
    float radius;  // collision radius in cells
    int32_t ring;  // written by the ring pass
    float sheetLeft, sheetRight, sheetTop, sheetBottom;
    float viewMargin; // degrees added to half the field of view in the visibility test
    float scaleX, scaleY;
    float jitterX;
    float z; // height of the image's centre
    int32_t alpha;
    bool inView; // written by the visibility pass
    bool inUse;
};

const int kSpritePoolSize = 1024;
const int kProjectileSprites = 0;
const int kPickupSprites = 512;
const int kEnemySprites = 768;

extern Sprite SpritePool[kSpritePoolSize];
extern int32_t spritesInUse;
extern QL_Image spriteSheet; // the sheet every sprite is cut from; loaded by a run

// Clears inUse of every sprite; nothing else changes.
void SpritePool_Reset();
// Binds one sprite for an owner: a free sprite is zeroed (but for ring and inView), marked in use
// and returned; a sprite in use (or an index outside the pool) gives null.
Sprite* SpritePool_BindOne(int index);
// Binds owners[0..ownerCount-1] to sprites first, first + 1, ... in order, through their
// `sprite` field.
template <class Owner> void SpritePool_Bind(int first, int ownerCount, Owner* owners) {
    for (int i = 0; i < ownerCount; i++)
        owners[i].sprite = SpritePool_BindOne(first + i);
}
// Marks a free sprite in use and returns it; a sprite already in use is returned unchanged.
Sprite* Sprite_Activate(Sprite* sprite);
// Frees a sprite in use; freeing a free sprite does nothing.
void Sprite_Release(Sprite* sprite);
// Activates a free sprite for its owner and sets what every owner sets: place, heading, size,
// first frame, scale and height, with the view margin 10, no jitter and full opacity.
void Sprite_Start(Sprite* sprite, float x, float y, float heading, float radius,
                  const SheetRect& frame, float scale, float z);
// The first record of an owner pool, in pool order, whose sprite is free; null when none is.
template <class Owner, int N> Owner* SpritePool_FirstFree(Owner (&pool)[N]) {
    for (Owner& o : pool)
        if (o.sprite && !o.sprite->inUse) return &o;
    return nullptr;
}
// Mixes a sprite into a state hash: everything but ring and inView, which the camera passes write
// for drawing and which a frame not drawn leaves as they were.
void Sprite_Hash(StateHash* hash, const Sprite& sprite);
// The count in use, then every sprite in use with its index.
void SpritePool_Hash(StateHash* hash);
// Clears every record of an owner pool but its bound sprite (a run starts with no leftovers).
template <class Owner, int N> void SpritePool_ClearOwners(Owner (&pool)[N]) {
    for (Owner& o : pool) {
        Sprite* sprite = o.sprite;
        o = Owner{};
        o.sprite = sprite;
    }
}
// Mixes every live record of an owner pool into a state hash, each with its index.
template <class Owner, int N>
void SpritePool_HashOwners(StateHash* hash, const Owner (&pool)[N],
                           void (*hashOne)(StateHash*, const Owner&)) {
    for (int i = 0; i < N; i++)
        if (pool[i].sprite && pool[i].sprite->inUse) {
            StateHash_Add(hash, i);
            hashOne(hash, pool[i]);
        }
}
// Copies a frame into the sprite's sheet fields.
void Sprite_SetFrame(Sprite* sprite, const SheetRect& frame);
