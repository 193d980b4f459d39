// A run's story from the run's own frames: a scripted run whose shots, kills, hits taken and
// pickups are known, on an open floor with nothing spawning but what the test places.
#include <gtest/gtest.h>

#include "app/run_frame.h"
#include "runs/run_story.h"
#include "tests/support/run_fixture.h"

namespace {

RunCommand held;
void Frame() {
    RunCommand command = held;
    command.dt = QL_System_GetDt();
    RunFrame_Step(command, false);
}

class RunStoryTest : public RunFixture {
  protected:
    void SetUp() override {
        RunFixture::SetUp();
        held = RunCommand();
        OpenFloor();
        runState.enemySpawnTimer = runState.pickupTimer = 1e6f; // nothing comes but the test's
        player.x = player.y = 16.5f;
        player.angle = 0.0f; // looking along +x
        player.weaponCooldown = 0.0f;
        RunStory_Reset(&runStory);
        RunEachFrame(Frame);
    }
    // Holds the trigger for a number of frames of 0.01 s.
    static void Fire(int frames) {
        held.fire = true;
        QLH_Step(frames);
        held.fire = false;
    }
    // An enemy's bullet of a kind flying at the player from just ahead.
    static void ShotAtPlayer(int kind) {
        Projectile_Spawn(player.x + 0.5f, player.y, 180.0f, 0.0f, 5.0f, false, false, 1,
                         kEnemyBulletFrames, ShotOrigin{(int8_t)(kFiredByEnemy + kind), -1});
    }
};

// Five AUTO bullets kill a chaser of 5 health ahead; a sixth, fired the other way, misses; two
// enemy bullets each cost a life; a coin is picked up. Every figure follows.
TEST_F(RunStoryTest, AScriptedRunsFiguresAreTheOnesItPlayed) {
    Enemy* chaser = PlaceEnemy(0, 24.5f, 16.5f);
    ASSERT_NE(chaser, nullptr);
    chaser->speed = 0.0f; // it stands in the line of fire
    Fire(101);            // shots at 0, 0.25, 0.5, 0.75 and 1 s
    QLH_Step(150);
    EXPECT_EQ(LiveEnemies(), 0) << "the chaser was not killed";
    player.angle = 180.0f;
    Fire(1);
    QLH_Step(300); // the miss flies to the arena's edge
    player.lives = 2;
    ShotAtPlayer(1);
    QLH_Step(20);
    player.x = 12.5f;
    ShotAtPlayer(3);
    QLH_Step(20);
    Pickup_Spawn(0, kPickupFrames[0]);
    for (const Pickup& p : PickupPool)
        if (p.sprite->inUse) p.sprite->x = player.x, p.sprite->y = player.y;
    QLH_Step(2);

    const RunStory& s = runStory;
    const WeaponFigures& autoGun = s.weapons[kWeaponAuto];
    EXPECT_EQ(autoGun.shots, 6);
    EXPECT_EQ(autoGun.hits, 5);
    EXPECT_EQ(autoGun.damage, 5);
    EXPECT_EQ(autoGun.kills, 1);
    EXPECT_NEAR(RunStory_Accuracy(autoGun), 5.0 / 6.0, 1e-9);
    EXPECT_EQ(s.weapons[kWeaponSpread].shots + s.weapons[kWeaponBomb].shots, 0);
    EXPECT_EQ(s.kills[0], 1);
    EXPECT_EQ(RunStory_Kills(s), 1);
    EXPECT_EQ(s.hurt[kHurtByShot + 1], 1);
    EXPECT_EQ(s.hurt[kHurtByShot + 3], 1);
    ASSERT_EQ(s.livesLost.size(), 2u);
    EXPECT_NEAR(s.livesLost[1].x, 12.5f, 0.2f) << "where the second life was lost";
    EXPECT_LT(s.livesLost[0].seconds, s.livesLost[1].seconds);
    EXPECT_EQ(player.lives, 0);
    EXPECT_EQ(s.pickups[0], 1);
    EXPECT_EQ(s.score, player.score);
    EXPECT_EQ(s.scoreBySecond.size(), (size_t)s.seconds + 1) << "a score for every second";
    EXPECT_EQ(s.scoreBySecond.back(), player.score - 10) << "the coin came after the last second";
}

// A SPREAD volley is one shot however many pellets hit, and a bomb's fragments hit for the bomb.
TEST_F(RunStoryTest, AVolleyAndABombAreOneShotEach) {
    for (float y : {16.3f, 16.5f, 16.7f})
        PlaceEnemy(5, 19.5f, y)->speed = 0.0f; // ring gunners: 30 health, they stand it
    player.weapon = kWeaponSpread;
    Fire(1);
    QLH_Step(60);
    EXPECT_EQ(runStory.weapons[kWeaponSpread].shots, 1);
    EXPECT_EQ(runStory.weapons[kWeaponSpread].hits, 1);
    EXPECT_GT(runStory.weapons[kWeaponSpread].damage, 3) << "pellets on three enemies";
    player.weapon = kWeaponBomb;
    player.weaponCooldown = 0.0f;
    Fire(1);
    QLH_Step(100);
    EXPECT_EQ(runStory.weapons[kWeaponBomb].shots, 1);
    EXPECT_EQ(runStory.weapons[kWeaponBomb].hits, 1);
    EXPECT_GT(runStory.weapons[kWeaponBomb].damage, 1) << "the fragments' hits are the bomb's";
}

} // namespace
