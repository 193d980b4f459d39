// The instruments.
#include "tools/assetgen/instruments.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979;

// The correction that takes the step out of a jump at phase 0 (polyBLEP), so that saws and
// squares do not alias into a buzz.
double Blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Oscillator(Shape shape, double phase, double dt) {
    double t = phase - std::floor(phase);
    switch (shape) {
    case kSaw:
        return 2.0 * t - 1.0 - Blep(t, dt);
    case kSquare: {
        double u = t + 0.5 - std::floor(t + 0.5);
        return (t < 0.5 ? 1.0 : -1.0) + Blep(t, dt) - Blep(u, dt);
    }
    case kTriangle:
        return t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t;
    default:
        return std::sin(2.0 * kPi * t);
    }
}

// A state-variable filter (trapezoidal), stable at any corner below the Nyquist frequency.
struct Svf {
    double ic1 = 0.0, ic2 = 0.0;
    double low = 0.0, band = 0.0, high = 0.0;
    void Run(double x, double cutoff, double q, int rate) {
        double fc = std::fmin(cutoff, 0.45 * rate);
        double g = std::tan(kPi * fc / rate), k = 1.0 / q;
        double a1 = 1.0 / (1.0 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        double v3 = x - ic2;
        double v1 = a1 * ic1 + a2 * v3;
        double v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2.0 * v1 - ic1;
        ic2 = 2.0 * v2 - ic2;
        low = v2;
        band = v1;
        high = x - k * v1 - v2;
    }
};

float Adsr(const Voice& v, float t) {
    float level;
    if (t < v.attack)
        level = t / v.attack;
    else if (t < v.attack + v.decay)
        level = 1.0f - (1.0f - v.sustain) * (t - v.attack) / v.decay;
    else
        level = v.sustain;
    if (t > v.length) level *= std::fmax(0.0f, 1.0f - (t - v.length) / v.release);
    return level;
}

// White noise from a linear congruential generator, in [-1, 1).
float Noise(uint32_t* s) {
    *s = *s * 1664525u + 1013904223u;
    return (float)(*s >> 8) / 8388608.0f - 1.0f;
}

// A drum's first millisecond fades in: a hit is sharp without a step in the wave.
float Onset(float t) {
    return t < 0.001f ? t / 0.001f : 1.0f;
}

long Frame(const Audio& a, float seconds) {
    return std::lround(seconds * (float)a.rate);
}

} // namespace

void Instrument_Voice(Audio* a, const Voice& v) {
    const long first = Frame(*a, v.start), count = Frame(*a, v.length + v.release);
    const double spread = std::pow(2.0, v.detune / 2400.0); // half the detune each way
    const double dtL = v.freq / spread / a->rate, dtR = v.freq * spread / a->rate;
    float gl, gr;
    Audio_PanGains(v.pan, &gl, &gr);
    Svf left, right;
    double phaseL = 0.0, phaseR = 0.37; // the two oscillators never start in step
    for (long i = 0; i < count; i++) {
        float t = (float)i / (float)a->rate;
        double cutoff = v.cutoff + (v.cutoffPeak - v.cutoff) * std::exp(-t / v.cutoffDecay);
        left.Run(Oscillator(v.shape, phaseL, dtL), cutoff, v.resonance, a->rate);
        right.Run(Oscillator(v.shape, phaseR, dtR), cutoff, v.resonance, a->rate);
        phaseL += dtL;
        phaseR += dtR;
        float e = v.volume * Adsr(v, t);
        Audio_Add(a, first + i, (float)left.low * e * gl, (float)right.low * e * gr);
    }
}

// A sine that drops from a punch to a low thud, with a click on top.
void Instrument_Kick(Audio* a, float start, float volume) {
    const long first = Frame(*a, start), count = Frame(*a, 0.4f);
    double phase = 0.0;
    for (long i = 0; i < count; i++) {
        float t = (float)i / (float)a->rate;
        double f = 45.0 + 110.0 * std::exp(-t / 0.03f);
        phase += f / a->rate;
        float body = (float)std::sin(2.0 * kPi * phase) * std::exp(-t / 0.16f);
        float click = std::exp(-t / 0.002f) * 0.4f;
        float v = volume * Onset(t) * std::tanh(1.5f * (body + click));
        Audio_Add(a, first + i, v, v);
    }
}

// A short drum tone under a burst of band-passed noise.
void Instrument_Snare(Audio* a, float start, float volume, uint32_t seed) {
    const long first = Frame(*a, start), count = Frame(*a, 0.3f);
    Svf band;
    uint32_t s = seed;
    double phase = 0.0;
    for (long i = 0; i < count; i++) {
        float t = (float)i / (float)a->rate;
        phase += (180.0 + 60.0 * std::exp(-t / 0.02f)) / a->rate;
        float tone = (float)std::sin(2.0 * kPi * phase) * std::exp(-t / 0.05f) * 0.5f;
        band.Run(Noise(&s), 2500.0, 0.8, a->rate);
        float rattle = (float)band.band * std::exp(-t / 0.09f) * 1.6f;
        float v = volume * Onset(t) * (tone + rattle);
        Audio_Add(a, first + i, v, v);
    }
}

void Instrument_Hat(Audio* a, float start, float volume, bool open, float pan, uint32_t seed) {
    const float decay = open ? 0.12f : 0.025f;
    const long first = Frame(*a, start), count = Frame(*a, decay * 6.0f);
    float gl, gr;
    Audio_PanGains(pan, &gl, &gr);
    Svf high;
    uint32_t s = seed;
    for (long i = 0; i < count; i++) {
        float t = (float)i / (float)a->rate;
        high.Run(Noise(&s), 7500.0, 0.7, a->rate);
        float v = volume * Onset(t) * (float)high.high * std::exp(-t / decay);
        Audio_Add(a, first + i, v * gl, v * gr);
    }
}

void Instrument_Echo(Audio* a, const Audio& dry, float delay, float feedback, int repeats) {
    const long n = Audio_Frames(dry), d = Frame(dry, delay);
    float gain = 1.0f;
    for (int r = 1; r <= repeats; r++) {
        gain *= feedback;
        const bool swap = r % 2 == 1; // odd repeats come from the other side
        for (long i = 0; i < n; i++) {
            float l = dry.left[(size_t)i], rr = dry.right[(size_t)i];
            Audio_Add(a, i + r * d, gain * (swap ? rr : l), gain * (swap ? l : rr));
        }
    }
}
