// The sprite pool.
#include "world/sprite_pool.h"

Sprite SpritePool[kSpritePoolSize];
int32_t spritesInUse = 0;
QL_Image spriteSheet = nullptr;

void SpritePool_Reset() {
    for (Sprite& s : SpritePool)
        s.inUse = false;
    spritesInUse = 0;
}

void Sprite_Hash(StateHash* hash, const Sprite& s) {
    StateHash_Add(hash, s.x, s.y, s.heading, s.radius, s.sheetLeft, s.sheetRight, s.sheetTop,
                  s.sheetBottom, s.viewMargin, s.scaleX, s.scaleY, s.jitterX, s.z, s.alpha,
                  s.inUse);
}

void SpritePool_Hash(StateHash* hash) {
    StateHash_Add(hash, spritesInUse);
    for (int i = 0; i < kSpritePoolSize; i++)
        if (SpritePool[i].inUse) {
            StateHash_Add(hash, i);
            Sprite_Hash(hash, SpritePool[i]);
        }
}

Sprite* SpritePool_BindOne(int index) {
    if (index < 0 || index >= kSpritePoolSize || SpritePool[index].inUse) return nullptr;
    Sprite& s = SpritePool[index];
    int32_t ring = s.ring;
    bool inView = s.inView;
    s = Sprite{};
    s.ring = ring;
    s.inView = inView;
    s.inUse = true;
    spritesInUse++;
    return &s;
}

Sprite* Sprite_Activate(Sprite* sprite) {
    if (sprite && !sprite->inUse) {
        sprite->inUse = true;
        spritesInUse++;
    }
    return sprite;
}

void Sprite_Release(Sprite* sprite) {
    if (!sprite || !sprite->inUse) return;
    sprite->inUse = false;
    spritesInUse--;
}

void Sprite_SetFrame(Sprite* sprite, const SheetRect& frame) {
    sprite->sheetLeft = frame.left;
    sprite->sheetTop = frame.top;
    sprite->sheetRight = frame.right;
    sprite->sheetBottom = frame.bottom;
}

void Sprite_Start(Sprite* sprite, float x, float y, float heading, float radius,
                  const SheetRect& frame, float scale, float z) {
    Sprite& s = *Sprite_Activate(sprite);
    s.x = x;
    s.y = y;
    s.heading = heading;
    s.radius = radius;
    Sprite_SetFrame(&s, frame);
    s.viewMargin = 10.0f;
    s.scaleX = s.scaleY = scale;
    s.jitterX = 0.0f;
    s.z = z;
    s.alpha = 255;
}
