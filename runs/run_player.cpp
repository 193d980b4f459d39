// Playback of a recording, with its checkpoints checked as it goes.
#include "runs/run_player.h"

#include "core/settings.h"
#include "game/player.h"
#include "game/sim_state.h"
#include "quillon/quillon.h"

namespace {

// Reads on to the next frame, checking the checkpoints and taking the end on the way.
void ReadAhead(RunPlayback* p) {
    uint64_t hash = 0;
    for (;;) {
        switch (RunReader_Next(&p->reader, &p->pending, &hash, &p->end)) {
        case RunRecord::Frame:
            p->hasPending = true;
            return;
        case RunRecord::Checkpoint:
            if (p->strayed) break;
            if (hash == SimState_Hash()) {
                p->checkpoints++;
                break;
            }
            p->strayed = true;
            p->strayFrame = p->reader.frames;
            p->expected = hash;
            p->found = SimState_Hash();
            p->over = true;
            return;
        case RunRecord::End:
            p->ended = true;
            p->over = true;
            return;
        case RunRecord::Damaged:
            p->damaged = true;
            p->over = true;
            return;
        case RunRecord::Over:
            p->over = true;
            return;
        }
    }
}

std::string Hex(uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", (unsigned long long)v);
    return text;
}

// The tag as it may be printed: printable ASCII as it is, any other byte (a terminal's escape, a
// bell) and the backslash written out as \xHH.
std::string PrintableTag(const char* tag) {
    std::string out;
    for (int i = 0; i < 3 && tag[i]; i++) {
        unsigned char c = (unsigned char)tag[i];
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
        out += c >= 0x20 && c < 0x7F && c != '\\' ? std::string(1, (char)c) : escaped;
    }
    return out;
}

} // namespace

bool RunPlayer_Open(RunPlayback* p, const std::string& path, std::string* why) {
    *p = RunPlayback();
    if (!RunReader_Open(&p->reader, path, why)) return false;
    return true;
}

void RunPlayer_ApplyStart(const RunPlayback& p) {
    settings.mouseSensitivity = p.reader.header.mouseSensitivity;
    settings.fieldOfView = p.reader.header.fieldOfView;
    Player_SetCarry(p.reader.header.carry);
}

bool RunPlayer_Step(RunPlayback* p, void (*frame)(const RunCommand& command)) {
    if (!p->hasPending && !p->over) ReadAhead(p);
    if (!p->hasPending) return false;
    p->hasPending = false;
    frame(p->pending);
    ReadAhead(p);
    return true;
}

float RunPlayer_NextDt(RunPlayback* p) {
    if (!p->hasPending && !p->over) ReadAhead(p);
    return p->hasPending ? p->pending.dt : -1.0f;
}

uint32_t RunPlayer_Frames(const RunPlayback& p) {
    return p.reader.frames - (p.hasPending ? 1u : 0u);
}

// The run as played ends where and as its recording does.
static bool EndsAsRecorded(const RunPlayback& p) {
    return p.end.frames == RunPlayer_Frames(p) && p.end.score == player.score &&
           p.end.stage == runState.stage;
}

bool RunPlayer_Contradicted(const RunPlayback& p) {
    return p.strayed || p.damaged || (p.ended && !EndsAsRecorded(p));
}

bool RunPlayer_Proven(const RunPlayback& p) {
    return p.ended && !p.strayed && !p.damaged && EndsAsRecorded(p);
}

std::string RunPlayer_Verdict(const RunPlayback& p) {
    std::string frames = std::to_string(RunPlayer_Frames(p));
    std::string checks = std::to_string(p.checkpoints) + " checkpoints matched";
    if (p.strayed)
        return "the run strays from its recording at frame " + std::to_string(p.strayFrame) +
               ": the recording's state hash " + Hex(p.expected) + ", the game's " + Hex(p.found);
    if (p.damaged) return "the recording is damaged after frame " + frames + " (" + checks + ")";
    if (!p.ended) return "the recording is cut short at frame " + frames + " (" + checks + ")";
    if (!EndsAsRecorded(p))
        return "the run ends otherwise than its recording: score " + std::to_string(player.score) +
               ", recorded " + std::to_string(p.end.score);
    std::string tag = p.reader.header.tag[0] ? ", tag " + PrintableTag(p.reader.header.tag) : "";
    return "verified: " + frames + " frames, " + checks + ", score " + std::to_string(p.end.score) +
           ", stage " + std::to_string(p.end.stage + 1) + tag;
}
