// The music's instruments, on top of the synthesiser: band-limited oscillators through a resonant
// low-pass filter with its own envelope, synthesised drums, and a ping-pong echo. Everything
// renders into a looping Audio, so notes and echoes that run past the end continue at the start.
#pragma once

#include <cstdint>

#include "tools/assetgen/synth.h"

// One note of a pitched instrument.
struct Voice {
    float start, length; // seconds; length is the held part, the release follows
    float freq;          // Hz
    Shape shape;         // kSaw, kSquare or kTriangle (band-limited) or kSine
    float volume;
    float attack, decay, sustain, release; // ADSR: seconds, seconds, level 0..1, seconds
    float cutoff;                          // the filter's resting corner, Hz
    float cutoffPeak;                      // the corner at the note's start, falling to cutoff
    float cutoffDecay;                     // time constant of that fall, seconds
    float resonance;                       // 0.5 (none) to about 4 (a singing peak)
    float detune; // cents between the left and the right oscillator: stereo width
    float pan;    // -1 left, 0 centre, 1 right
};
void Instrument_Voice(Audio* a, const Voice& v);

void Instrument_Kick(Audio* a, float start, float volume);
void Instrument_Snare(Audio* a, float start, float volume, uint32_t seed);
// A closed hat is a tick; an open one rings on.
void Instrument_Hat(Audio* a, float start, float volume, bool open, float pan, uint32_t seed);

// Adds echoes that bounce between the ears: each repeat delay seconds later, feedback times as
// loud, on the other side.
void Instrument_Echo(Audio* a, const Audio& dry, float delay, float feedback, int repeats);
