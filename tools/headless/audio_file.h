// Writing recorded sound: interleaved stereo float samples as a WAV file.
#pragma once

#include <vector>

// A 32-bit float stereo WAV at rate frames a second. False when the file cannot be written.
bool AudioFile_WriteWav(const char* path, const std::vector<float>& samples, int rate);
