// Writing recorded sound: interleaved stereo float samples streamed into a WAV file as they are
// mixed, so that a capture of any length takes little memory.
#pragma once

#include <cstdint>
#include <string>

#include "core/output_file.h"

// The most sample bytes a WAV file can state: its RIFF header counts in 32 bits.
const uint64_t kAudioFileMaxDataBytes = (0xFFFFFFFFull - 50) / 8 * 8;

struct AudioFile {
    OutputFile out;
    int rate = 0;
    uint64_t frames = 0;
    uint64_t maxDataBytes = kAudioFileMaxDataBytes;
    bool full = false; // a block did not fit: the file cannot hold the whole capture
};

// Opens a 32-bit float stereo WAV at rate frames a second; false when it cannot be opened.
bool AudioFile_Open(AudioFile* file, const std::string& path, int rate,
                    uint64_t maxDataBytes = kAudioFileMaxDataBytes);
// Appends a block of frames; a block past the file's limit is not written, and sets full.
void AudioFile_Append(AudioFile* file, const float* samples, int frames);
// Writes the header and moves the file into place. False, leaving nothing, when the file is
// full or any write failed.
bool AudioFile_Finish(AudioFile* file);
