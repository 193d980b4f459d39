// The player's weapons: levels, cooldowns, fire rates, sounds and selection.
#include <string>

#include "game/weapons.h"
#include "tests/support/run_fixture.h"

namespace {

// What the player asks: the trigger held from frame to frame, a weapon asked for one frame.
RunCommand held;
void Update() {
    RunCommand command = held;
    command.dt = QL_System_GetDt();
    Weapons_Update(command);
    held.weapon = WeaponAsk::None;
}

class WeaponsTest : public RunFixture {
  protected:
    void SetUp() override {
        RunFixture::SetUp();
        held = RunCommand();
        OpenFloor();
        RunEachFrame(Update);
        QLH_Step(1); // the idle state's last frame; the weapons run from the next one
        player.weaponCooldown = 0.25f;
        QLH_ClearLogs();
    }
};

TEST_F(WeaponsTest, AutoFiresAtMostFourTimesASecond) {
    player.weaponCooldown = 0.0f;
    held.fire = true;
    QLH_Step(100);
    EXPECT_EQ(Plays("PlayerAutogun.wav"), 4);
    EXPECT_EQ(LiveProjectiles(), 4);
    ASSERT_NE(LastPlay("PlayerAutogun.wav"), nullptr);
    EXPECT_FLOAT_EQ(LastPlay("PlayerAutogun.wav")->volume, 0.3f);
}

// The SPREAD gun fires level x 2 + 7 pellets, and sounds louder with more of them.
TEST_F(WeaponsTest, SpreadPelletsAndTheirSoundFollowTheLevel) {
    struct Case {
        int level, pellets;
        float volume;
    } cases[] = {{1, 9, 0.3f}, {11, 29, 29.0f / 30.0f}, {12, 31, 1.0f}};
    player.weapon = 1;
    for (const Case& c : cases) {
        player.spreadLevel = c.level;
        player.spreadPellets = Weapons_SpreadPellets(c.level);
        player.weaponCooldown = 0.0f;
        int before = LiveProjectiles();
        held.fire = true;
        QLH_Step(1);
        held.fire = false;
        QLH_Step(1);
        const QLH_PlayEntry* shot = LastPlay("PlayerShotgun.wav");
        ASSERT_NE(shot, nullptr) << "level " << c.level;
        EXPECT_EQ(LiveProjectiles() - before, c.pellets) << "level " << c.level;
        EXPECT_FLOAT_EQ(shot->volume, c.volume) << "level " << c.level;
        EXPECT_FLOAT_EQ(player.weaponCooldown, 1.0f - 0.01f);
    }
}

TEST_F(WeaponsTest, SelectionRestartsTheCooldownAndBombTicks) {
    held.weapon = WeaponAsk::Bomb;
    QLH_Step(1);
    EXPECT_EQ(player.weapon, 2);
    EXPECT_FLOAT_EQ(player.weaponCooldown, 3.0f);
    QLH_Step(100);
    EXPECT_GT(Plays("BombGunBlip.wav"), 2) << "the reload ticks";
    held.weapon = WeaponAsk::Bomb;
    QLH_Step(1);
    EXPECT_FLOAT_EQ(player.weaponCooldown, 3.0f) << "again on the same weapon";
}

// The pad's shoulders step through the guns, round from the last to the first and back.
TEST_F(WeaponsTest, NextAndPreviousStepRound) {
    struct Case {
        WeaponAsk ask;
        int from, to;
    } cases[] = {{WeaponAsk::Next, 0, 1},
                 {WeaponAsk::Next, 2, 0},
                 {WeaponAsk::Previous, 0, 2},
                 {WeaponAsk::Previous, 1, 0}};
    for (const Case& c : cases) {
        player.weapon = c.from;
        held.weapon = c.ask;
        QLH_Step(1);
        EXPECT_EQ(player.weapon, c.to) << "from " << c.from;
    }
}

TEST_F(WeaponsTest, BombLeavesAheadWithItsPower) {
    player.weapon = 2;
    player.weaponCooldown = 0.0f;
    held.fire = true;
    QLH_Step(1);
    Projectile& p = ProjectilePool[0];
    ASSERT_TRUE(p.sprite->inUse);
    EXPECT_TRUE(p.explosive);
    EXPECT_EQ(p.power, 36);
    EXPECT_FLOAT_EQ(p.speed, 4.0f);
    EXPECT_FLOAT_EQ(whiteFlash, 180.0f);
}

TEST_F(WeaponsTest, FiringWithAFullPoolStillSoundsAndCoolsDown) {
    for (int i = 0; i < kProjectileCount; i++)
        Projectile_Spawn(20.5f, 20.5f, 0, 0, 0, true, false, 1, kAutoBulletFrames);
    player.weaponCooldown = 0.0f;
    held.fire = true;
    QLH_Step(1);
    EXPECT_EQ(Plays("PlayerAutogun.wav"), 1);
    EXPECT_GT(player.weaponCooldown, 0.2f);
}

} // namespace
