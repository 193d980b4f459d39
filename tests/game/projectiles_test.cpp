// Projectiles: fans, flight, hits and scoring, bursts, and a full pool.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/support/run_fixture.h"

namespace {

TEST(ProjectileFans, OddAndEvenCounts) {
    float h[11];
    Projectile_FanHeadings(9, 0.0f, 30.0f, h);
    const float odd[9] = {0, 15, -15, 11.25f, -11.25f, 7.5f, -7.5f, 3.75f, -3.75f};
    for (int i = 0; i < 9; i++)
        EXPECT_FLOAT_EQ(h[i], odd[i]) << i;
    Projectile_FanHeadings(4, 10.0f, 360.0f, h);
    const float even[4] = {-170, -80, 10, 100};
    for (int i = 0; i < 4; i++)
        EXPECT_FLOAT_EQ(h[i], even[i]) << i;
    Projectile_FanHeadings(3, 0.0f, 360.0f, h);
    EXPECT_FLOAT_EQ(h[1] - h[2], 360.0f) << "an odd fan over 360 repeats a direction";
    Projectile_FanHeadings(11, 90.0f, 30.0f, h);
    std::sort(h, h + 11);
    for (int i = 1; i < 11; i++)
        EXPECT_NEAR(h[i] - h[i - 1], 3.0f, 1e-4f);
}

class ProjectileTest : public RunFixture {
  protected:
    void SetUp() override {
        RunFixture::SetUp();
        OpenFloor();
        player.x = 5.5f;
        player.y = 5.5f;
    }
};

TEST_F(ProjectileTest, PlayersShotDoesNotTouchThePlayerWhenItAppears) {
    Projectile* p =
        Projectile_Spawn(player.x, player.y, 0.0f, 0.2f, 8.0f, true, false, 1, kAutoBulletFrames);
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->sprite->x, 5.7f, 1e-5f);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_EQ(player.lives, 3);
    EXPECT_TRUE(p->sprite->inUse);
}

TEST_F(ProjectileTest, AnyBulletOnThePlayerCostsALifeAndPushes) {
    Projectile_Spawn(player.x - 0.03f, player.y, 0.0f, 0.0f, 0.0f, true, false, 1,
                     kAutoBulletFrames);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_EQ(player.lives, 2);
    EXPECT_FLOAT_EQ(player.pushX, 3.0f);
    EXPECT_FLOAT_EQ(hurtFlash, 100.0f);
    EXPECT_EQ(LiveProjectiles(), 0);
}

TEST_F(ProjectileTest, WallsScoreOnlyForEnemyShots) {
    Wall(8, 5);
    Projectile_Spawn(7.98f, 5.5f, 0.0f, 0.0f, 10.0f, false, false, 1, kEnemyBulletFrames);
    Projectile_Spawn(7.98f, 5.2f, 0.0f, 0.0f, 10.0f, true, false, 1, kAutoBulletFrames);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_EQ(LiveProjectiles(), 0);
    EXPECT_EQ(player.score, 1);
}

TEST_F(ProjectileTest, HitsAndKillsScoreByWhoseShotItWas) {
    struct Case {
        bool fromPlayer;
        int health, score;
    } cases[] = {{true, 5, 2}, {false, 5, 1}, {true, 1, 2 + 15}, {false, 1, 1 + 7}};
    for (const Case& c : cases) {
        player.score = 0;
        Enemy* e = PlaceEnemy(1, 10.5f, 10.5f);
        ASSERT_NE(e, nullptr);
        e->health = c.health;
        Projectile_Spawn(10.4f, 10.5f, 0.0f, 0.0f, 0.0f, c.fromPlayer, false, 1, kAutoBulletFrames);
        Projectiles_Update(QL_System_GetDt());
        StepEffects_CarryOut(); // as the frame does after the step
        EXPECT_EQ(player.score, c.score) << "player " << c.fromPlayer << " health " << c.health;
        EXPECT_EQ(e->health, c.health - 1);
        EXPECT_EQ(e->sprite->inUse, c.health > 1) << "dies below 1";
        EXPECT_GT(e->pushX, 0.0f);
        Sprite_Release(e->sprite);
    }
}

TEST_F(ProjectileTest, OneBulletHitsEveryOverlappingEnemyInItsLastFrame) {
    Enemy* a = PlaceEnemy(0, 10.5f, 10.5f);
    Enemy* b = PlaceEnemy(0, 10.55f, 10.5f);
    Projectile_Spawn(10.5f, 10.45f, 0.0f, 0.0f, 0.0f, true, false, 1, kAutoBulletFrames);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_EQ(a->health, 4);
    EXPECT_EQ(b->health, 4);
    EXPECT_EQ(player.score, 4);
}

float FragmentSpeed() {
    for (const Projectile& p : ProjectilePool)
        if (p.sprite->inUse) return p.speed;
    return 0.0f;
}

TEST_F(ProjectileTest, PlayersBombBurstsIntoItsPowerInFragments) {
    Wall(12, 5);
    Projectile_Spawn(11.99f, 5.5f, 0.0f, 0.0f, 4.0f, true, true, 36, kBombFrames);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    // The fragments start inside the wall the bomb reached, so most end at once; count what was
    // thrown.
    int thrown = 0;
    for (const Projectile& p : ProjectilePool)
        thrown += p.fromPlayer && !p.explosive && p.speed == 8.0f && p.frames[0].top == 16.0f;
    EXPECT_EQ(thrown, 36);
    EXPECT_GT(whiteFlash, 0.0f);
}

TEST_F(ProjectileTest, EnemyBurstsGrowWithTime) {
    struct Case {
        float elapsed;
        int count;
        float speed;
    } cases[] = {{0.0f, 54, 3.0f}, {240.0f, 108, 6.0f}};
    for (const Case& c : cases) {
        for (Projectile& p : ProjectilePool)
            Sprite_Release(p.sprite);
        runState.elapsed = c.elapsed;
        Projectile_EnemyBurst(15.5f, 15.5f, 0.0f);
        EXPECT_EQ(LiveProjectiles(), c.count) << "at " << c.elapsed;
        EXPECT_FLOAT_EQ(FragmentSpeed(), c.speed);
    }
}

TEST_F(ProjectileTest, KillingABurstingKindThrowsFragments) {
    Enemy* e = PlaceEnemy(4, 15.5f, 15.5f);
    e->health = 1;
    Projectile_Spawn(15.45f, 15.5f, 0.0f, 0.0f, 0.0f, true, false, 1, kAutoBulletFrames);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_FALSE(e->sprite->inUse);
    EXPECT_GE(LiveProjectiles(), 50) << "54 fragments, some already on walls or the player";
}

// A burst frees the bomb's slot and throws fragments; the tests still to come must run on the
// bomb, not on the fragment that took its slot.
TEST_F(ProjectileTest, EveryBurstOfOneBombIsTheBombsOwn) {
    struct Case {
        const char* what;
        bool wall;
        int enemies, bursts;
    } cases[] = {{"two overlapping enemies", false, 2, 2}, {"an enemy against a wall", true, 1, 2}};
    for (const Case& c : cases) {
        for (Projectile& p : ProjectilePool) {
            Sprite_Release(p.sprite);
            p.frames[0].top = 0.0f;
        }
        for (Enemy& e : EnemyPool)
            Sprite_Release(e.sprite);
        OpenFloor();
        if (c.wall) Wall(11, 10);
        for (int i = 0; i < c.enemies; i++)
            PlaceEnemy(0, 10.9f, 10.5f)->health = 100;
        QLH_ClearLogs();
        player.bombPower = 45;
        Projectile_Spawn(11.01f, 10.5f, 0.0f, 0.0f, 0.0f, true, true, 30, kBombFrames);
        Projectiles_Update(QL_System_GetDt());
        StepEffects_CarryOut(); // as the frame does after the step
        std::vector<float> volumes;
        for (const QLH_PlayEntry& e : QLH_PlayLog())
            if (e.path.find("ExplosionLeft") != std::string::npos) volumes.push_back(e.volume);
        ASSERT_EQ((int)volumes.size(), c.bursts) << c.what;
        EXPECT_FLOAT_EQ(volumes.back(), volumes.front()) << c.what << ": same power, same place";
        int thrown = 0;
        for (const Projectile& p : ProjectilePool)
            thrown += p.sprite->inUse || p.frames[0].top == 16.0f;
        EXPECT_EQ(thrown, c.bursts * 45) << c.what;
    }
}

// A bullet that hits the player, then kills a bursting enemy: the enemy's fan must keep all its
// fragments, none released as if it were the bullet.
TEST_F(ProjectileTest, BulletOnThePlayerAndABurstingEnemyKeepsEveryFragment) {
    Enemy* e = PlaceEnemy(4, player.x + 0.3f, player.y);
    e->health = 1;
    Projectile_Spawn(player.x + 0.06f, player.y, 0.0f, 0.0f, 0.0f, false, false, 1,
                     kEnemyBulletFrames);
    Projectiles_Update(QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    ASSERT_FALSE(e->sprite->inUse);
    EXPECT_EQ(player.lives, 2);
    EXPECT_EQ(LiveProjectiles(), 54);
}

// A fan larger than the free pool keeps the spacing of the whole fan and loses what does not fit.
TEST_F(ProjectileTest, OversizedFanKeepsItsHeadings) {
    Projectile_SpawnFan(20.5f, 20.5f, 0, 1, false, 600, 0, 360, kEnemyBulletFrames);
    EXPECT_EQ(LiveProjectiles(), kProjectileCount);
    for (int i : {0, 1, 300, 511})
        EXPECT_FLOAT_EQ(ProjectilePool[i].sprite->heading, Projectile_FanHeading(600, 0, 360, i))
            << i;
    EXPECT_FLOAT_EQ(ProjectilePool[1].sprite->heading, (1.0f / 600.0f - 0.5f) * 360.0f);
}

TEST_F(ProjectileTest, BurstOnThePlayersSpotStaysFinite) {
    Projectile_EnemyBurst(player.x, player.y, 0.0f);
    EXPECT_TRUE(std::isfinite(whiteFlash));
    EXPECT_TRUE(std::isfinite(cameraShake));
}

TEST_F(ProjectileTest, FullPoolSpawnsNothingAndLeavesOtherRangesAlone) {
    for (int i = 0; i < kProjectileCount; i++)
        ASSERT_NE(Projectile_Spawn(20.5f, 20.5f, 0, 0, 0, true, false, 1, kAutoBulletFrames),
                  nullptr);
    EXPECT_EQ(Projectile_Spawn(20.5f, 20.5f, 0, 0, 0, true, false, 1, kAutoBulletFrames), nullptr);
    Projectile_SpawnFan(20.5f, 20.5f, 0, 1, false, 100, 0, 360, kEnemyBulletFrames);
    EXPECT_EQ(spritesInUse, kProjectileCount);
    for (int i = kPickupSprites; i < kSpritePoolSize; i++)
        ASSERT_FALSE(SpritePool[i].inUse) << i;
}

TEST_F(ProjectileTest, ShotsLeavingTheArenaStop) {
    const float points[][2] = {{-0.01f, 5}, {5, -0.01f}, {32.0f, 5}, {5, 32.0f}, {40, 40}};
    for (auto& p : points)
        EXPECT_TRUE(Projectile_StoppedAt(p[0], p[1])) << p[0] << "," << p[1];
    EXPECT_FALSE(Projectile_StoppedAt(31.99f, 31.99f));
}

} // namespace
