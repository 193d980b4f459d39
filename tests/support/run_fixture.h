// A test fixture that starts a run the way the game does (Game_Init), headless and seeded, and
// helpers to place things in it.
#pragma once

#include "app/game_state.h"
#include "core/settings.h"
#include "game/enemies.h"
#include "game/pickups.h"
#include "game/player.h"
#include "game/projectiles.h"
#include "game/sprite_frames.h"
#include "tests/support/headless_fixture.h"
#include "world/arena.h"
#include "world/camera.h"

class RunFixture : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(320, 240, 0.01f);
        QLH_ForceSeed(11);
        Settings_Reset();
        Game_Init();
        // One empty frame so that the engine reports the fixed time step of 0.01 s.
        RunEachFrame(Idle);
        QLH_Step(1);
    }
    static void Idle() {}
    void TearDown() override {
        Game_Exit();
        HeadlessTest::TearDown();
    }
    // Makes every cell open floor.
    static void OpenFloor() {
        for (MapCell& c : Arena) {
            c.top = -1.0f;
            c.bottom = -2.0f;
        }
    }
    static void Wall(int x, int y) {
        Arena_CellAt(x, y)->top = 2.0f;
        Arena_CellAt(x, y)->bottom = -3.0f;
    }
    // Puts an enemy of a kind at (x, y) directly, as if it had spawned there.
    static Enemy* PlaceEnemy(int kind, float x, float y) {
        Enemy* e = Enemy_Spawn(kind, kEnemyFrames.frames[kind]);
        if (!e) return nullptr;
        e->sprite->x = e->targetX = x;
        e->sprite->y = e->targetY = y;
        return e;
    }
    static int LiveProjectiles() {
        int n = 0;
        for (const Projectile& p : ProjectilePool)
            n += p.sprite->inUse;
        return n;
    }
    static int LiveEnemies() {
        int n = 0;
        for (const Enemy& e : EnemyPool)
            n += e.sprite->inUse;
        return n;
    }
};
