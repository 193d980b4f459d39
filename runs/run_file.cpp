// The .zrun format, little-endian throughout:
//   header: "ZORBRUN" 0x1A, u16 format, u16 simulation version, u32 seed, f32 sensitivity,
//           f32 field of view, the carried player (6 f32, i32), i32 best score, i64 date, tag[4],
//           u32 flags (1: played by a program; not in format 2, whose runs are a person's)
//   then records. A frame is the player's command; it starts with a mask byte below 0x80:
//     0x01 the time step, 0x02 the mouse's turn follow: each a zig-zag varint of its change in
//          whole units (2^-20 s, 1/16 pixel), or with 0x40 set, each a raw f32
//     0x04 forward and strafe follow, two f32; 0x08 the right stick's turn, an f32
//     0x10 the switches follow, a byte: fire 1, pause 2, back 4, a lost pad 8, the focus lost 16,
//          and the weapon asked for times 32
//     A frame without a field has the last frame's; without the switches, the last frame's
//     fire and focus and none of its moments (pause, back, a lost pad, a weapon).
//   0x80 then 1: a checkpoint, u64 hash; 0x80 then 2: the end, i32 score, i32 stage, u32 frames;
//   0x80 then 3: the wall time the last frame took beyond its time step's bound, u32 microseconds.
#include "runs/run_file.h"

#include "core/output_file.h"
#include "core/settings.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const uint8_t kMagic[8] = {'Z', 'O', 'R', 'B', 'R', 'U', 'N', 0x1A};
const size_t kHeaderSize = 72, kOldHeaderSize = 68;
const uint32_t kByProgram = 1;
const size_t kMaxFileBytes = 256u << 20;

enum : uint8_t {
    kDt = 0x01,
    kMouseTurn = 0x02,
    kMove = 0x04,
    kStickTurn = 0x08,
    kSwitches = 0x10,
    kUnused = 0x20,
    kRaw = 0x40,
    kMeta = 0x80,
};
enum : uint8_t { kCheckpoint = 1, kEnd = 2, kLostTime = 3 };

const double kDtUnit = QL_DT_STEPS_A_SECOND; // units a second
const double kMouseUnit = 16.0;              // units a pixel

// ---- bytes out ----

void PutBytes(std::vector<uint8_t>* out, uint64_t v, int n) {
    for (int i = 0; i < n; i++)
        out->push_back((uint8_t)(v >> (8 * i)));
}

void PutFloat(std::vector<uint8_t>* out, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutBytes(out, bits, 4);
}

void PutVarint(std::vector<uint8_t>* out, uint64_t v) {
    while (v >= 0x80) {
        out->push_back((uint8_t)(v | 0x80));
        v >>= 7;
    }
    out->push_back((uint8_t)v);
}

uint64_t ZigZag(int64_t v) {
    return ((uint64_t)v << 1) ^ (uint64_t)(v >> 63);
}

int64_t UnZigZag(uint64_t v) {
    return (int64_t)(v >> 1) ^ -(int64_t)(v & 1);
}

// v in whole units, when it is exactly that (and small enough to difference safely).
bool Units(float v, double unit, int64_t* out) {
    double u = (double)v * unit;
    if (!std::isfinite(u) || std::fabs(u) > 4e15 || std::floor(u) != u) return false;
    *out = (int64_t)u;
    return true;
}

// ---- bytes in ----

struct In {
    const std::vector<uint8_t>& bytes;
    size_t pos;
    bool ok = true;
    bool damaged = false; // bytes that no writer makes, as opposed to bytes that ran out

    uint64_t Bytes(int n) {
        if (pos + (size_t)n > bytes.size()) {
            ok = false;
            return 0;
        }
        uint64_t v = 0;
        for (int i = 0; i < n; i++)
            v |= (uint64_t)bytes[pos + i] << (8 * i);
        pos += (size_t)n;
        return v;
    }
    float Float() {
        uint32_t bits = (uint32_t)Bytes(4);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    uint64_t Varint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            uint64_t b = Bytes(1);
            if (!ok) return 0;
            v |= (b & 0x7F) << shift;
            if (!(b & 0x80)) return v;
        }
        ok = false;
        damaged = true; // longer than any 64-bit value
        return 0;
    }
};

// ---- the header ----

// v within [lowest, highest], NaN never.
bool Within(float v, float lowest, float highest) {
    return v >= lowest && v <= highest;
}

// "its NAME, VALUE, is outside LOW to HIGH", or empty when the value lies within.
std::string Outside(const char* name, float v, float low, float high) {
    if (Within(v, low, high)) return "";
    char text[160];
    std::snprintf(text, sizeof text, "its %s, %g, is outside %g to %g", name, (double)v,
                  (double)low, (double)high);
    return text;
}

// Why the settings or the carried player cannot be the game's: outside the settings screen's
// bounds (with room for the rounding of its steps) or beyond what play can leave. Empty if they
// can.
std::string Unplayable(const RunHeader& h) {
    const float slack = 1e-3f;
    std::string why = Outside("mouse sensitivity", h.mouseSensitivity, kSensitivityLowest - slack,
                              kSensitivityHighest + slack);
    if (why.empty())
        why = Outside("field of view", h.fieldOfView, kFieldOfViewLowest - slack,
                      kFieldOfViewHighest + slack);
    for (const CarriedFloat& f : kCarriedFloats)
        if (why.empty()) why = Outside(f.name, h.carry.*f.carry, -f.most, f.most);
    if (why.empty() && h.carry.stepSide != 0 && h.carry.stepSide != 1)
        why = "its stride's side, " + std::to_string(h.carry.stepSide) + ", is neither 0 nor 1";
    return why;
}

std::vector<uint8_t> EncodeHeader(const RunHeader& h) {
    std::vector<uint8_t> out(kMagic, kMagic + 8);
    PutBytes(&out, h.format, 2);
    PutBytes(&out, h.simVersion, 2);
    PutBytes(&out, h.seed, 4);
    PutFloat(&out, h.mouseSensitivity);
    PutFloat(&out, h.fieldOfView);
    const PlayerCarry& c = h.carry;
    for (const CarriedFloat& f : kCarriedFloats)
        PutFloat(&out, c.*f.carry);
    PutBytes(&out, (uint32_t)c.stepSide, 4);
    PutBytes(&out, (uint32_t)h.bestScore, 4);
    PutBytes(&out, (uint64_t)h.date, 8);
    out.insert(out.end(), h.tag, h.tag + 4);
    PutBytes(&out, h.byProgram ? kByProgram : 0u, 4);
    return out;
}

bool DecodeHeader(In* in, RunHeader* h, std::string* why) {
    if (in->bytes.size() < kOldHeaderSize || std::memcmp(in->bytes.data(), kMagic, 8) != 0) {
        *why = "not a recorded run of ZORB";
        return false;
    }
    in->pos = 8;
    h->format = (uint16_t)in->Bytes(2);
    h->simVersion = (uint16_t)in->Bytes(2);
    if (h->format < kRunOldestFormat) {
        *why = "recorded by an earlier version of ZORB; it cannot be played by this one";
        return false;
    }
    if (h->format > kRunFormatVersion) {
        *why = "a recording of another format (" + std::to_string(h->format) +
               "; this game reads " + std::to_string(kRunOldestFormat) + " to " +
               std::to_string(kRunFormatVersion) + ")";
        return false;
    }
    if (h->format > 2 && in->bytes.size() < kHeaderSize) {
        *why = "a recording cut short in its header";
        return false;
    }
    if (h->simVersion != kRunSimVersion) {
        *why = "a recording of another version of the game (simulation " +
               std::to_string(h->simVersion) + "; this game plays " +
               std::to_string(kRunSimVersion) + ")";
        return false;
    }
    h->seed = (uint32_t)in->Bytes(4);
    h->mouseSensitivity = in->Float();
    h->fieldOfView = in->Float();
    PlayerCarry& c = h->carry;
    for (const CarriedFloat& f : kCarriedFloats)
        c.*f.carry = in->Float();
    c.stepSide = (int32_t)(uint32_t)in->Bytes(4);
    h->bestScore = (int32_t)(uint32_t)in->Bytes(4);
    h->date = (int64_t)in->Bytes(8);
    for (char& t : h->tag)
        t = (char)in->Bytes(1);
    h->tag[3] = '\0';
    uint32_t flags = h->format > 2 ? (uint32_t)in->Bytes(4) : 0;
    h->byProgram = flags & kByProgram;
    if (flags & ~kByProgram) {
        *why = "a damaged recording (its flags, " + std::to_string(flags) + ", are not the game's)";
        return false;
    }
    std::string unplayable = Unplayable(*h);
    if (!unplayable.empty()) {
        *why = "a damaged recording (" + unplayable + ")";
        return false;
    }
    return true;
}

// ---- frames ----

// The command's switches as one byte: fire, pause, back, a lost pad and the lost focus in the low
// five bits, the weapon asked for in the top three.
uint8_t Switches(const RunCommand& c) {
    return (uint8_t)(c.fire | c.pause << 1 | c.back << 2 | c.padLost << 3 | !c.focused << 4 |
                     (int)c.weapon << 5);
}

void SetSwitches(RunCommand* c, uint8_t bits) {
    c->fire = bits & 1;
    c->pause = bits >> 1 & 1;
    c->back = bits >> 2 & 1;
    c->padLost = bits >> 3 & 1;
    c->focused = !(bits >> 4 & 1);
    c->weapon = (WeaponAsk)(bits >> 5);
}

// A frame without a switches byte: the last one's held switches (fire, focus), none of its
// moments (pause, back, a lost pad, a weapon asked for).
RunCommand Carried(const RunCommand& last) {
    RunCommand c = last;
    c.pause = c.back = c.padLost = false;
    c.weapon = WeaponAsk::None;
    return c;
}

bool Same(float a, float b) {
    return std::memcmp(&a, &b, 4) == 0;
}

struct FloatField {
    float now, before;
    double unit;
    uint8_t flag;
};

void EncodeFrame(const RunCommand& last, const RunCommand& cur, std::vector<uint8_t>* out) {
    FloatField fields[2] = {{cur.dt, last.dt, kDtUnit, kDt},
                            {cur.mouseTurn, last.mouseTurn, kMouseUnit, kMouseTurn}};
    uint8_t mask = 0;
    int64_t now[2], before[2];
    for (int i = 0; i < 2; i++) {
        const FloatField& f = fields[i];
        if (Same(f.now, f.before)) continue;
        mask |= f.flag;
        if (!Units(f.now, f.unit, &now[i]) || !Units(f.before, f.unit, &before[i])) mask |= kRaw;
    }
    if (!Same(cur.forward, last.forward) || !Same(cur.strafe, last.strafe)) mask |= kMove;
    if (!Same(cur.stickTurn, last.stickTurn)) mask |= kStickTurn;
    if (Switches(cur) != Switches(Carried(last))) mask |= kSwitches;
    out->push_back(mask);
    for (int i = 0; i < 2; i++) {
        if (!(mask & fields[i].flag)) continue;
        if (mask & kRaw)
            PutFloat(out, fields[i].now);
        else
            PutVarint(out, ZigZag(now[i] - before[i]));
    }
    if (mask & kMove) {
        PutFloat(out, cur.forward);
        PutFloat(out, cur.strafe);
    }
    if (mask & kStickTurn) PutFloat(out, cur.stickTurn);
    if (mask & kSwitches) out->push_back(Switches(cur));
}

// One field read back; false when it cannot be one.
bool GetField(In* in, uint8_t mask, float before, double unit, float* v) {
    if (mask & kRaw) {
        *v = in->Float();
        return true;
    }
    int64_t base;
    if (!Units(before, unit, &base)) return false;
    int64_t delta = UnZigZag(in->Varint());
    if (delta > (int64_t)4e15 || delta < -(int64_t)4e15) return false;
    *v = (float)((double)(base + delta) / unit);
    return true;
}

// What the game can have asked: a time step within the engine's bound, a turn from a pointer
// within its bound, pushes within -1 to 1, a weapon that is one.
bool Sane(const RunCommand& c) {
    auto unit = [](float v) { return v >= -1.0f && v <= 1.0f; };
    return c.dt >= 0.0f && c.dt <= QL_MAX_DT && std::fabs(c.mouseTurn) <= 2.0f * QL_POINTER_BOUND &&
           unit(c.forward) && unit(c.strafe) && unit(c.stickTurn) &&
           (int)c.weapon <= (int)WeaponAsk::Previous;
}

bool DecodeFrame(In* in, uint8_t mask, const RunCommand& last, RunCommand* out) {
    if (mask & kUnused) return false;
    RunCommand c = Carried(last);
    const uint8_t flags[2] = {kDt, kMouseTurn};
    float* values[2] = {&c.dt, &c.mouseTurn};
    const double units[2] = {kDtUnit, kMouseUnit};
    for (int i = 0; i < 2; i++)
        if ((mask & flags[i]) && !GetField(in, mask, *values[i], units[i], values[i])) return false;
    if (mask & kMove) {
        c.forward = in->Float();
        c.strafe = in->Float();
    }
    if (mask & kStickTurn) c.stickTurn = in->Float();
    if (mask & kSwitches) SetSwitches(&c, (uint8_t)in->Bytes(1));
    if (!in->ok || !Sane(c)) return false;
    *out = c;
    return true;
}

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

// ---- Writing ----

bool RunWriter_Open(RunWriter* w, const std::string& path, const RunHeader& header) {
    *w = RunWriter();
    w->path = path;
    OutputFileOptions options;
    options.suffix = ".part"; // a recording cut short by a kill plays up to its last second
    options.inPlace = false;  // the tag is written last, into the header: the file must seek
    w->open = OutputFile_Open(&w->out, path, options);
    if (!w->open) return false;
    w->buffer = EncodeHeader(header);
    Sha256_Start(&w->digest);
    w->lastFlush = Now();
    RunWriter_Flush(w, true);
    return !w->out.failed;
}

void RunWriter_Frame(RunWriter* w, const RunCommand& frame) {
    if (!w->open) return;
    EncodeFrame(w->last, frame, &w->buffer);
    w->last = frame;
    w->frames++;
    RunWriter_Flush(w, false);
}

void RunWriter_LostTime(RunWriter* w, double seconds) {
    if (!w->open || !(seconds > 0.0)) return;
    w->buffer.push_back(kMeta);
    w->buffer.push_back(kLostTime);
    PutBytes(&w->buffer, (uint32_t)std::min(seconds * 1e6 + 0.5, 4294967295.0), 4);
}

void RunWriter_Checkpoint(RunWriter* w, uint64_t hash) {
    if (!w->open) return;
    w->buffer.push_back(kMeta);
    w->buffer.push_back(kCheckpoint);
    PutBytes(&w->buffer, hash, 8);
}

void RunWriter_End(RunWriter* w, const RunEnd& end) {
    if (!w->open) return;
    w->buffer.push_back(kMeta);
    w->buffer.push_back(kEnd);
    PutBytes(&w->buffer, (uint32_t)end.score, 4);
    PutBytes(&w->buffer, (uint32_t)end.stage, 4);
    PutBytes(&w->buffer, end.frames, 4);
    RunWriter_Flush(w, true);
}

void RunWriter_Flush(RunWriter* w, bool force) {
    if (!w->open || w->buffer.empty()) return;
    double now = Now();
    if (!force && now - w->lastFlush < 1.0) return;
    w->lastFlush = now;
    OutputFile_Write(&w->out, w->buffer.data(), w->buffer.size());
    Sha256_Add(&w->digest, w->buffer.data(), w->buffer.size());
    OutputFile_Flush(&w->out);
    w->buffer.clear();
}

bool RunWriter_Finish(RunWriter* w, const char* tag) {
    if (!w->open) return false;
    RunWriter_Flush(w, true);
    char t[4] = {};
    for (int i = 0; tag && i < 3 && tag[i]; i++)
        t[i] = tag[i];
    OutputFile_WriteAt(&w->out, kRunTagOffset, t, 4);
    w->open = false;
    return OutputFile_Commit(&w->out);
}

std::string RunWriter_Digest(const RunWriter& w) {
    return Sha256_Hex(w.digest);
}

void RunWriter_Discard(RunWriter* w) {
    if (!w->open) return;
    w->open = false;
    OutputFile_Abort(&w->out);
}

// ---- Reading ----

bool RunReader_OpenBytes(RunReader* r, std::vector<uint8_t> bytes, std::string* why) {
    *r = RunReader();
    r->bytes = std::move(bytes);
    In in{r->bytes, 0};
    if (!DecodeHeader(&in, &r->header, why)) return false;
    r->pos = in.pos;
    return true;
}

bool RunReader_Open(RunReader* r, const std::string& path, std::string* why) {
    std::vector<uint8_t> bytes;
    switch (QL_File_Read(path.c_str(), kMaxFileBytes, &bytes)) {
    case QL_FILE_OK:
        return RunReader_OpenBytes(r, std::move(bytes), why);
    case QL_FILE_MISSING:
        *why = "no such file";
        break;
    case QL_FILE_NOT_REGULAR:
        *why = "not a regular file";
        break;
    case QL_FILE_TOO_LARGE:
        *why = "too large for a recorded run";
        break;
    default:
        *why = "cannot be read";
    }
    *r = RunReader();
    return false;
}

RunRecord RunReader_Next(RunReader* r, RunCommand* frame, uint64_t* hash, RunEnd* end) {
    for (;;) {
        if (r->ended || r->pos >= r->bytes.size()) return RunRecord::Over;
        In in{r->bytes, r->pos};
        uint8_t mask = (uint8_t)in.Bytes(1);
        RunRecord kind = RunRecord::Frame;
        if (mask & kMeta) {
            uint8_t what = (uint8_t)in.Bytes(1);
            if (mask != kMeta ||
                (in.ok && what != kCheckpoint && what != kEnd && what != kLostTime))
                return RunRecord::Damaged;
            if (what == kCheckpoint) {
                *hash = in.Bytes(8);
                kind = RunRecord::Checkpoint;
            } else if (what == kEnd) {
                end->score = (int32_t)(uint32_t)in.Bytes(4);
                end->stage = (int32_t)(uint32_t)in.Bytes(4);
                end->frames = (uint32_t)in.Bytes(4);
                kind = RunRecord::End;
            } else {
                double lost = (double)(uint32_t)in.Bytes(4) / 1e6;
                if (in.ok) r->lostSeconds += lost;
                kind = RunRecord::Over; // taken note of: read on
            }
        } else if (!DecodeFrame(&in, mask, r->last, frame) && in.ok) {
            return RunRecord::Damaged;
        }
        if (in.damaged) return RunRecord::Damaged;
        if (!in.ok) return RunRecord::Over; // cut short inside a record: up to the last whole one
        r->pos = in.pos;
        if (kind == RunRecord::Over) continue;
        if (kind == RunRecord::Frame) {
            r->last = *frame;
            r->frames++;
        }
        r->ended = kind == RunRecord::End;
        return kind;
    }
}
