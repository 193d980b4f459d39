// Enemy behaviour: view groups, aim, weapon retries, turning, walls and contact.
#include <cmath>
#include <string>

#include "game/enemy_behaviour.h"
#include "tests/support/run_fixture.h"

namespace {

TEST(EnemyViews, GroupsByRelativeHeading) {
    struct Case {
        float heading, angle;
        int group;
    } cases[] = {{0, 0, 2},    {45, 0, 2},         {45.01f, 0, 3}, {135, 0, 3}, {135.01f, 0, 0},
                 {180, 0, 0},  {-135 + 360, 0, 1}, {315, 0, 1},    {316, 0, 2}, {270, 0, 1},
                 {10, 350, 2}, {350, 10, 2},       {90, 270, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Enemy_ViewGroup(c.heading, c.angle), c.group) << c.heading << " vs " << c.angle;
}

TEST(EnemyAim, PlainDifferenceWithItsSeam) {
    EXPECT_TRUE(Enemy_Aimed(true, 5.0f, 0.0f, 10.0f));
    EXPECT_FALSE(Enemy_Aimed(true, 10.0f, 0.0f, 10.0f)) << "10 degrees off does not fire";
    EXPECT_FALSE(Enemy_Aimed(false, 0.0f, 0.0f, 10.0f)) << "unseen";
    EXPECT_TRUE(Enemy_Aimed(true, 170.0f, -5.0f, 180.0f));
    EXPECT_FALSE(Enemy_Aimed(true, 179.0f, -179.0f, 180.0f)) << "across the seam: 358 apart";
}

class EnemyBehaviourTest : public RunFixture {
  protected:
    void SetUp() override {
        RunFixture::SetUp();
        OpenFloor();
        player.x = 5.5f;
        player.y = 5.5f;
        player.contactCooldown = -0.5f;
    }
};

TEST_F(EnemyBehaviourTest, UnseenWeaponRetriesAfterATenthAndAHalf) {
    Enemy* e = PlaceEnemy(1, 10.5f, 5.5f);
    e->sprite->heading = 90.0f; // facing away from the player's side
    e->singleShotTimer = 0.005f;
    Enemy_Update(e, QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_NEAR(e->singleShotTimer, 0.005f - 0.01f + 0.2f, 1e-5f);
    EXPECT_EQ(LiveProjectiles(), 0);
}

TEST_F(EnemyBehaviourTest, FacingThePlayerItFires) {
    Enemy* e = PlaceEnemy(1, 10.5f, 5.5f);
    e->sprite->heading = 179.0f; // toward the player, due west (180 itself is across the seam)
    e->singleShotTimer = 0.005f;
    Enemy_Update(e, QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_NEAR(e->singleShotTimer, 0.005f - 0.01f + 1.0f, 1e-5f);
    EXPECT_EQ(LiveProjectiles(), 1);
    EXPECT_GT(whiteFlash, 0.0f);
}

TEST_F(EnemyBehaviourTest, TurnsTowardTheTargetAndNeverRests) {
    Enemy* e = PlaceEnemy(0, 10.5f, 5.5f);
    Wall(8, 5); // out of sight: it steers for its own spawn point
    e->targetX = 10.5f;
    e->targetY = 2.5f; // due north
    e->sprite->heading = 10.0f;
    Enemy_Update(e, QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_NEAR(e->sprite->heading, 10.0f + 0.45f, 1e-4f) << "toward 90, the positive side";
    e->sprite->heading = 170.0f;
    Enemy_Update(e, QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_LT(e->sprite->heading, 170.0f);
}

TEST_F(EnemyBehaviourTest, WalksUpToAWallAndStopsWithItsEdgeOnTheFace) {
    Wall(12, 10);
    float x = 11.5f;
    for (int i = 0; i < 100; i++)
        Enemy_AxisMove(&x, 1.0f, 10.5f, 0.2f, 0.01f, true);
    EXPECT_NEAR(x, 11.8f, 1e-5f);
    float y = 0.5f;
    Enemy_AxisMove(&y, -1.0f, 3.5f, 0.8f, 0.01f, false);
    EXPECT_NEAR(y, 0.8f, 1e-5f) << "the arena's edge snaps it inside";
    float nan = 0.0f / 0.0f, p = 4.5f;
    Enemy_AxisMove(&p, 1.0f, nan, 0.2f, 0.01f, true);
    EXPECT_TRUE(std::isfinite(p));
}

TEST_F(EnemyBehaviourTest, ContactCooldownIsSharedByAllEnemies) {
    Enemy* a = PlaceEnemy(0, 5.6f, 5.5f);
    Enemy* b = PlaceEnemy(0, 5.4f, 5.5f);
    Enemy_ContactTest(a);
    Enemy_ContactTest(b);
    EXPECT_EQ(player.lives, 2) << "one life for two enemies";
    EXPECT_NEAR(player.pushX, 0.0f, 1e-4f) << "both pushes applied, opposite ways";
    EXPECT_FLOAT_EQ(player.contactCooldown, 1.0f);
    Enemy_ContactTest(a);
    EXPECT_EQ(player.lives, 2);
    EXPECT_LT(player.pushX, -19.0f);
}

TEST_F(EnemyBehaviourTest, HeavyFootstepsShakeTheCameraByNearness) {
    Enemy* e = PlaceEnemy(7, 7.5f, 5.5f); // two cells east
    e->stepTimer = 0.005f;
    cameraShake = 0.0f;
    QLH_ClearLogs();
    Enemy_Update(e, QL_System_GetDt());
    StepEffects_CarryOut(); // as the frame does after the step
    EXPECT_NEAR(cameraShake, 0.625f, 0.02f);
    bool heavy = false;
    for (const QLH_PlayEntry& p : QLH_PlayLog())
        heavy = heavy || p.path.find("HeavyFootstep") != std::string::npos;
    EXPECT_TRUE(heavy);
}

TEST_F(EnemyBehaviourTest, DeadEnemiesDoNothing) {
    Enemy* e = PlaceEnemy(0, 7.5f, 5.5f);
    Sprite_Release(e->sprite);
    float x = e->sprite->x;
    EXPECT_FALSE(Enemy_Update(e, QL_System_GetDt()));
    EXPECT_EQ(e->sprite->x, x);
}

} // namespace
