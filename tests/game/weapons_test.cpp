// The player's weapons: levels, cooldowns, fire rates, sounds and selection.
#include <string>

#include "game/weapons.h"
#include "tests/support/run_fixture.h"

namespace {

void Update() {
    Weapons_Update();
}

class WeaponsTest : public RunFixture {
  protected:
    void SetUp() override {
        RunFixture::SetUp();
        OpenFloor();
        RunEachFrame(Update);
        QLH_Step(1); // the idle state's last frame; the weapons run from the next one
        player.weaponCooldown = 0.25f;
        QLH_ClearLogs();
    }
};

TEST_F(WeaponsTest, AutoFiresAtMostFourTimesASecond) {
    player.weaponCooldown = 0.0f;
    QLH_MouseButton(true);
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
        QLH_MouseButton(true);
        QLH_Step(1);
        QLH_MouseButton(false);
        QLH_Step(1);
        const QLH_PlayEntry* shot = LastPlay("PlayerShotgun.wav");
        ASSERT_NE(shot, nullptr) << "level " << c.level;
        EXPECT_EQ(LiveProjectiles() - before, c.pellets) << "level " << c.level;
        EXPECT_FLOAT_EQ(shot->volume, c.volume) << "level " << c.level;
        EXPECT_FLOAT_EQ(player.weaponCooldown, 1.0f - 0.01f);
    }
}

TEST_F(WeaponsTest, SelectionRestartsTheCooldownAndBombTicks) {
    QLH_KeyTap('3');
    QLH_Step(1);
    EXPECT_EQ(player.weapon, 2);
    EXPECT_FLOAT_EQ(player.weaponCooldown, 3.0f);
    QLH_Step(100);
    EXPECT_GT(Plays("BombGunBlip.wav"), 2) << "the reload ticks";
    QLH_KeyTap('3');
    QLH_Step(1);
    EXPECT_FLOAT_EQ(player.weaponCooldown, 3.0f) << "again on the same weapon";
    QLH_KeyTap('2');
    QLH_KeyTap('1');
    QLH_Step(1);
    EXPECT_EQ(player.weapon, 0) << "only the first key that applies";
}

// On AZERTY the keys in the places of 1 2 3 type & é ": the guns follow the places.
TEST_F(WeaponsTest, WeaponKeysFollowTheirPlaceOnAnyLayout) {
    const int azerty[3] = {'&', 0xE9, '"'};
    for (int i : {2, 1, 0}) {
        QLH_KeyDownAs('1' + i, azerty[i]);
        QLH_Step(1);
        QLH_KeyUpAs('1' + i, azerty[i]);
        QLH_Step(1);
        EXPECT_EQ(player.weapon, i) << "the key at the place of " << (char)('1' + i);
    }
    QLH_KeyDownAs('W', '1'); // a layout with 1 elsewhere
    QLH_Step(1);
    QLH_KeyUpAs('W', '1');
    QLH_Step(1);
    EXPECT_EQ(player.weapon, 0) << "the letter 1 elsewhere chooses nothing";
    QLH_KeyDownAs('W', '2');
    QLH_Step(1);
    QLH_KeyUpAs('W', '2');
    QLH_Step(1);
    EXPECT_EQ(player.weapon, 0) << "the letter 2 elsewhere chooses nothing";
}

TEST_F(WeaponsTest, BombLeavesAheadWithItsPower) {
    player.weapon = 2;
    player.weaponCooldown = 0.0f;
    QLH_MouseButton(true);
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
    QLH_MouseButton(true);
    QLH_Step(1);
    EXPECT_EQ(Plays("PlayerAutogun.wav"), 1);
    EXPECT_GT(player.weaponCooldown, 0.2f);
}

} // namespace
