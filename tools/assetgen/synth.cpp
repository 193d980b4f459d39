// The synthesiser.
#include "tools/assetgen/synth.h"

#include <cmath>
#include <string_view>

static const float kTwoPi = 6.28318530718f;

Audio Audio_Make(float seconds, int rate, bool wrap) {
    Audio a;
    a.rate = rate;
    a.wrap = wrap;
    size_t n = (size_t)std::lround(seconds * (float)rate);
    a.left.assign(n, 0.0f);
    a.right.assign(n, 0.0f);
    return a;
}

long Audio_Frames(const Audio& a) {
    return (long)a.left.size();
}

void Audio_Add(Audio* a, long frame, float left, float right) {
    long n = Audio_Frames(*a);
    if (n == 0) return;
    if (a->wrap) frame = ((frame % n) + n) % n;
    if (frame < 0 || frame >= n) return;
    a->left[(size_t)frame] += left;
    a->right[(size_t)frame] += right;
}

static float Wave(Shape s, double phase) {
    double f = phase - std::floor(phase);
    switch (s) {
    case kSine:
        return (float)std::sin(kTwoPi * f);
    case kSquare:
        return f < 0.5 ? 0.8f : -0.8f;
    case kSaw:
        return (float)(2.0 * f - 1.0) * 0.8f;
    default:
        return (float)(f < 0.5 ? 4.0 * f - 1.0 : 3.0 - 4.0 * f);
    }
}

// Attack ramp, exponential decay, and a short release at the end so nothing clicks.
static float Envelope(float t, float length, float attack, float decay) {
    float e = attack > 0.0f && t < attack ? t / attack : 1.0f;
    if (decay > 0.0f) e *= std::exp(-t / decay);
    float release = 0.004f;
    if (t > length - release) e *= (length - t) / release;
    return e < 0.0f ? 0.0f : e;
}

void Audio_PanGains(float pan, float* l, float* r) {
    *l = pan > 0.0f ? 1.0f - pan : 1.0f;
    *r = pan < 0.0f ? 1.0f + pan : 1.0f;
}

void Audio_Note(Audio* a, const Note& n) {
    long first = std::lround(n.start * (float)a->rate);
    long count = std::lround(n.length * (float)a->rate);
    float pl, pr;
    Audio_PanGains(n.pan, &pl, &pr);
    double phase = 0.0;
    float ratio = n.freqEnd / n.freq;
    for (long i = 0; i < count; i++) {
        float t = (float)i / (float)a->rate;
        float f = n.freq * std::pow(ratio, t / n.length);
        if (n.vibrato > 0.0f) f *= 1.0f + n.vibrato * std::sin(kTwoPi * 6.0f * t);
        phase += f / (double)a->rate;
        float v = n.volume * Envelope(t, n.length, n.attack, n.decay) * Wave(n.shape, phase);
        Audio_Add(a, first + i, v * pl, v * pr);
    }
}

void Audio_Noise(Audio* a, const NoiseBurst& n) {
    long first = std::lround(n.start * (float)a->rate);
    long count = std::lround(n.length * (float)a->rate);
    float pl, pr;
    Audio_PanGains(n.pan, &pl, &pr);
    uint32_t s = n.seed ? n.seed : 1u;
    float low = 0.0f;
    for (long i = 0; i < count; i++) {
        float t = (float)i / (float)a->rate;
        s = s * 1664525u + 1013904223u;
        float white = (float)(s >> 8) / 8388608.0f - 1.0f;
        float cutoff = n.cutoff * std::pow(n.cutoffEnd / n.cutoff, t / n.length);
        float k = 1.0f - std::exp(-kTwoPi * cutoff / (float)a->rate);
        low += k * (white - low);
        float v = n.volume * Envelope(t, n.length, 0.001f, n.decay) * low;
        Audio_Add(a, first + i, v * pl, v * pr);
    }
}

float Audio_Peak(const Audio& a) {
    float peak = 0.0f;
    for (size_t i = 0; i < a.left.size(); i++)
        peak = std::fmax(peak, std::fmax(std::fabs(a.left[i]), std::fabs(a.right[i])));
    return peak;
}

float Audio_RmsDb(const Audio& a) {
    double sum = 0.0;
    for (size_t i = 0; i < a.left.size(); i++)
        sum += (double)a.left[i] * a.left[i] + (double)a.right[i] * a.right[i];
    double rms = a.left.empty() ? 0.0 : std::sqrt(sum / (2.0 * (double)a.left.size()));
    return (float)(20.0 * std::log10(rms > 1e-9 ? rms : 1e-9));
}

static void Scale(Audio* a, float k) {
    for (size_t i = 0; i < a->left.size(); i++) {
        a->left[i] *= k;
        a->right[i] *= k;
    }
}

// Above the knee, samples bend toward the ceiling and never pass it.
static float Knee(float v, float ceiling) {
    const float knee = 0.7f * ceiling, room = ceiling - knee;
    float m = std::fabs(v);
    if (m <= knee) return v;
    float bent = knee + room * std::tanh((m - knee) / room);
    return v < 0.0f ? -bent : bent;
}

void Audio_Master(Audio* a, float rmsDb, float ceiling) {
    for (int pass = 0; pass < 8; pass++) {
        Scale(a, std::pow(10.0f, (rmsDb - Audio_RmsDb(*a)) / 20.0f));
        if (Audio_Peak(*a) <= ceiling) return;
        for (size_t i = 0; i < a->left.size(); i++) {
            a->left[i] = Knee(a->left[i], ceiling);
            a->right[i] = Knee(a->right[i], ceiling);
        }
    }
}

void Audio_KeepChannel(Audio* a, bool left) {
    for (size_t i = 0; i < a->left.size(); i++) {
        float mono = 0.5f * (a->left[i] + a->right[i]);
        a->left[i] = left ? mono : 0.0f;
        a->right[i] = left ? 0.0f : mono;
    }
}

static void Put16(std::vector<unsigned char>* b, int v) {
    b->push_back((unsigned char)(v & 255));
    b->push_back((unsigned char)((v >> 8) & 255));
}
static void Put32(std::vector<unsigned char>* b, uint32_t v) {
    Put16(b, (int)(v & 0xFFFF));
    Put16(b, (int)(v >> 16));
}

// 16-bit stereo PCM.
std::vector<unsigned char> Audio_EncodeWav(const Audio& a) {
    uint32_t frames = (uint32_t)a.left.size(), dataBytes = frames * 4;
    std::vector<unsigned char> b;
    b.reserve(44 + dataBytes);
    for (char c : std::string_view("RIFF"))
        b.push_back((unsigned char)c);
    Put32(&b, 36 + dataBytes);
    for (char c : std::string_view("WAVEfmt "))
        b.push_back((unsigned char)c);
    Put32(&b, 16);
    Put16(&b, 1);
    Put16(&b, 2);
    Put32(&b, (uint32_t)a.rate);
    Put32(&b, (uint32_t)a.rate * 4);
    Put16(&b, 4);
    Put16(&b, 16);
    for (char c : std::string_view("data"))
        b.push_back((unsigned char)c);
    Put32(&b, dataBytes);
    auto sample = [](float v) {
        v = v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v);
        return (int)std::lround(v * 32767.0f);
    };
    for (uint32_t i = 0; i < frames; i++) {
        Put16(&b, sample(a.left[i]));
        Put16(&b, sample(a.right[i]));
    }
    return b;
}
