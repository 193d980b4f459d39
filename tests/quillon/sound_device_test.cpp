// The sound device kept: a device lost is closed, tried again after 0.5, 1, 2 and 4 s while the
// frames go on silently, and mixes again once open; a game that started without one opens one as
// a device comes. Through SDL's dummy driver, a real device that needs no sound card.
#include <SDL.h>
#include <gtest/gtest.h>

#include "quillon/headless.h"
#include "quillon/quillon.h"

namespace {

class SoundDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(QLH_Start(64, 64, 0.05f));
    }
    void TearDown() override { QLH_Shutdown(); }
    // Whether the device's callback mixes past what it had mixed, within 5 s.
    static bool Mixes() {
        long before = QLH_SoundDeviceFrames();
        for (int i = 0; i < 500 && QLH_SoundDeviceFrames() == before; i++)
            SDL_Delay(10);
        return QLH_SoundDeviceFrames() > before;
    }
    // Frames of 0.05 s until the device is open again, up to 20 s of them.
    static int FramesUntilOpen() {
        int frames = 0;
        while (!QLH_SoundDeviceOpen() && frames < 400) {
            QLH_Step(1);
            frames++;
        }
        return frames;
    }
};

TEST_F(SoundDeviceTest, ALostDeviceIsTriedAgainUntilItOpensAndMixes) {
    ASSERT_TRUE(QLH_OpenSoundDevice());
    ASSERT_TRUE(Mixes());
    QLH_FailSoundOpens(2); // the tries at 0.5 and 1.5 s fail; the one at 3.5 s opens
    QLH_PostSoundDeviceRemoved();
    QLH_Step(1);
    EXPECT_FALSE(QLH_SoundDeviceOpen()) << "the lost device is closed";
    // An explosion (1.4 s) played meanwhile runs its course in silence, as the music goes on.
    QL_Sound boom = QL_Sound_Load("./Assets/Music/SFX/ExplosionLeft.wav");
    ASSERT_NE(boom, nullptr);
    QL_Sound_PlayAdvanced(boom, 1.0f, 1.0f, false, QL_GROUP_EFFECTS);
    QLH_Step(1);
    EXPECT_EQ(QLH_ActiveVoices(), 1);
    EXPECT_NEAR(2 + FramesUntilOpen(), 70, 1) << "tried after 0.5, 1 and 2 s";
    EXPECT_EQ(QLH_ActiveVoices(), 0) << "the explosion was played out while there was no device";
    EXPECT_TRUE(Mixes()) << "the device opened again mixes";
    QL_Sound_Free(boom);
}

TEST_F(SoundDeviceTest, WithoutADeviceAtTheStartOneComingIsOpened) {
    QLH_FailSoundOpens(1);
    EXPECT_FALSE(QLH_OpenSoundDevice());
    // The devices the driver found as it started are not there, as on a machine without any.
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
    QLH_Step(60);
    EXPECT_FALSE(QLH_SoundDeviceOpen()) << "nothing is tried before a device comes";
    SDL_Event added{};
    added.type = SDL_AUDIODEVICEADDED;
    SDL_PushEvent(&added);
    QLH_Step(1);
    EXPECT_TRUE(QLH_SoundDeviceOpen());
    EXPECT_TRUE(Mixes());
}

} // namespace
