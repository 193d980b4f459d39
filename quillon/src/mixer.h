// The float sound mixer: voices with volume, pitch, loop and group, mixed to stereo and limited.
// Pure computation with no device, so tests can call Mixer_Mix directly.
#pragma once

#include <vector>

const int kMixVoices = 128;
const int kMixGroups = 8;

// A decoded sound: interleaved 32-bit float samples at the file's own rate.
struct MixSound {
    std::vector<float> samples;
    int channels = 1; // 1 or 2
    int rate = 48000;
    long frames = 0;
};

struct MixVoice {
    const MixSound* sound = nullptr;
    double position = 0.0; // in source frames
    double step = 1.0;     // source frames per output frame
    float volume = 1.0f;
    int group = 0;
    bool looping = false;
    bool paused = false;
    bool active = false;
};

struct Mixer {
    MixVoice voices[kMixVoices];
    float groupVolume[kMixGroups];
    int outputRate = 48000;
};

void Mixer_Reset(Mixer* m, int outputRate);
// Starts a voice; returns false when every voice is busy or the sound is empty.
bool Mixer_Play(Mixer* m, const MixSound* sound, float volume, float pitch, bool looping,
                int group);
void Mixer_StopSound(Mixer* m, const MixSound* sound);
void Mixer_StopGroup(Mixer* m, int group);
void Mixer_StopAll(Mixer* m);
void Mixer_PauseAll(Mixer* m);
void Mixer_ResumeAll(Mixer* m);
void Mixer_SetGroupVolume(Mixer* m, int group, float volume);
// Writes frames of interleaved stereo to out; every sample ends inside [-1, 1].
void Mixer_Mix(Mixer* m, float* out, int frames);

// Decodes a WAV file into a sound at its own rate (in sound.cpp, on SDL). Samples that are not
// finite numbers (a damaged float file) become silence.
bool Ql_Sound_Decode(const char* path, MixSound* out);
// Mixes without limiting (what the limiter receives), for tests.
void Mixer_MixUnlimited(Mixer* m, float* out, int frames);
int Mixer_ActiveVoices(const Mixer* m);
