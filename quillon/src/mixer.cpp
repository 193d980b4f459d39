// The float sound mixer: linear-interpolated resampling for pitch and rate, per-voice and
// per-group volume, looping, and a hard limiter so loud mixes clip instead of wrapping.
#include "mixer.h"

#include <cstring>

void Mixer_Reset(Mixer* m, int outputRate) {
    for (MixVoice& v : m->voices)
        v = MixVoice();
    for (float& g : m->groupVolume)
        g = 1.0f;
    m->outputRate = outputRate > 0 ? outputRate : 48000;
}

bool Mixer_Play(Mixer* m, const MixSound* sound, float volume, float pitch, bool looping,
                int group) {
    if (!sound || sound->frames <= 0 || pitch <= 0.0f) return false;
    for (MixVoice& v : m->voices) {
        if (v.active) continue;
        v = MixVoice();
        v.sound = sound;
        v.step = (double)pitch * sound->rate / m->outputRate;
        v.volume = volume;
        v.looping = looping;
        v.group = group >= 0 && group < kMixGroups ? group : 0;
        v.active = true;
        return true;
    }
    return false;
}

void Mixer_StopSound(Mixer* m, const MixSound* sound) {
    for (MixVoice& v : m->voices)
        if (v.sound == sound) v.active = false;
}

void Mixer_StopGroup(Mixer* m, int group) {
    for (MixVoice& v : m->voices)
        if (v.group == group) v.active = false;
}

void Mixer_StopAll(Mixer* m) {
    for (MixVoice& v : m->voices)
        v.active = false;
}

void Mixer_PauseAll(Mixer* m) {
    for (MixVoice& v : m->voices)
        if (v.active) v.paused = true;
}

void Mixer_ResumeAll(Mixer* m) {
    for (MixVoice& v : m->voices)
        v.paused = false;
}

void Mixer_SetGroupVolume(Mixer* m, int group, float volume) {
    if (group >= 0 && group < kMixGroups) m->groupVolume[group] = volume;
}

// The source frame at index i, wrapping for loops and silent past the end otherwise.
static void SourceFrame(const MixVoice& v, long i, float* left, float* right) {
    const MixSound& s = *v.sound;
    if (i >= s.frames) {
        if (!v.looping) {
            *left = *right = 0.0f;
            return;
        }
        i %= s.frames;
    }
    const float* p = &s.samples[(size_t)(i * s.channels)];
    *left = p[0];
    *right = s.channels > 1 ? p[1] : p[0];
}

static void MixVoiceInto(MixVoice& v, float gain, float* out, int frames) {
    const long total = v.sound->frames;
    for (int f = 0; f < frames; f++) {
        long i = (long)v.position;
        float t = (float)(v.position - (double)i);
        float l0, r0, l1, r1;
        SourceFrame(v, i, &l0, &r0);
        SourceFrame(v, i + 1, &l1, &r1);
        out[2 * f] += gain * (l0 + (l1 - l0) * t);
        out[2 * f + 1] += gain * (r0 + (r1 - r0) * t);
        v.position += v.step;
        if (v.position < (double)total) continue;
        if (!v.looping) {
            v.active = false;
            return;
        }
        v.position -= (double)total * (double)(long)(v.position / (double)total);
    }
}

void Mixer_MixUnlimited(Mixer* m, float* out, int frames) {
    std::memset(out, 0, sizeof(float) * 2 * (size_t)frames);
    for (MixVoice& v : m->voices) {
        if (!v.active || v.paused) continue;
        MixVoiceInto(v, v.volume * m->groupVolume[v.group], out, frames);
    }
}

void Mixer_Mix(Mixer* m, float* out, int frames) {
    Mixer_MixUnlimited(m, out, frames);
    for (int i = 0; i < 2 * frames; i++) {
        float v = out[i]; // a NaN fails every comparison: it becomes silence
        out[i] = v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : (v == v ? v : 0.0f));
    }
}

int Mixer_ActiveVoices(const Mixer* m) {
    int n = 0;
    for (const MixVoice& v : m->voices)
        if (v.active) n++;
    return n;
}
