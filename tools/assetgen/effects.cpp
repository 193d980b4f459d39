// The sound effects, each built from tones and noise to fit its event. Effects heard from a
// point in the arena are written as a Left file (left channel only) and a Right file (right
// channel only); the game places them by playing the two at different volumes.
#include "tools/assetgen/effects.h"

#include <string>

#include "tools/assetgen/output.h"
#include "tools/assetgen/synth.h"

namespace {

const int kRate = 44100;

Audio Make(float seconds) {
    return Audio_Make(seconds, kRate, false);
}

Note Tone(float start, float length, float f0, float f1, Shape s, float vol, float decay) {
    return Note{start, length, f0, f1, s, vol, 0.002f, decay, 0.0f};
}

NoiseBurst Hiss(float start, float length, float vol, float c0, float c1, float decay,
                uint32_t seed) {
    return NoiseBurst{start, length, vol, c0, c1, decay, 0.0f, seed};
}

Audio Ricochet() {
    Audio a = Make(0.35f);
    Audio_Noise(&a, Hiss(0, 0.05f, 1.0f, 6000, 2000, 0.015f, 11));
    Audio_Note(&a, Tone(0.01f, 0.33f, 2600, 900, kSine, 0.6f, 0.09f));
    Audio_Note(&a, Tone(0.01f, 0.3f, 3900, 1500, kSine, 0.25f, 0.06f));
    return a;
}

Audio EnemyDown() {
    Audio a = Make(0.6f);
    Audio_Note(&a, Tone(0, 0.55f, 520, 60, kSquare, 0.5f, 0.2f));
    Audio_Noise(&a, Hiss(0, 0.5f, 1.2f, 3000, 200, 0.15f, 12));
    return a;
}

Audio EnemyHurt() {
    Audio a = Make(0.15f);
    Audio_Note(&a, Tone(0, 0.14f, 700, 350, kSquare, 0.6f, 0.05f));
    Audio_Noise(&a, Hiss(0, 0.04f, 0.6f, 5000, 3000, 0.01f, 13));
    return a;
}

Audio EnemySpawn() {
    Audio a = Make(0.8f);
    for (int k = 0; k < 3; k++) {
        Note n = Tone(k * 0.05f, 0.7f, 200.0f * (k + 1), 900.0f * (k + 1), kTriangle, 0.3f, 0.0f);
        n.attack = 0.3f;
        n.vibrato = 0.04f;
        Audio_Note(&a, n);
    }
    return a;
}

Audio Explosion() {
    Audio a = Make(1.4f);
    Audio_Noise(&a, Hiss(0, 1.4f, 2.0f, 2500, 120, 0.35f, 14));
    Audio_Note(&a, Tone(0, 0.9f, 90, 35, kSine, 0.9f, 0.3f));
    return a;
}

Audio HealthUp() {
    Audio a = Make(0.7f);
    const float notes[4] = {523.25f, 659.25f, 783.99f, 1046.5f};
    for (int k = 0; k < 4; k++)
        Audio_Note(&a, Tone(k * 0.12f, 0.3f, notes[k], notes[k], kSquare, 0.35f, 0.12f));
    return a;
}

Audio PickupCoin() {
    Audio a = Make(0.35f);
    Audio_Note(&a, Tone(0, 0.07f, 987.77f, 987.77f, kSquare, 0.35f, 0.0f));
    Audio_Note(&a, Tone(0.07f, 0.27f, 1318.5f, 1318.5f, kSquare, 0.35f, 0.1f));
    return a;
}

Audio PickupPower() {
    Audio a = Make(0.6f);
    Note n = Tone(0, 0.58f, 300, 1400, kSaw, 0.4f, 0.3f);
    n.vibrato = 0.05f;
    Audio_Note(&a, n);
    Audio_Note(&a, Tone(0.05f, 0.5f, 600, 2800, kSine, 0.2f, 0.25f));
    return a;
}

Audio Autogun() {
    Audio a = Make(0.12f);
    Audio_Noise(&a, Hiss(0, 0.1f, 1.5f, 8000, 1500, 0.025f, 15));
    Audio_Note(&a, Tone(0, 0.08f, 1200, 300, kSquare, 0.4f, 0.02f));
    return a;
}

Audio Shotgun() {
    Audio a = Make(0.4f);
    Audio_Noise(&a, Hiss(0, 0.4f, 2.0f, 5000, 300, 0.08f, 16));
    Audio_Note(&a, Tone(0, 0.2f, 220, 70, kSquare, 0.4f, 0.05f));
    return a;
}

Audio Bombgun() {
    Audio a = Make(0.5f);
    Audio_Note(&a, Tone(0, 0.45f, 180, 45, kSine, 1.0f, 0.15f));
    Audio_Noise(&a, Hiss(0, 0.2f, 0.8f, 1500, 300, 0.05f, 17));
    return a;
}

Audio PlayerHurt() {
    Audio a = Make(0.5f);
    Audio_Note(&a, Tone(0, 0.45f, 160, 80, kSaw, 0.6f, 0.2f));
    Audio_Note(&a, Tone(0, 0.45f, 167, 83, kSquare, 0.4f, 0.2f));
    Audio_Noise(&a, Hiss(0, 0.3f, 0.7f, 2000, 500, 0.1f, 18));
    return a;
}

Audio Footstep(float weight, uint32_t seed) {
    Audio a = Make(0.12f + 0.2f * weight);
    Audio_Noise(&a, Hiss(0, 0.1f + 0.2f * weight, 1.0f, 3000 - 2500 * weight, 400 - 300 * weight,
                         0.02f + 0.05f * weight, seed));
    Audio_Note(&a, Tone(0, 0.1f + 0.2f * weight, 160 - 110 * weight, 60 - 30 * weight, kSine,
                        0.3f + 0.6f * weight, 0.03f + 0.06f * weight));
    return a;
}

Audio TankRoll() {
    Audio a = Make(0.45f);
    Audio_Noise(&a, Hiss(0, 0.45f, 1.5f, 400, 300, 0.0f, 19));
    for (int k = 0; k < 6; k++) // tread links clanking
        Audio_Noise(&a, Hiss(k * 0.07f, 0.03f, 0.5f, 5000, 3000, 0.008f, 20 + (uint32_t)k));
    Audio_Note(&a, Tone(0, 0.45f, 55, 50, kSaw, 0.3f, 0.0f));
    return a;
}

Audio EnemySingleShot() {
    Audio a = Make(0.22f);
    Audio_Note(&a, Tone(0, 0.2f, 1800, 250, kSquare, 0.45f, 0.07f));
    return a;
}

Audio EnemyMultiShot() {
    Audio a = Make(0.35f);
    for (int k = 0; k < 3; k++)
        Audio_Note(&a,
                   Tone(k * 0.03f, 0.28f, 1400.0f - 250 * k, 200.0f + 40 * k, kSaw, 0.3f, 0.09f));
    return a;
}

Audio EnemyBombShot() {
    Audio a = Make(0.5f);
    Audio_Note(&a, Tone(0, 0.45f, 90, 260, kTriangle, 0.8f, 0.2f)); // a rising mortar bloop
    Audio_Noise(&a, Hiss(0, 0.15f, 0.6f, 1000, 200, 0.04f, 26));
    return a;
}

// A click: a few milliseconds of a bright tone and a tap of noise, then silence to 29 ms.
Audio Tick() {
    Audio a = Make(0.029f);
    Audio_Note(&a, Tone(0, 0.008f, 2400, 1800, kSine, 1.0f, 0.0015f));
    Audio_Noise(&a, Hiss(0, 0.004f, 0.5f, 9000, 6000, 0.001f, 27));
    return a;
}

// How loud a file is written, for the way the game plays it: an RMS over its length and a
// ceiling its peaks are rounded under.
struct Level {
    float rmsDb, ceiling;
};
// The player's own guns, played at low fixed factors (the AUTO gun at 0.3): dense and loud, so
// that the main weapon sits just above the music.
const Level kGun{-8.0f, 0.98f};
// Heard from a point in the arena: the game raises these to three times when they are close.
const Level kArena{-25.0f, 0.26f};
// The player's pickups and hurts, played at half to full volume.
const Level kPlayer{-17.0f, 0.45f};
// The tick of the BOMB gun's reload (at three times), the pause and the menus: a quiet click.
const Level kTick{-41.0f, 0.08f};
const std::string kDir = "Music/SFX/";

bool WriteMono(const std::string& root, const std::string& name, Audio a, Level level) {
    Audio_Master(&a, level.rmsDb, level.ceiling);
    return Output_Write(root, kDir + name + ".wav", Audio_EncodeWav(a));
}

// The left and the right file of a sound placed in the arena, levelled together. The game has
// no right file of an enemy's arrival.
bool WritePair(const std::string& root, const std::string& name, Audio a, bool rightToo = true) {
    Audio_Master(&a, kArena.rmsDb, kArena.ceiling);
    for (bool left : {true, false}) {
        if (!left && !rightToo) break;
        Audio side = a;
        Audio_KeepChannel(&side, left);
        if (!Output_Write(root, kDir + name + (left ? "Left" : "Right") + ".wav",
                          Audio_EncodeWav(side)))
            return false;
    }
    return true;
}

} // namespace

bool Effects_Generate(const std::string& root) {
    return WritePair(root, "BulletRicochet", Ricochet()) &&
           WritePair(root, "EnemyDown", EnemyDown()) && WritePair(root, "EnemyHurt", EnemyHurt()) &&
           WritePair(root, "EnemySpawn", EnemySpawn(), false) &&
           WritePair(root, "Explosion", Explosion()) &&
           WriteMono(root, "HealthUp", HealthUp(), kPlayer) &&
           WriteMono(root, "PickupCoin", PickupCoin(), kPlayer) &&
           WriteMono(root, "PickupPower", PickupPower(), kPlayer) &&
           WriteMono(root, "PlayerAutogun", Autogun(), kGun) &&
           WriteMono(root, "PlayerShotgun", Shotgun(), kGun) &&
           WriteMono(root, "PlayerBombgun", Bombgun(), kGun) &&
           WriteMono(root, "PlayerHurt", PlayerHurt(), kPlayer) &&
           WritePair(root, "LightFootstep", Footstep(0.0f, 30)) &&
           WritePair(root, "MediumFootstep", Footstep(0.5f, 31)) &&
           WritePair(root, "HeavyFootstep", Footstep(1.0f, 32)) &&
           WritePair(root, "TankRoll", TankRoll()) &&
           WritePair(root, "enemySingleShot", EnemySingleShot()) &&
           WritePair(root, "enemyMultiShot", EnemyMultiShot()) &&
           WritePair(root, "enemyBombShot", EnemyBombShot()) &&
           WriteMono(root, "BombGunBlip", Tick(), kTick);
}
