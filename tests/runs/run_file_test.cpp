// The recording format: frames, checkpoints and the end come back exactly as written, a file
// cut anywhere reads up to its last whole frame, and foreign or damaged bytes are told apart.
#include "runs/run_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string TempPath(const char* name) {
    // Each test its own file: ctest runs them side by side.
    return ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           name;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void SetBit(uint64_t* words, int key) {
    words[key / 64] |= 1ull << (key % 64);
}

// Frames of every kind: steady and odd time steps, turning, taps inside a frame, held keys,
// clicks, a pad pushed and let go, and a moment without focus.
std::vector<RunFrame> Frames() {
    std::vector<RunFrame> frames;
    for (int i = 0; i < 400; i++) {
        RunFrame f{};
        f.focused = !(i >= 200 && i < 210);
        f.input.dt = i % 7 == 0 ? 0.016f : (float)(4000 + i % 13) / 1048576.0f;
        f.input.mouseX = (float)(i % 9) - 4.0f + (i % 50 == 0 ? 0.3f : 0.0f);
        f.input.mouseY = i < 100 ? 0.0f : -120.5f;
        if (i >= 10 && i < 80) SetBit(f.input.placeDown, 'W');
        if (i == 10) SetBit(f.input.placePressed, 'W');
        if (i == 80) SetBit(f.input.placeReleased, 'W');
        if (i == 90) { // a tap inside one frame, on both views
            SetBit(f.input.letterPressed, 'Z');
            SetBit(f.input.letterReleased, 'Z');
            SetBit(f.input.placePressed, QL_KEY_ESCAPE);
        }
        f.input.buttonDown = i >= 30 && i < 300 ? 1 : 0;
        f.input.buttonPressed = i == 30 ? 1 : 0;
        f.input.buttonReleased = i == 300 ? 5 : 0;
        f.input.padCount = i >= 100 ? 1 : 0;
        f.input.padAxis[QL_PAD_RIGHTX] = i >= 120 && i < 140 ? (float)(i - 120) / 21.0f : 0.0f;
        f.input.padDown = i >= 150 && i < 152 ? 1u << QL_PAD_START : 0;
        f.input.padInUse = i >= 120;
        frames.push_back(f);
    }
    return frames;
}

RunHeader Header() {
    RunHeader h;
    h.seed = 123456789u;
    h.mouseSensitivity = 0.55f;
    h.fieldOfView = 75.0f;
    h.carry = PlayerCarry{1.5f, -0.25f, 0.125f, 3.0f, -2.0f, 0.3f, 1};
    h.bestScore = 4000;
    h.date = 1796000000;
    return h;
}

// Writes the frames with a checkpoint after every 60th and the end; the bytes of the file.
std::vector<uint8_t> Record(const std::vector<RunFrame>& frames, const char* tag) {
    std::string path = TempPath("record.zrun");
    RunWriter w;
    EXPECT_TRUE(RunWriter_Open(&w, path, Header()));
    for (size_t i = 0; i < frames.size(); i++) {
        RunWriter_Frame(&w, frames[i]);
        if ((i + 1) % kRunCheckpointFrames == 0) RunWriter_Checkpoint(&w, 0xABCD0000ull + i);
    }
    RunWriter_End(&w, RunEnd{2500, 3, (uint32_t)frames.size()});
    EXPECT_TRUE(RunWriter_Finish(&w, tag));
    EXPECT_EQ(std::fopen((path + ".part").c_str(), "rb"), nullptr);
    return ReadAll(path);
}

struct Played {
    std::vector<RunFrame> frames;
    std::vector<uint64_t> hashes;
    RunEnd end;
    RunRecord last = RunRecord::Over;
};

Played Play(std::vector<uint8_t> bytes, std::string* why = nullptr) {
    Played p;
    RunReader r;
    std::string reason;
    if (!RunReader_OpenBytes(&r, std::move(bytes), &reason)) {
        if (why) *why = reason;
        p.last = RunRecord::Damaged;
        return p;
    }
    RunFrame f;
    uint64_t hash;
    for (;;) {
        p.last = RunReader_Next(&r, &f, &hash, &p.end);
        if (p.last == RunRecord::Frame) p.frames.push_back(f);
        if (p.last == RunRecord::Checkpoint) p.hashes.push_back(hash);
        if (p.last == RunRecord::Over || p.last == RunRecord::Damaged) return p;
    }
}

bool SameFrame(const RunFrame& a, const RunFrame& b) {
    return a.focused == b.focused && std::memcmp(&a.input, &b.input, sizeof a.input) == 0;
}

} // namespace

TEST(RunFile, EverythingWrittenComesBackExactly) {
    std::vector<RunFrame> frames = Frames();
    std::vector<uint8_t> bytes = Record(frames, "HDZ");
    RunReader r;
    std::string why;
    ASSERT_TRUE(RunReader_OpenBytes(&r, bytes, &why)) << why;
    EXPECT_EQ(r.header.seed, 123456789u);
    EXPECT_EQ(r.header.carry.pushY, -2.0f);
    EXPECT_EQ(r.header.carry.stepSide, 1);
    EXPECT_EQ(r.header.date, 1796000000);
    EXPECT_STREQ(r.header.tag, "HDZ");
    Played p = Play(bytes);
    ASSERT_EQ(p.frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); i++)
        ASSERT_TRUE(SameFrame(p.frames[i], frames[i])) << "frame " << i;
    ASSERT_EQ(p.hashes.size(), 6u);
    EXPECT_EQ(p.hashes[5], 0xABCD0000ull + 359);
    EXPECT_EQ(p.end.score, 2500);
    EXPECT_EQ(p.end.frames, 400u);
}

// A file cut at any byte reads the frames before the cut, never a damaged one.
TEST(RunFile, ACutFileReadsUpToItsLastWholeFrame) {
    std::vector<uint8_t> bytes = Record(Frames(), nullptr);
    size_t lastCount = 0;
    for (size_t n = 68; n <= bytes.size(); n++) {
        Played p = Play(std::vector<uint8_t>(bytes.begin(), bytes.begin() + (long)n));
        ASSERT_EQ(p.last, RunRecord::Over) << "cut at " << n;
        ASSERT_GE(p.frames.size(), lastCount) << "cut at " << n;
        lastCount = p.frames.size();
    }
    EXPECT_EQ(lastCount, 400u);
}

TEST(RunFile, ForeignAndDamagedBytesAreToldApart) {
    std::vector<uint8_t> bytes = Record(Frames(), nullptr);
    std::string why;
    Play(std::vector<uint8_t>(100, 'x'), &why);
    EXPECT_EQ(why, "not a recorded run of ZORB");
    std::vector<uint8_t> later = bytes;
    later[10] = (uint8_t)(kRunSimVersion + 1);
    Play(later, &why);
    EXPECT_NE(why.find("another version of the game"), std::string::npos) << why;
    std::vector<uint8_t> meta = bytes;
    meta[68] = 0x80;
    meta[69] = 7; // no such record
    EXPECT_EQ(Play(meta).last, RunRecord::Damaged);
    std::vector<uint8_t> slow = bytes;
    slow[68] = 0x41; // the first frame's time step, raw: 1e30 seconds
    const float huge = 1e30f;
    std::memcpy(&slow[69], &huge, 4);
    EXPECT_EQ(Play(slow).last, RunRecord::Damaged);
}

// A run at 200 frames a second, turning and walking, costs a few bytes a frame.
TEST(RunFile, AFrameOfPlayCostsAFewBytes) {
    std::vector<RunFrame> frames;
    for (int i = 0; i < 2000; i++) {
        RunFrame f{};
        f.focused = true;
        f.input.dt = (float)(5200 + (i * 37) % 300) / 1048576.0f;
        f.input.mouseX = (float)((i * 7) % 11 - 5);
        if ((i / 100) % 2) SetBit(f.input.placeDown, 'W');
        f.input.buttonDown = (i / 150) % 2;
        frames.push_back(f);
    }
    std::vector<uint8_t> bytes = Record(frames, nullptr);
    EXPECT_LT(bytes.size(), 68u + 2000u * 6u) << bytes.size() << " bytes";
}
