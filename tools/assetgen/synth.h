// A small synthesiser for the game's sound effects and music: oscillators with pitch sweeps and
// envelopes, filtered noise, and 16-bit WAV output. Everything is deterministic.
#pragma once

#include <cstdint>
#include <vector>

enum Shape { kSine, kSquare, kSaw, kTriangle };

struct Audio {
    int rate = 44100;
    bool wrap = false; // a loop: sound running past the end continues at the start
    std::vector<float> left, right;
};

Audio Audio_Make(float seconds, int rate, bool wrap);
long Audio_Frames(const Audio& a);
void Audio_Add(Audio* a, long frame, float left, float right);

struct Note {
    float start, length; // seconds
    float freq, freqEnd; // Hz; an exponential sweep from freq to freqEnd
    Shape shape;
    float volume;
    float attack, decay;  // seconds of rise; decay time constant (0: none, held to the end)
    float pan;            // -1 left, 0 centre, 1 right
    float vibrato = 0.0f; // depth as a fraction of the frequency, at 6 Hz
};
void Audio_Note(Audio* a, const Note& n);
// The left and right gains of a pan position (-1 left, 0 centre, 1 right).
void Audio_PanGains(float pan, float* left, float* right);

struct NoiseBurst {
    float start, length;
    float volume;
    float cutoff, cutoffEnd; // one-pole low-pass corner in Hz, swept
    float decay;             // time constant in seconds
    float pan;
    uint32_t seed;
};
void Audio_Noise(Audio* a, const NoiseBurst& n);

float Audio_Peak(const Audio& a);
// The RMS over the whole length and both channels, in dB below full scale.
float Audio_RmsDb(const Audio& a);
// Brings the RMS to rmsDb, rounding off peaks above ceiling with a soft knee (as a mastering
// limiter would), so that a sound is as loud as its use needs without ever clipping.
void Audio_Master(Audio* a, float rmsDb, float ceiling);
// Keeps only one channel: the other is made silent (for the Left and Right files).
void Audio_KeepChannel(Audio* a, bool left);
std::vector<unsigned char> Audio_EncodeWav(const Audio& a);
