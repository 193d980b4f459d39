// A reader for plain 16-bit PCM WAV files.
#include "tests/assets/wav_reader.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

static uint32_t U32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}
static uint16_t U16(const unsigned char* p) {
    return (uint16_t)(p[0] | p[1] << 8);
}

bool Wav_Read(const std::string& path, WavData* out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::vector<unsigned char> b;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        b.insert(b.end(), buf, buf + n);
    std::fclose(f);
    if (b.size() < 44 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(b.data() + 8, "WAVE", 4))
        return false;
    size_t pos = 12;
    int bits = 0;
    while (pos + 8 <= b.size()) {
        uint32_t size = U32(&b[pos + 4]);
        const unsigned char* body = &b[pos + 8];
        if (!std::memcmp(&b[pos], "fmt ", 4)) {
            out->channels = U16(body + 2);
            out->rate = (int)U32(body + 4);
            bits = U16(body + 14);
        } else if (!std::memcmp(&b[pos], "data", 4) && bits == 16 && out->channels > 0) {
            size_t frames = size / (2u * (unsigned)out->channels);
            for (size_t i = 0; i < frames && pos + 8 + (i + 1) * 2 * out->channels <= b.size();
                 i++) {
                const unsigned char* s = body + i * 2 * (size_t)out->channels;
                float l = (int16_t)U16(s) / 32768.0f;
                float r = out->channels > 1 ? (int16_t)U16(s + 2) / 32768.0f : l;
                out->left.push_back(l);
                out->right.push_back(r);
            }
            return true;
        }
        pos += 8 + size + (size & 1);
    }
    return false;
}
