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

// Where the records start, after the header.
const size_t kFirstRecord = 72;

std::string TempPath(const char* name) {
    // Each test its own file: ctest runs them side by side.
    return ::testing::TempDir() + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
           name;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Commands of every kind: steady and odd time steps, turning by mouse and stick, walking by key
// and by stick, fire held, weapons asked for, a pause and the way back, a lost pad, and a moment
// without focus.
std::vector<RunCommand> Frames() {
    std::vector<RunCommand> frames;
    const WeaponAsk asks[6] = {WeaponAsk::None, WeaponAsk::Auto, WeaponAsk::Spread,
                               WeaponAsk::Bomb, WeaponAsk::Next, WeaponAsk::Previous};
    for (int i = 0; i < 400; i++) {
        RunCommand c;
        c.focused = !(i >= 200 && i < 210);
        c.dt = i % 7 == 0 ? 0.016f : (float)(4000 + i % 13) / 1048576.0f;
        c.mouseTurn = (float)(i % 9) - 4.0f + (i % 50 == 0 ? 0.3f : 0.0f);
        c.forward =
            i >= 10 && i < 80 ? 1.0f : (i >= 120 && i < 140 ? -(float)(i - 120) / 21.0f : 0.0f);
        c.strafe = i >= 60 && i < 70 ? -1.0f : 0.0f;
        c.stickTurn = i >= 130 && i < 150 ? (float)(i - 130) / 23.0f : 0.0f;
        c.fire = i >= 30 && i < 300;
        c.weapon = i % 40 == 5 ? asks[(i / 40) % 6] : WeaponAsk::None;
        c.pause = i == 90 || i == 95;
        c.back = i == 96;
        c.padLost = i == 150;
        frames.push_back(c);
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
    h.byProgram = true;
    return h;
}

// Writes the frames with a checkpoint after every 60th and the end; the bytes of the file.
std::vector<uint8_t> Record(const std::vector<RunCommand>& frames, const char* tag) {
    std::string path = TempPath("record.zrun");
    RunWriter w;
    EXPECT_TRUE(RunWriter_Open(&w, path, Header()));
    for (size_t i = 0; i < frames.size(); i++) {
        RunWriter_Frame(&w, frames[i]);
        if (i == 250) RunWriter_LostTime(&w, 0.25);
        if ((i + 1) % kRunCheckpointFrames == 0) RunWriter_Checkpoint(&w, 0xABCD0000ull + i);
    }
    RunWriter_End(&w, RunEnd{2500, 3, (uint32_t)frames.size()});
    EXPECT_TRUE(RunWriter_Finish(&w, tag));
    EXPECT_EQ(std::fopen((path + ".part").c_str(), "rb"), nullptr);
    return ReadAll(path);
}

struct Played {
    std::vector<RunCommand> frames;
    std::vector<uint64_t> hashes;
    RunEnd end;
    RunRecord last = RunRecord::Over;
    double lostSeconds = 0.0;
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
    RunCommand f;
    uint64_t hash;
    for (;;) {
        p.last = RunReader_Next(&r, &f, &hash, &p.end);
        if (p.last == RunRecord::Frame) p.frames.push_back(f);
        if (p.last == RunRecord::Checkpoint) p.hashes.push_back(hash);
        p.lostSeconds = r.lostSeconds;
        if (p.last == RunRecord::Over || p.last == RunRecord::Damaged) return p;
    }
}

bool SameFrame(const RunCommand& a, const RunCommand& b) {
    auto bits = [](float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return u;
    };
    return bits(a.dt) == bits(b.dt) && bits(a.mouseTurn) == bits(b.mouseTurn) &&
           bits(a.forward) == bits(b.forward) && bits(a.strafe) == bits(b.strafe) &&
           bits(a.stickTurn) == bits(b.stickTurn) && a.fire == b.fire && a.weapon == b.weapon &&
           a.pause == b.pause && a.back == b.back && a.padLost == b.padLost &&
           a.focused == b.focused;
}

} // namespace

TEST(RunFile, EverythingWrittenComesBackExactly) {
    std::vector<RunCommand> frames = Frames();
    std::vector<uint8_t> bytes = Record(frames, "HDZ");
    RunReader r;
    std::string why;
    ASSERT_TRUE(RunReader_OpenBytes(&r, bytes, &why)) << why;
    EXPECT_EQ(r.header.seed, 123456789u);
    EXPECT_EQ(r.header.carry.pushY, -2.0f);
    EXPECT_EQ(r.header.carry.stepSide, 1);
    EXPECT_EQ(r.header.date, 1796000000);
    EXPECT_STREQ(r.header.tag, "HDZ");
    EXPECT_TRUE(r.header.byProgram);
    Played p = Play(bytes);
    ASSERT_EQ(p.frames.size(), frames.size());
    for (size_t i = 0; i < frames.size(); i++)
        ASSERT_TRUE(SameFrame(p.frames[i], frames[i])) << "frame " << i;
    ASSERT_EQ(p.hashes.size(), 6u);
    EXPECT_EQ(p.hashes[5], 0xABCD0000ull + 359);
    EXPECT_EQ(p.end.score, 2500);
    EXPECT_EQ(p.end.frames, 400u);
    EXPECT_DOUBLE_EQ(p.lostSeconds, 0.25) << "the wall time a slow frame lost";
}

// A file cut at any byte reads the frames before the cut, never a damaged one.
TEST(RunFile, ACutFileReadsUpToItsLastWholeFrame) {
    std::vector<uint8_t> bytes = Record(Frames(), nullptr);
    size_t lastCount = 0;
    for (size_t n = kFirstRecord; n <= bytes.size(); n++) {
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
    std::vector<uint8_t> earlier = bytes;
    earlier[8] = 1; // the first format, which kept the devices' state
    Play(earlier, &why);
    EXPECT_EQ(why, "recorded by an earlier version of ZORB; it cannot be played by this one");
    std::vector<uint8_t> flagged = bytes;
    flagged[kRunFlagsOffset] = 3; // a flag no game sets
    Play(flagged, &why);
    EXPECT_NE(why.find("flags"), std::string::npos) << why;
    std::vector<uint8_t> meta = bytes;
    meta[kFirstRecord] = 0x80;
    meta[kFirstRecord + 1] = 7; // no such record
    EXPECT_EQ(Play(meta).last, RunRecord::Damaged);
    std::vector<uint8_t> unused = bytes;
    unused[kFirstRecord] |= 0x20; // a mask bit no writer sets
    EXPECT_EQ(Play(unused).last, RunRecord::Damaged);
    std::vector<uint8_t> weapon = bytes;
    weapon[kFirstRecord] = 0x10; // the switches alone, asking for a seventh weapon
    weapon[kFirstRecord + 1] = 7 << 5;
    EXPECT_EQ(Play(weapon).last, RunRecord::Damaged);
    std::vector<uint8_t> slow = bytes;
    slow[kFirstRecord] = 0x41; // the first frame's time step, raw: 1e30 seconds
    const float huge = 1e30f;
    std::memcpy(&slow[kFirstRecord + 1], &huge, 4);
    EXPECT_EQ(Play(slow).last, RunRecord::Damaged);
}

// A recording of the format before the flags reads as a person's run, frame for frame.
TEST(RunFile, TheFormatBeforeTheFlagsStillPlays) {
    std::vector<uint8_t> bytes = Record(Frames(), "OLD");
    std::vector<uint8_t> old = bytes;
    old.erase(old.begin() + kRunFlagsOffset, old.begin() + kRunFlagsOffset + 4);
    old[8] = 2;
    RunReader r;
    std::string why;
    ASSERT_TRUE(RunReader_OpenBytes(&r, old, &why)) << why;
    EXPECT_FALSE(r.header.byProgram);
    EXPECT_STREQ(r.header.tag, "OLD");
    Played now = Play(bytes), then = Play(old);
    ASSERT_EQ(then.frames.size(), now.frames.size());
    EXPECT_EQ(then.last, RunRecord::Over);
    EXPECT_EQ(then.end.score, now.end.score);
    EXPECT_EQ(then.hashes, now.hashes);
}

// A run at 200 frames a second, turning and walking, costs a few bytes a frame.
TEST(RunFile, AFrameOfPlayCostsAFewBytes) {
    std::vector<RunCommand> frames;
    for (int i = 0; i < 2000; i++) {
        RunCommand c;
        c.dt = (float)(5200 + (i * 37) % 300) / 1048576.0f;
        c.mouseTurn = (float)((i * 7) % 11 - 5);
        c.forward = (i / 100) % 2 ? 1.0f : 0.0f;
        c.fire = (i / 150) % 2;
        frames.push_back(c);
    }
    std::vector<uint8_t> bytes = Record(frames, nullptr);
    EXPECT_LT(bytes.size(), kFirstRecord + 2000u * 4u) << bytes.size() << " bytes";
}
