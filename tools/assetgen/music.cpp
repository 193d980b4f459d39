// The music: a title piece of its own and eight stage tracks, played by instruments (a filtered
// pad, a bass line, drums, a lead with echoes, an arpeggio). The stages share a progression in
// A minor and rise in tempo and intensity: each adds to the one before, from a bare pulse to a
// full band. Every track is eight bars rendered as a loop, so the join is seamless.
#include "tools/assetgen/music.h"

#include <cmath>
#include <string>

#include "tools/assetgen/instruments.h"
#include "tools/assetgen/output.h"

namespace {

const int kRate = 32000;
const int kBars = 8;

// A bar's chord: a root (MIDI note, bass octave) and its quality.
struct Bar {
    int root;
    bool minor;
};
// Am F C G Am F G E: the stages' progression, its last bar pulling back to the start.
const Bar kStageBars[kBars] = {{45, true}, {41, false}, {48, false}, {43, false},
                               {45, true}, {41, false}, {43, false}, {40, false}};
// Dm Bb F C Dm Bb Gm A: the title's, slower and darker.
const Bar kTitleBars[kBars] = {{38, true}, {46, false}, {41, false}, {48, false},
                               {38, true}, {46, false}, {43, true},  {45, false}};

float Hz(int midi) {
    return 440.0f * std::pow(2.0f, (float)(midi - 69) / 12.0f);
}

// The chord's tones upward: root, third, fifth, then the same an octave higher, and so on.
int ChordTone(const Bar& bar, int index) {
    static const int kMinor[3] = {0, 3, 7}, kMajor[3] = {0, 4, 7};
    return bar.root + 12 * (index / 3) + (bar.minor ? kMinor : kMajor)[index % 3];
}

struct Track {
    Audio audio;
    float beat; // seconds
    const Bar* bars;
};

Track MakeTrack(float bpm, const Bar* bars) {
    float beat = 60.0f / bpm;
    return Track{Audio_Make(kBars * 4 * beat, kRate, true), beat, bars};
}

Voice Pluck(float start, float length, int midi, Shape shape, float volume, float brightness) {
    return Voice{start, length, Hz(midi),   shape, volume, 0.004f, 0.12f, 0.35f,
                 0.08f, 300.0f, brightness, 0.08f, 1.4f,   8.0f,   0.0f};
}

// Soft held chords: detuned saws through a dark filter, slowly swelling.
void Pad(Track* t, float volume, float cutoff) {
    for (int b = 0; b < kBars; b++)
        for (int k = 3; k < 6; k++) {
            Voice v{b * 4 * t->beat,
                    4 * t->beat,
                    Hz(ChordTone(t->bars[b], k)),
                    kSaw,
                    volume,
                    0.6f,
                    0.5f,
                    0.8f,
                    0.6f,
                    cutoff,
                    cutoff * 1.3f,
                    1.0f,
                    0.8f,
                    14.0f,
                    0.0f};
            Instrument_Voice(&t->audio, v);
        }
}

// The bass line follows the roots: quarters at first, then eighths that jump the octave, then
// driving sixteenths.
void Bass(Track* t, int stage) {
    const int perBeat = stage >= 5 ? 4 : (stage >= 2 ? 2 : 1);
    const float step = t->beat / (float)perBeat;
    for (int b = 0; b < kBars; b++)
        for (int k = 0; k < 4 * perBeat; k++) {
            int midi = t->bars[b].root - 12 + (perBeat > 1 && k % 4 == 2 ? 12 : 0);
            if (stage >= 3 && k == 4 * perBeat - 1) midi += 7; // a fifth leading to the next bar
            Voice v = Pluck((float)(b * 4 * perBeat + k) * step, step * 0.7f, midi, kSaw, 0.5f,
                            500.0f + 220.0f * (float)stage);
            v.sustain = 0.6f;
            v.detune = 0.0f;
            v.resonance = 1.2f + 0.25f * (float)stage;
            Instrument_Voice(&t->audio, v);
        }
}

void Drums(Track* t, int stage) {
    for (int q = 0; q < kBars * 4; q++) {
        float at = (float)q * t->beat;
        if (stage >= 1 || q % 2 == 0) Instrument_Kick(&t->audio, at, 0.9f);
        if (stage >= 6 && q % 4 == 3) Instrument_Kick(&t->audio, at + 0.5f * t->beat, 0.6f);
        if (stage >= 2 && q % 2 == 1) Instrument_Snare(&t->audio, at, 0.55f, 100u + (uint32_t)q);
        if (stage >= 6 && q % 4 == 2) // a ghost note before the backbeat
            Instrument_Snare(&t->audio, at + 0.75f * t->beat, 0.15f, 300u + (uint32_t)q);
        const int hats = stage >= 4 ? 4 : (stage >= 1 ? 2 : 0);
        for (int h = 0; h < hats; h++) {
            bool open = stage >= 4 && h == 2;
            float accent = h % 2 == 0 ? 0.35f : 0.22f;
            Instrument_Hat(&t->audio, at + (float)h * t->beat / (float)hats, accent, open,
                           h % 2 ? 0.35f : -0.35f, 500u + (uint32_t)(q * 4 + h));
        }
    }
}

// A tune over two bars, in eighths: chord tones upward from the root two octaves up, -1 rests.
const int kStageTune[16] = {5, -1, 4, 3, 4, -1, 6, 5, 3, -1, -1, 4, 5, 6, 4, -1};
const int kTitleTune[16] = {3, -1, -1, -1, 5, -1, 4, -1, 6, -1, -1, -1, 5, -1, 4, 3};

// The lead plays the tune, each note held up to the next, and echoes bounce it between the ears.
void Lead(Track* t, const int* tune, int octave, Shape shape, float volume, float echo) {
    Audio dry = Audio_Make(0.0f, kRate, true);
    dry.left.assign(t->audio.left.size(), 0.0f);
    dry.right.assign(t->audio.right.size(), 0.0f);
    const float eighth = t->beat / 2.0f;
    for (int b = 0; b < kBars; b++)
        for (int k = 0; k < 8; k++) {
            int index = tune[(b % 2) * 8 + k];
            if (index < 0) continue;
            int held = 1;
            while (k + held < 8 && tune[(b % 2) * 8 + k + held] < 0)
                held++;
            Voice v = Pluck((float)(b * 8 + k) * eighth, eighth * ((float)held - 0.2f),
                            ChordTone(t->bars[b], index) + 12 * octave, shape, volume, 2600.0f);
            v.cutoff = 1400.0f;
            v.cutoffDecay = 0.2f;
            v.sustain = 0.7f;
            v.release = 0.15f;
            Instrument_Voice(&dry, v);
        }
    for (size_t i = 0; i < dry.left.size(); i++) {
        t->audio.left[i] += dry.left[i];
        t->audio.right[i] += dry.right[i];
    }
    Instrument_Echo(&t->audio, dry, 3.0f * eighth, echo, 3);
}

// Sixteenths up and down the chord, bright plucks swinging from side to side.
void Arpeggio(Track* t, float volume) {
    static const int kSteps[8] = {3, 4, 5, 6, 7, 6, 5, 4};
    const float step = t->beat / 4.0f;
    for (int b = 0; b < kBars; b++)
        for (int k = 0; k < 16; k++) {
            Voice v = Pluck((float)(b * 16 + k) * step, step * 0.5f,
                            ChordTone(t->bars[b], kSteps[k % 8]) + 12, kSquare, volume, 3500.0f);
            v.pan = k % 2 ? 0.6f : -0.6f;
            Instrument_Voice(&t->audio, v);
        }
}

Audio Stage(int stage) {
    Track t = MakeTrack(100.0f + 8.0f * (float)stage, kStageBars);
    Pad(&t, stage < 4 ? 0.16f : 0.1f, 900.0f + 100.0f * (float)stage);
    Bass(&t, stage);
    Drums(&t, stage);
    if (stage >= 3) Lead(&t, kStageTune, 1, stage >= 6 ? kSaw : kSquare, 0.22f, 0.35f);
    if (stage >= 5) Arpeggio(&t, 0.06f + 0.02f * (float)(stage - 5));
    return t.audio;
}

// The title: slow, a soft pulse, a plucked pattern and a singing lead with long echoes.
Audio Title() {
    Track t = MakeTrack(80.0f, kTitleBars);
    Pad(&t, 0.2f, 1100.0f);
    for (int q = 0; q < kBars * 4; q++) {
        float at = (float)q * t.beat;
        if (q % 4 == 0) Instrument_Kick(&t.audio, at, 0.5f);
        Instrument_Hat(&t.audio, at + t.beat / 2, 0.12f, q % 4 == 3, 0.4f, 900u + (uint32_t)q);
        for (int k = 0; k < 2; k++) {
            Voice v =
                Pluck(at + (float)k * t.beat / 2, t.beat / 3,
                      ChordTone(t.bars[q / 4], (q * 2 + k) % 4 + 3), kTriangle, 0.18f, 2000.0f);
            v.pan = k ? 0.5f : -0.5f;
            Instrument_Voice(&t.audio, v);
        }
    }
    Lead(&t, kTitleTune, 1, kTriangle, 0.3f, 0.45f);
    return t.audio;
}

// Every track is mastered to one loudness, well under the effects that carry the play.
bool Write(const std::string& root, const std::string& name, Audio a) {
    Audio_Master(&a, -21.0f, 0.7f);
    return Output_Write(root, "Music/BGM/" + name, Audio_EncodeWav(a));
}

} // namespace

bool Music_Generate(const std::string& root) {
    if (!Write(root, "Downtime.wav", Title())) return false;
    for (int s = 0; s < 8; s++)
        if (!Write(root, "Zorb" + std::to_string(s + 1) + ".wav", Stage(s))) return false;
    return true;
}
