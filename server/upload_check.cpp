// Reading an upload through, record by record, without the simulation.
#include "server/upload_check.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/sha256.h"

namespace {

// A clock a little ahead of the server's is not a lie.
const int64_t kClockSlackSeconds = 300;

bool Fail(std::string* why, const std::string& text) {
    *why = text;
    return false;
}

// The reader's own reason, with the versions this server takes where that was the fault.
std::string HeaderFault(const std::string& reason) {
    return reason + "; this server takes recordings of formats " +
           std::to_string(kRunOldestFormat) + " to " + std::to_string(kRunFormatVersion) +
           ", simulation " + std::to_string(kRunSimVersion);
}

// The play, as the simulation reads it: numbers, not bytes, so that no other writing of the same
// play (a -0 for a 0, a lost-time record or an end's claim changed) makes it another, and only
// what steers the simulation, so that no field it never reads (the field of view only draws, the
// best score only shows on the HUD) makes a copy a new play. Each float is added to +0, which
// makes -0 the same as 0.
void AddFloat(Sha256* play, float v) {
    v += 0.0f;
    Sha256_Add(play, &v, sizeof v);
}

void AddInt(Sha256* play, int64_t v) {
    Sha256_Add(play, &v, sizeof v);
}

void AddStart(Sha256* play, const RunHeader& h) {
    AddInt(play, h.simVersion);
    AddInt(play, h.seed);
    for (float v : {h.mouseSensitivity, h.carry.turnRate, h.carry.forwardSpeed, h.carry.strafeSpeed,
                    h.carry.pushX, h.carry.pushY, h.carry.stepTimer})
        AddFloat(play, v);
    AddInt(play, h.carry.stepSide);
}

void AddCommand(Sha256* play, const RunCommand& c) {
    for (float v : {c.dt, c.forward, c.strafe, c.mouseTurn, c.stickTurn})
        AddFloat(play, v);
    for (bool b : {c.fire, c.pause, c.back, c.padLost, c.focused})
        AddInt(play, b);
    AddInt(play, (int64_t)c.weapon);
}

// The spread of the mouse's turn and the presses of fire, gathered frame by frame.
struct Hands {
    double frames = 0, turn = 0, turnSquared = 0, presses = 0;
    bool fired = false;
    void Add(const RunCommand& c) {
        frames++;
        turn += c.mouseTurn;
        turnSquared += (double)c.mouseTurn * c.mouseTurn;
        presses += c.fire && !fired;
        fired = c.fire;
    }
    double Spread() const {
        if (frames < 2) return 0;
        double mean = turn / frames;
        return std::sqrt(std::max(0.0, turnSquared / frames - mean * mean));
    }
};

} // namespace

bool Upload_Check(const std::string& bytes, int64_t now, UploadFacts* facts, std::string* why) {
    if (bytes.size() > kUploadMostBytes) return Fail(why, "larger than a recording can be");
    RunReader r;
    std::string reason;
    if (!RunReader_OpenBytes(&r, std::vector<uint8_t>(bytes.begin(), bytes.end()), &reason))
        return Fail(why, HeaderFault(reason));
    facts->checkpoints = 0;
    if (r.header.date > now + kClockSlackSeconds)
        return Fail(why, "its date, " + std::to_string(r.header.date) + ", is in the future");
    RunCommand frame;
    uint64_t hash = 0;
    double seconds = 0.0;
    Sha256 play;
    Hands hands;
    Sha256_Start(&play);
    AddStart(&play, r.header);
    for (;;) {
        RunRecord record = RunReader_Next(&r, &frame, &hash, &facts->end);
        facts->checkpoints += record == RunRecord::Checkpoint;
        if (record == RunRecord::Frame) {
            seconds += frame.dt;
            AddCommand(&play, frame);
            hands.Add(frame);
        }
        if (r.frames > kUploadMostFrames) return Fail(why, "longer than two hours of play");
        if (record == RunRecord::Damaged)
            return Fail(why, "a damaged recording after frame " + std::to_string(r.frames));
        if (record == RunRecord::Over)
            return Fail(why, "the recording is cut short at frame " + std::to_string(r.frames) +
                                 " (it has no end)");
        if (record == RunRecord::End) break;
    }
    if (r.pos != r.bytes.size()) return Fail(why, "bytes after the end of the recording");
    if (facts->end.frames != r.frames)
        return Fail(why, "its end claims " + std::to_string(facts->end.frames) +
                             " frames where it holds " + std::to_string(r.frames));
    facts->header = r.header;
    facts->gameSeconds = seconds;
    facts->lostSeconds = r.lostSeconds;
    facts->playSha256 = Sha256_Hex(play);
    facts->turnSpread = hands.Spread();
    facts->firePresses = seconds > 0 ? hands.presses / seconds : 0;
    return true;
}
