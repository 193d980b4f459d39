// The WAV writer: a RIFF file with an IEEE-float format chunk, a fact chunk and the samples,
// little-endian whatever the machine. The header goes in last, once the length is known.
#include "tools/headless/audio_file.h"

#include <cstring>
#include <vector>

namespace {

const size_t kHeaderBytes = 58;

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

bool AudioFile_Open(AudioFile* file, const std::string& path, int rate, uint64_t maxDataBytes) {
    *file = AudioFile();
    file->rate = rate;
    file->maxDataBytes = maxDataBytes;
    if (!OutputFile_Open(&file->out, path)) return false;
    const unsigned char room[kHeaderBytes] = {}; // the header's place
    OutputFile_Write(&file->out, room, sizeof room);
    return true;
}

void AudioFile_Append(AudioFile* file, const float* samples, int frames) {
    if (file->full || frames <= 0) return;
    if ((file->frames + (uint64_t)frames) * 8 > file->maxDataBytes) {
        file->full = true;
        return;
    }
    std::vector<unsigned char> bytes;
    bytes.reserve((size_t)frames * 8);
    for (size_t i = 0; i < (size_t)frames * 2; i++) {
        uint32_t bits;
        std::memcpy(&bits, &samples[i], 4);
        Put(&bytes, bits, 4);
    }
    OutputFile_Write(&file->out, bytes.data(), bytes.size());
    file->frames += (uint64_t)frames;
}

bool AudioFile_Finish(AudioFile* file) {
    if (file->full) {
        OutputFile_Abort(&file->out);
        return false;
    }
    std::vector<unsigned char> header = Header((uint32_t)file->frames, file->rate);
    OutputFile_WriteAt(&file->out, 0, header.data(), header.size());
    return OutputFile_Commit(&file->out);
}
