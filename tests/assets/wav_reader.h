// Reads the 16-bit PCM WAV files the generator writes, for checks on their samples.
#pragma once

#include <string>
#include <vector>

struct WavData {
    int rate = 0, channels = 0;
    std::vector<float> left, right;
};

bool Wav_Read(const std::string& path, WavData* out);
