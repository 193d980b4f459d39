// The sprite pool: binding ranges, activation and release with the in-use count.
#include <gtest/gtest.h>

#include "world/sprite_pool.h"

namespace {

struct Owner {
    Sprite* sprite;
};

TEST(SpritePool, BindingGivesEachOwnerItsSpriteThenResetFreesThem) {
    static Owner projectiles[512], pickups[256], enemies[256];
    SpritePool[5].x = 7.0f;
    SpritePool[5].ring = 12;
    SpritePool_Reset();
    SpritePool_Bind(kProjectileSprites, 512, projectiles);
    SpritePool_Bind(kPickupSprites, 256, pickups);
    SpritePool_Bind(kEnemySprites, 256, enemies);
    EXPECT_EQ(spritesInUse, 1024);
    EXPECT_EQ(projectiles[5].sprite, &SpritePool[5]);
    EXPECT_EQ(pickups[0].sprite, &SpritePool[512]);
    EXPECT_EQ(enemies[255].sprite, &SpritePool[1023]);
    EXPECT_EQ(SpritePool[5].x, 0.0f) << "binding zeroes the fields";
    EXPECT_EQ(SpritePool[5].ring, 12) << "but keeps the ring";
    SpritePool_Reset();
    EXPECT_EQ(spritesInUse, 0);
    EXPECT_EQ(projectiles[5].sprite, &SpritePool[5]) << "the binding outlives the reset";
}

TEST(SpritePool, BusySpritesAndIndicesOutsideThePoolBindNothing) {
    SpritePool_Reset();
    Sprite_Activate(&SpritePool[3]);
    Owner owners[4];
    SpritePool_Bind(2, 2, owners);
    EXPECT_EQ(owners[0].sprite, &SpritePool[2]);
    EXPECT_EQ(owners[1].sprite, nullptr);
    EXPECT_EQ(SpritePool_BindOne(1024), nullptr);
    EXPECT_EQ(SpritePool_BindOne(-1), nullptr);
    EXPECT_EQ(spritesInUse, 2);
}

TEST(SpritePool, ActivateAndReleaseKeepTheCountRight) {
    SpritePool_Reset();
    Sprite* s = &SpritePool[800];
    s->x = 4.5f;
    EXPECT_EQ(Sprite_Activate(s), s);
    EXPECT_EQ(spritesInUse, 1);
    Sprite_Activate(s);
    EXPECT_EQ(spritesInUse, 1) << "activating an active sprite changes nothing";
    Sprite_Release(s);
    EXPECT_EQ(spritesInUse, 0);
    Sprite_Release(s);
    EXPECT_EQ(spritesInUse, 0) << "a second release changes nothing";
    EXPECT_EQ(s->x, 4.5f) << "a released sprite keeps its fields";
    Sprite_Release(nullptr);
}

TEST(SpritePool, SetFrameTakesBothHorizontalEdgesFirst) {
    Sprite s{};
    Sprite_SetFrame(&s, SheetRect{16, 0, 32, 16});
    EXPECT_EQ(s.sheetLeft, 16);
    EXPECT_EQ(s.sheetTop, 0);
    EXPECT_EQ(s.sheetRight, 32);
    EXPECT_EQ(s.sheetBottom, 16);
}

} // namespace
