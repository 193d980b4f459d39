// The .zrun format, little-endian throughout:
//   header: "ZORBRUN" 0x1A, u16 format, u16 simulation version, u32 seed, f32 sensitivity,
//           f32 field of view, the carried player (6 f32, i32), i32 best score, i64 date, tag[4]
//   then records. A frame starts with a mask byte below 0x80:
//     0x01 dt, 0x02 mouse x, 0x04 mouse y follow: each a zig-zag varint of its change in whole
//          units (2^-20 s, 1/16 pixel), or with 0x40 set, each a raw f32
//     0x08 key changes follow: a varint count, then per key a varint ((key * 2 + view) << 3 |
//          down << 2 | pressed << 1 | released), keys 320 to 322 the mouse buttons
//     0x10 the pads follow whole: u16 down, pressed, released, 6 f32 axes, u8 count, lost, in use
//     0x20 the game did not have the focus
//   0x80 then 1: a checkpoint, u64 hash; 0x80 then 2: the end, i32 score, i32 stage, u32 frames.
#include "runs/run_file.h"

#include "core/output_file.h"
#include "core/settings.h"

#include <chrono>
#include <cmath>
#include <cstring>

namespace {

const uint8_t kMagic[8] = {'Z', 'O', 'R', 'B', 'R', 'U', 'N', 0x1A};
const size_t kHeaderSize = 68;
const size_t kMaxFileBytes = 256u << 20;

enum : uint8_t {
    kDt = 0x01,
    kMouseX = 0x02,
    kMouseY = 0x04,
    kKeys = 0x08,
    kPads = 0x10,
    kUnfocused = 0x20,
    kRaw = 0x40,
    kMeta = 0x80,
};
enum : uint8_t { kCheckpoint = 1, kEnd = 2 };

const double kDtUnit = QL_DT_STEPS_A_SECOND; // units a second
const double kMouseUnit = 16.0;              // units a pixel
const int kButtonKeys = QL_KEY_COUNT;
const int kAllKeys = QL_KEY_COUNT + 3;

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

// The settings screen's bounds, with room for the rounding of its steps.
bool SettingsPlayable(const RunHeader& h) {
    const float slack = 1e-3f;
    return Within(h.mouseSensitivity, kSensitivityLowest - slack, kSensitivityHighest + slack) &&
           Within(h.fieldOfView, kFieldOfViewLowest - slack, kFieldOfViewHighest + slack);
}

// What play can leave the player with (the bounds are the carry's own).
bool CarryPlayable(const PlayerCarry& c) {
    for (const CarriedFloat& f : kCarriedFloats)
        if (!Within(c.*f.carry, -f.most, f.most)) return false;
    return c.stepSide == 0 || c.stepSide == 1;
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
    return out;
}

bool DecodeHeader(In* in, RunHeader* h, std::string* why) {
    if (in->bytes.size() < kHeaderSize || std::memcmp(in->bytes.data(), kMagic, 8) != 0) {
        *why = "not a recorded run of ZORB";
        return false;
    }
    in->pos = 8;
    h->format = (uint16_t)in->Bytes(2);
    h->simVersion = (uint16_t)in->Bytes(2);
    if (h->format != kRunFormatVersion) {
        *why = "a recording of another format (" + std::to_string(h->format) +
               "; this game reads " + std::to_string(kRunFormatVersion) + ")";
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
    if (!SettingsPlayable(*h) || !CarryPlayable(h->carry)) {
        *why = "a damaged recording (its settings cannot be)";
        return false;
    }
    return true;
}

// ---- frames ----

// A key's (down, pressed, released) in a view of the frame, as three bits.
int KeyBits(const QL_InputFrame& f, int key, int view) {
    auto bit = [](const uint64_t* w, int k) { return (int)((w[k / 64] >> (k % 64)) & 1u); };
    if (key >= kButtonKeys) {
        int b = key - kButtonKeys;
        return ((f.buttonDown >> b) & 1) << 2 | ((f.buttonPressed >> b) & 1) << 1 |
               ((f.buttonReleased >> b) & 1);
    }
    const uint64_t* down = view ? f.placeDown : f.letterDown;
    const uint64_t* pressed = view ? f.placePressed : f.letterPressed;
    const uint64_t* released = view ? f.placeReleased : f.letterReleased;
    return bit(down, key) << 2 | bit(pressed, key) << 1 | bit(released, key);
}

void SetKeyBits(QL_InputFrame* f, int key, int view, int bits) {
    auto set = [](uint64_t* w, int k, int on) {
        w[k / 64] = (w[k / 64] & ~(1ull << (k % 64))) | ((uint64_t)on << (k % 64));
    };
    if (key >= kButtonKeys) {
        int b = key - kButtonKeys;
        auto put = [b](uint8_t* v, int on) { *v = (uint8_t)((*v & ~(1 << b)) | (on << b)); };
        put(&f->buttonDown, bits >> 2 & 1);
        put(&f->buttonPressed, bits >> 1 & 1);
        put(&f->buttonReleased, bits & 1);
        return;
    }
    set(view ? f->placeDown : f->letterDown, key, bits >> 2 & 1);
    set(view ? f->placePressed : f->letterPressed, key, bits >> 1 & 1);
    set(view ? f->placeReleased : f->letterReleased, key, bits & 1);
}

// A frame with the last one's keys held and no edges: what a frame with no key record is.
QL_InputFrame Carried(const QL_InputFrame& last) {
    QL_InputFrame f = last;
    std::memset(f.letterPressed, 0, sizeof f.letterPressed);
    std::memset(f.letterReleased, 0, sizeof f.letterReleased);
    std::memset(f.placePressed, 0, sizeof f.placePressed);
    std::memset(f.placeReleased, 0, sizeof f.placeReleased);
    f.buttonPressed = f.buttonReleased = 0;
    return f;
}

bool PadsDiffer(const QL_InputFrame& a, const QL_InputFrame& b) {
    return a.padDown != b.padDown || a.padPressed != b.padPressed ||
           a.padReleased != b.padReleased || a.padCount != b.padCount || a.padLost != b.padLost ||
           a.padInUse != b.padInUse || std::memcmp(a.padAxis, b.padAxis, sizeof a.padAxis) != 0;
}

void PutPads(std::vector<uint8_t>* out, const QL_InputFrame& f) {
    PutBytes(out, f.padDown, 2);
    PutBytes(out, f.padPressed, 2);
    PutBytes(out, f.padReleased, 2);
    for (float a : f.padAxis)
        PutFloat(out, a);
    PutBytes(out, f.padCount, 1);
    PutBytes(out, f.padLost, 1);
    PutBytes(out, f.padInUse, 1);
}

bool GetPads(In* in, QL_InputFrame* f) {
    f->padDown = (uint16_t)in->Bytes(2);
    f->padPressed = (uint16_t)in->Bytes(2);
    f->padReleased = (uint16_t)in->Bytes(2);
    bool sane = true;
    for (float& a : f->padAxis) {
        a = in->Float();
        sane = sane && a >= -1.0f && a <= 1.0f;
    }
    f->padCount = (uint8_t)in->Bytes(1);
    f->padLost = (uint8_t)in->Bytes(1);
    f->padInUse = (uint8_t)in->Bytes(1);
    return sane && f->padLost <= 1 && f->padInUse <= 1;
}

struct FloatField {
    float now, before;
    double unit;
    uint8_t flag;
};

void EncodeFrame(const RunFrame& last, const RunFrame& cur, std::vector<uint8_t>* out) {
    const QL_InputFrame &a = last.input, &b = cur.input;
    FloatField fields[3] = {{b.dt, a.dt, kDtUnit, kDt},
                            {b.mouseX, a.mouseX, kMouseUnit, kMouseX},
                            {b.mouseY, a.mouseY, kMouseUnit, kMouseY}};
    uint8_t mask = cur.focused ? 0 : kUnfocused;
    int64_t now[3], before[3];
    for (int i = 0; i < 3; i++) {
        const FloatField& f = fields[i];
        if (std::memcmp(&f.now, &f.before, 4) == 0) continue;
        mask |= f.flag;
        if (!Units(f.now, f.unit, &now[i]) || !Units(f.before, f.unit, &before[i])) mask |= kRaw;
    }
    std::vector<uint64_t> keys;
    QL_InputFrame carried = Carried(a);
    for (int key = 0; key < kAllKeys; key++)
        for (int view = 0; view < (key < kButtonKeys ? 2 : 1); view++) {
            int bits = KeyBits(b, key, view);
            if (bits != KeyBits(carried, key, view))
                keys.push_back((uint64_t)((key * 2 + view) << 3 | bits));
        }
    if (!keys.empty()) mask |= kKeys;
    if (PadsDiffer(a, b)) mask |= kPads;
    out->push_back(mask);
    for (int i = 0; i < 3; i++) {
        if (!(mask & fields[i].flag)) continue;
        if (mask & kRaw)
            PutFloat(out, fields[i].now);
        else
            PutVarint(out, ZigZag(now[i] - before[i]));
    }
    if (mask & kKeys) {
        PutVarint(out, keys.size());
        for (uint64_t k : keys)
            PutVarint(out, k);
    }
    if (mask & kPads) PutPads(out, b);
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

bool GetKeys(In* in, QL_InputFrame* f) {
    uint64_t count = in->Varint();
    if (count > (uint64_t)kAllKeys * 2) return false;
    for (uint64_t i = 0; i < count && in->ok; i++) {
        uint64_t e = in->Varint();
        uint64_t slot = e >> 3;
        int key = (int)(slot / 2), view = (int)(slot % 2);
        if (slot >= (uint64_t)kAllKeys * 2 || (key >= kButtonKeys && view != 0)) return false;
        SetKeyBits(f, key, view, (int)(e & 7));
    }
    return true;
}

bool Sane(const QL_InputFrame& f) {
    return f.dt >= 0.0f && f.dt <= QL_MAX_DT && std::fabs(f.mouseX) <= QL_POINTER_BOUND &&
           std::fabs(f.mouseY) <= QL_POINTER_BOUND;
}

bool DecodeFrame(In* in, uint8_t mask, const RunFrame& last, RunFrame* out) {
    QL_InputFrame f = Carried(last.input);
    const uint8_t flags[3] = {kDt, kMouseX, kMouseY};
    float* values[3] = {&f.dt, &f.mouseX, &f.mouseY};
    const double units[3] = {kDtUnit, kMouseUnit, kMouseUnit};
    for (int i = 0; i < 3; i++)
        if ((mask & flags[i]) && !GetField(in, mask, *values[i], units[i], values[i])) return false;
    if ((mask & kKeys) && !GetKeys(in, &f)) return false;
    if ((mask & kPads) && !GetPads(in, &f)) return false;
    if (!in->ok || !Sane(f)) return false;
    out->input = f;
    out->focused = !(mask & kUnfocused);
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
    w->last.focused = true;
    w->lastFlush = Now();
    RunWriter_Flush(w, true);
    return !w->out.failed;
}

void RunWriter_Frame(RunWriter* w, const RunFrame& frame) {
    if (!w->open) return;
    EncodeFrame(w->last, frame, &w->buffer);
    w->last = frame;
    w->frames++;
    RunWriter_Flush(w, false);
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
    r->last.focused = true;
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

RunRecord RunReader_Next(RunReader* r, RunFrame* frame, uint64_t* hash, RunEnd* end) {
    if (r->ended || r->pos >= r->bytes.size()) return RunRecord::Over;
    In in{r->bytes, r->pos};
    uint8_t mask = (uint8_t)in.Bytes(1);
    RunRecord kind = RunRecord::Frame;
    if (mask & kMeta) {
        uint8_t what = (uint8_t)in.Bytes(1);
        if (mask != kMeta || (in.ok && what != kCheckpoint && what != kEnd))
            return RunRecord::Damaged;
        if (what == kCheckpoint) {
            *hash = in.Bytes(8);
            kind = RunRecord::Checkpoint;
        } else {
            end->score = (int32_t)(uint32_t)in.Bytes(4);
            end->stage = (int32_t)(uint32_t)in.Bytes(4);
            end->frames = (uint32_t)in.Bytes(4);
            kind = RunRecord::End;
        }
    } else if (!DecodeFrame(&in, mask, r->last, frame) && in.ok) {
        return RunRecord::Damaged;
    }
    if (in.damaged) return RunRecord::Damaged;
    if (!in.ok) return RunRecord::Over; // cut short inside a record: play up to the last whole one
    r->pos = in.pos;
    if (kind == RunRecord::Frame) {
        r->last = *frame;
        r->frames++;
    }
    r->ended = kind == RunRecord::End;
    return kind;
}
