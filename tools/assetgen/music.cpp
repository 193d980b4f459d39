// The music: a calm loop for the front end and eight stage loops that rise in tempo and add
// layers (kick, snare, hats, arpeggio) from stage to stage. Every track is a whole number of
// bars rendered as a loop, so notes ringing past the end continue at the start and the join is
// seamless.
#include "tools/assetgen/music.h"

#include <string>

#include "tools/assetgen/output.h"
#include "tools/assetgen/synth.h"

namespace {

const int kRate = 32000;
const int kBars = 8;

// A minor: A, F, C, G, twice over eight bars. Roots in Hz (second octave).
const float kRoots[4] = {110.0f, 87.31f, 130.81f, 98.0f};
// Chord tones above a root: minor or major triads by bar.
const float kThirds[4] = {1.1892f, 1.2599f, 1.2599f, 1.2599f};

float Root(int bar) {
    return kRoots[bar % 4];
}

void Pad(Audio* a, float beat, float volume) {
    for (int bar = 0; bar < kBars; bar++) {
        float start = bar * 4 * beat;
        float tones[3] = {Root(bar) * 2, Root(bar) * 2 * kThirds[bar % 4], Root(bar) * 3};
        for (float f : tones) {
            Note n{start, 4 * beat + 0.3f, f, f, kTriangle, volume, 0.4f, 0.0f, 0.0f, 0.01f};
            Audio_Note(a, n);
        }
    }
}

void Bass(Audio* a, float beat, float volume, Shape shape) {
    for (int bar = 0; bar < kBars; bar++)
        for (int k = 0; k < 8; k++) {
            float f = Root(bar) * (k % 4 == 3 ? 1.5f : 1.0f);
            Audio_Note(a, Note{(bar * 8 + k) * beat / 2, beat / 2, f, f, shape, volume, 0.005f,
                               beat / 3, 0.0f});
        }
}

void Drums(Audio* a, float beat, int stage) {
    int beats = kBars * 4;
    for (int b = 0; b < beats; b++) {
        float t = b * beat;
        Audio_Note(a, Note{t, 0.25f, 120, 40, kSine, 0.9f, 0.001f, 0.08f, 0.0f});
        if (stage >= 5 && b % 2 == 1) // a second kick in the off-beat
            Audio_Note(a, Note{t + beat * 0.75f, 0.2f, 110, 40, kSine, 0.6f, 0.001f, 0.06f, 0.0f});
        if (stage >= 2 && b % 2 == 1)
            Audio_Noise(a, NoiseBurst{t, 0.2f, 0.8f, 5000, 1500, 0.06f, 0.0f, (uint32_t)(100 + b)});
        int hatsPerBeat = stage >= 6 ? 4 : (stage >= 3 ? 2 : 0);
        for (int h = 0; h < hatsPerBeat; h++)
            Audio_Noise(a, NoiseBurst{t + h * beat / hatsPerBeat, 0.05f, 0.35f, 12000, 9000, 0.012f,
                                      h % 2 ? 0.3f : -0.3f, (uint32_t)(500 + b * 4 + h)});
    }
}

// Sixteenth notes climbing the chord, panned from side to side.
void Arpeggio(Audio* a, float beat, float volume) {
    const float steps[4] = {1.0f, 1.1892f, 1.4983f, 2.0f};
    for (int bar = 0; bar < kBars; bar++)
        for (int k = 0; k < 16; k++) {
            float f = Root(bar) * 4 * steps[k % 4] * (k >= 8 ? 2.0f : 1.0f);
            Audio_Note(a, Note{(bar * 16 + k) * beat / 4, beat / 4, f, f, kSquare, volume, 0.003f,
                               beat / 6, k % 2 ? 0.4f : -0.4f});
        }
}

Audio Stage(int stage) {
    float bpm = 96.0f + 10.0f * (float)stage;
    float beat = 60.0f / bpm;
    Audio a = Audio_Make(kBars * 4 * beat, kRate, true);
    Pad(&a, beat, stage < 4 ? 0.12f : 0.06f);
    Bass(&a, beat, 0.25f + 0.03f * stage, stage >= 4 ? kSaw : kSquare);
    if (stage >= 1) Drums(&a, beat, stage);
    if (stage >= 4) Arpeggio(&a, beat, 0.06f + 0.02f * (stage - 4));
    return a;
}

Audio Downtime() {
    float beat = 60.0f / 70.0f;
    Audio a = Audio_Make(kBars * 4 * beat, kRate, true);
    Pad(&a, beat, 0.2f);
    for (int bar = 0; bar < kBars; bar++)
        for (int k = 0; k < 4; k++) {
            float f = Root(bar) * 4 * (k % 2 ? 1.4983f : 1.0f);
            Audio_Note(&a, Note{(bar * 4 + k) * beat, beat * 1.5f, f, f, kSine, 0.12f, 0.02f,
                                beat * 0.6f, k % 2 ? 0.5f : -0.5f});
        }
    return a;
}

// Every track is mastered to one loudness, well under the effects that carry the play.
bool Write(const std::string& root, const std::string& name, Audio a) {
    Audio_Master(&a, -21.0f, 0.7f);
    return Output_Write(root, "Music/BGM/" + name, Audio_EncodeWav(a));
}

} // namespace

bool Music_Generate(const std::string& root) {
    if (!Write(root, "Downtime.wav", Downtime())) return false;
    for (int s = 0; s < 8; s++)
        if (!Write(root, "Zorb" + std::to_string(s + 1) + ".wav", Stage(s))) return false;
    return true;
}
