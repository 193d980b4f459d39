// The WAV writer: a RIFF file with an IEEE-float format chunk, a fact chunk and the samples,
// little-endian whatever the machine.
#include "tools/headless/audio_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void Put(std::vector<unsigned char>* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++)
        out->push_back((unsigned char)(value >> (8 * i)));
}

void Tag(std::vector<unsigned char>* out, const char* tag) {
    out->insert(out->end(), tag, tag + 4);
}

std::vector<unsigned char> Header(uint32_t frames, int rate) {
    const uint32_t dataBytes = frames * 8;
    std::vector<unsigned char> h;
    Tag(&h, "RIFF");
    Put(&h, 4 + 26 + 12 + 8 + dataBytes, 4);
    Tag(&h, "WAVE");
    Tag(&h, "fmt ");
    Put(&h, 18, 4);
    Put(&h, 3, 2); // IEEE float
    Put(&h, 2, 2); // stereo
    Put(&h, (uint32_t)rate, 4);
    Put(&h, (uint32_t)rate * 8, 4);
    Put(&h, 8, 2);  // bytes a frame
    Put(&h, 32, 2); // bits a sample
    Put(&h, 0, 2);  // no extension
    Tag(&h, "fact");
    Put(&h, 4, 4);
    Put(&h, frames, 4);
    Tag(&h, "data");
    Put(&h, dataBytes, 4);
    return h;
}

} // namespace

bool AudioFile_WriteWav(const char* path, const std::vector<float>& samples, int rate) {
    const uint32_t frames = (uint32_t)(samples.size() / 2);
    std::vector<unsigned char> bytes = Header(frames, rate);
    bytes.reserve(bytes.size() + (size_t)frames * 8);
    for (size_t i = 0; i < (size_t)frames * 2; i++) {
        uint32_t bits;
        std::memcpy(&bits, &samples[i], 4);
        Put(&bytes, bits, 4);
    }
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
