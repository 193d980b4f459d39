// Parsing of zorb-headless's command line.
#include "tools/headless/script.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "net/http_client.h"
#include "quillon/quillon.h"

// Key names, case-insensitive: a letter or digit, Escape/Esc, Space, Enter/Return, the arrows
// Up/Down/Left/Right, F1 to F12. Returns -1 for anything else.
int Headless_ParseKey(const std::string& name) {
    std::string n;
    for (char c : name)
        n += (char)std::toupper((unsigned char)c);
    struct Named {
        const char* name;
        int key;
    };
    static const Named named[] = {
        {"ESC", QL_KEY_ESCAPE}, {"ESCAPE", QL_KEY_ESCAPE}, {"SPACE", ' '},
        {"ENTER", '\r'},        {"RETURN", '\r'},          {"UP", QL_KEY_UP},
        {"DOWN", QL_KEY_DOWN},  {"LEFT", QL_KEY_LEFT},     {"RIGHT", QL_KEY_RIGHT}};
    for (const Named& k : named)
        if (n == k.name) return k.key;
    if (n.size() == 1 && std::isalnum((unsigned char)n[0])) return (unsigned char)n[0];
    if (n.size() >= 2 && n.size() <= 3 && n[0] == 'F' && std::isdigit((unsigned char)n[1])) {
        int f = std::atoi(n.c_str() + 1);
        if (f >= 1 && f <= 12 && std::to_string(f) == n.substr(1)) return QL_KEY_F1 + f - 1;
    }
    return -1;
}

// The whole text as a decimal integer within [lowest, highest]; false for anything else
// (empty, signs alone, trailing letters, out of range).
static bool ParseWhole(const std::string& text, long long lowest, long long highest,
                       long long* out) {
    if (text.empty() || std::isspace((unsigned char)text[0])) return false;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || value < lowest || value > highest)
        return false;
    *out = value;
    return true;
}

// The same into a long (32 bits on Windows, 64 on Linux: the bounds keep to both).
static bool ParseLong(const std::string& text, long lowest, long highest, long* out) {
    long long value = 0;
    if (!ParseWhole(text, lowest, highest, &value)) return false;
    *out = (long)value;
    return true;
}

// The whole text as a finite decimal number.
static bool ParseFloat(const std::string& text, float* out) {
    if (text.empty() || std::isspace((unsigned char)text[0])) return false;
    char* end = nullptr;
    float value = std::strtof(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return false;
    *out = value;
    return true;
}

// Two parts of the text around its first separator, each read whole by parse.
template <typename Parse>
static bool ParsePair(const std::string& text, char separator, Parse parse) {
    size_t at = text.find(separator);
    return at != std::string::npos && parse(text.substr(0, at), 0) && parse(text.substr(at + 1), 1);
}

static bool ParseXY(const std::string& text, float* x, float* y) {
    return ParsePair(text, ',', [&](const std::string& part, int i) {
        return ParseFloat(part, i == 0 ? x : y);
    });
}

// SDL's names for a pad's buttons and axes, in the engine's order.
static const char* const kPadButtons[QL_PAD_BUTTON_COUNT] = {"a",
                                                             "b",
                                                             "x",
                                                             "y",
                                                             "back",
                                                             "guide",
                                                             "start",
                                                             "leftstick",
                                                             "rightstick",
                                                             "leftshoulder",
                                                             "rightshoulder",
                                                             "dpup",
                                                             "dpdown",
                                                             "dpleft",
                                                             "dpright"};
static const char* const kPadAxes[QL_PAD_AXIS_COUNT] = {"leftx",  "lefty",       "rightx",
                                                        "righty", "lefttrigger", "righttrigger"};

static int IndexOf(const char* const* names, int count, const std::string& name) {
    for (int i = 0; i < count; i++)
        if (name == names[i]) return i;
    return -1;
}

// "pad:connect", "pad:disconnect", "padbutton:NAME,1|0", "padaxis:NAME,VALUE" (-1 to 1).
static bool ParsePad(const std::string& verb, const std::string& arg, HeadlessAction* a) {
    if (verb == "pad") {
        a->kind = arg == "connect" ? HeadlessAction::PadConnect : HeadlessAction::PadDisconnect;
        return arg == "connect" || arg == "disconnect";
    }
    size_t comma = arg.find(',');
    if (comma == std::string::npos) return false;
    std::string name = arg.substr(0, comma), value = arg.substr(comma + 1);
    if (verb == "padbutton") {
        a->kind = HeadlessAction::PadButton;
        a->key = IndexOf(kPadButtons, QL_PAD_BUTTON_COUNT, name);
        a->x = value == "1" ? 1.0f : 0.0f;
        return a->key >= 0 && (value == "0" || value == "1");
    }
    a->kind = HeadlessAction::PadAxis;
    a->key = IndexOf(kPadAxes, QL_PAD_AXIS_COUNT, name);
    return verb == "padaxis" && a->key >= 0 && ParseFloat(value, &a->x) && a->x >= -1.0f &&
           a->x <= 1.0f;
}

bool Headless_ParseAction(const std::string& text, HeadlessAction* a) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    if (!ParseLong(text.substr(0, colon), 0, LONG_MAX, &a->frame)) return false;
    std::string rest = text.substr(colon + 1);
    size_t sep = rest.find(':');
    if (sep == std::string::npos) return false;
    std::string verb = rest.substr(0, sep), arg = rest.substr(sep + 1);
    a->key = -1;
    a->x = a->y = 0.0f;
    if (verb == "key" || verb == "down" || verb == "up") {
        a->kind = verb == "key"
                      ? HeadlessAction::KeyTap
                      : (verb == "down" ? HeadlessAction::KeyDown : HeadlessAction::KeyUp);
        a->key = Headless_ParseKey(arg);
        return a->key >= 0;
    }
    if (verb == "click" || verb == "mouse") {
        a->kind = verb == "click" ? HeadlessAction::Click : HeadlessAction::Mouse;
        return ParseXY(arg, &a->x, &a->y);
    }
    if (verb == "pad" || verb == "padbutton" || verb == "padaxis") return ParsePad(verb, arg, a);
    long ms = 0;
    if (verb == "wait" && ParseLong(arg, 0, 60000, &ms)) {
        a->kind = HeadlessAction::Wait;
        a->x = (float)ms;
        return true;
    }
    if (verb == "focus" && (arg == "0" || arg == "1")) {
        a->kind = HeadlessAction::Focus;
        a->x = arg == "1" ? 1.0f : 0.0f;
        return true;
    }
    return false;
}

static bool ParseShot(const std::string& text, HeadlessShot* shot) {
    size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 >= text.size()) return false;
    shot->path = text.substr(colon + 1);
    return ParseLong(text.substr(0, colon), 0, LONG_MAX, &shot->frame);
}

static bool ParseSize(const std::string& text, int* width, int* height) {
    return ParsePair(text, 'x', [&](const std::string& part, int i) {
        long side = 0;
        if (!ParseLong(part, 1, INT_MAX, &side)) return false;
        *(i == 0 ? width : height) = (int)side;
        return true;
    });
}

static bool ParseSeed(const std::string& text, HeadlessConfig* c) {
    long long seed = 0;
    if (!ParseWhole(text, 0, UINT_MAX, &seed)) return false;
    c->seed = (unsigned)seed;
    return c->seedGiven = true;
}

// Each flag takes one value; returns false on a bad one.
static bool ParseFlag(const std::string& flag, const std::string& value, HeadlessConfig* c) {
    if (flag == "--size") return ParseSize(value, &c->width, &c->height);
    if (flag == "--dt") return ParseFloat(value, &c->dt) && c->dt > 0.0f;
    if (flag == "--frames") return c->framesGiven = ParseLong(value, 0, LONG_MAX, &c->frames);
    if (flag == "--speed") {
        long speed = 1;
        if (!ParseLong(value, 1, 64, &speed)) return false;
        c->speed = (int)speed;
        return true;
    }
    if (flag == "--seed") return ParseSeed(value, c);
    if (flag == "--render-distance") {
        long rings = -1;
        if (value != "adaptive" && !ParseLong(value, 0, 64, &rings)) return false;
        c->renderDistance = (int)rings;
        return true;
    }
    struct Named {
        const char* flag;
        std::string HeadlessConfig::*field;
    };
    static const Named files[] = {
        {"--report", &HeadlessConfig::report}, {"--audio", &HeadlessConfig::audio},
        {"--scores", &HeadlessConfig::scores}, {"--shot-last", &HeadlessConfig::lastShot},
        {"--record", &HeadlessConfig::record}, {"--play", &HeadlessConfig::play},
        {"--verify", &HeadlessConfig::verify}, {"--server", &HeadlessConfig::server},
        {"--send", &HeadlessConfig::send},     {"--settings", &HeadlessConfig::settings}};
    for (const Named& f : files)
        if (flag == f.flag) {
            c->*f.field = value;
            return !value.empty(); // an empty name would fall back to the game's own file
        }
    if (flag == "--shot") {
        HeadlessShot shot;
        if (!ParseShot(value, &shot)) return false;
        c->shots.push_back(shot);
        return true;
    }
    if (flag == "--at") {
        HeadlessAction action;
        if (!Headless_ParseAction(value, &action)) return false;
        c->actions.push_back(action);
        return true;
    }
    return false;
}

const char* const kHeadlessUsage =
    "usage: zorb-headless [--size WxH] [--dt SECONDS] [--frames N] [--seed N]\n"
    "                     [--at FRAME:ACTION]... [--shot FRAME:FILE.png]... [--autoplay]\n"
    "                     [--count-only] [--report FILE.json] [--audio FILE.wav]\n"
    "                     [--shot-last FILE.png] [--scores FILE] [--settings FILE]\n"
    "                     [--render-distance RINGS|adaptive] [--record FILE.zrun]\n"
    "                     [--play FILE.zrun [--speed N]] [--verify FILE.zrun]\n"
    "                     [--server URL [--send FILE.zrun]]\n"
    "Runs ZORB without a display, with a fixed time step and scripted input.\n"
    "ACTION:  key:NAME   press, release on the next frame\n"
    "         down:NAME  up:NAME   hold or release a key\n"
    "         click:X,Y  left click at window pixel (X, Y)\n"
    "         mouse:X,Y  move the mouse\n"
    "         focus:0|1  lose or regain the window's focus\n"
    "         wait:MS    wait MS milliseconds of real time (at most 60000), for a server\n"
    "         pad:connect  pad:disconnect   plug a virtual pad in, or the last one out\n"
    "         padbutton:BUTTON,1|0          press or release a pad button\n"
    "         padaxis:AXIS,VALUE            push a stick (-1 to 1) or a trigger (0 to 1)\n"
    "NAME:    a letter or digit, Escape/Esc, Space, Enter/Return, Up, Down, Left, Right, F1-F12\n"
    "         (any case)\n"
    "BUTTON:  a b x y back guide start leftstick rightstick leftshoulder rightshoulder\n"
    "         dpup dpdown dpleft dpright\n"
    "AXIS:    leftx lefty rightx righty lefttrigger righttrigger\n"
    "--autoplay    a bot plays one run to its end: the tag BOT where the score places, then\n"
    "              back to the front end, where the program stops (without --frames, at most\n"
    "              an hour of play at the time step)\n"
    "--count-only  count draw calls without rasterising\n"
    "--report      write the program's state, frame times and the last run's story (kills,\n"
    "              shots and hits by weapon, hits taken, lives lost, pickups, stages, the\n"
    "              score each second) as JSON to FILE\n"
    "--audio       write the mixer's output for the whole run (48 kHz stereo float WAV)\n"
    "--shot-last   save the last frame drawn (with --autoplay: the run's game-over screen)\n"
    "--scores      keep the leaderboard in FILE instead of the game's own\n"
    "--settings    play with the settings and controls of FILE (the game's settings.txt), which\n"
    "              is read and never written\n"
    "--render-distance  rings of the arena drawn, 0 to 64 (default 64: all of it), or adaptive:\n"
    "              grown and shrunk by the frame rate, which is 1 / --dt here, as the game does\n"
    "--record      record the run played (by script or --autoplay) to FILE\n"
    "--play        play a recorded run instead of scripted input, its checkpoints checked, and\n"
    "              stop at its end (exit 1 if it strays from its recording); --speed N plays N\n"
    "              recorded frames a frame, drawing the last\n"
    "--verify      play a recorded run as fast as it goes without drawing, check every\n"
    "              checkpoint and print the score; exit 0 when all match, 1 otherwise\n"
    "--server      the world board the game's screens send runs to (U on the leaderboard)\n"
    "--send        send a recording to the world board at --server URL with the game's own\n"
    "              client, wait for its verdict and print it (\"verified: world #N, score S\"\n"
    "              or the reason); exit 0 only when it is verified\n"
    "--help        this text\n";

// A shot of a frame the run never reaches is a mistake on the command line.
static bool ShotsWithinRun(const HeadlessConfig& config, std::string* error) {
    for (const HeadlessShot& shot : config.shots) {
        if (shot.frame >= config.frames) {
            error->assign("--shot ").append(std::to_string(shot.frame)).append(":");
            error->append(shot.path).append(" is past the run's last frame (--frames ");
            error->append(std::to_string(config.frames)).append(")");
            return false;
        }
    }
    return true;
}

bool Headless_ParseArgs(int argc, char** argv, HeadlessConfig* config, std::string* error) {
    for (int i = 1; i < argc; i++) {
        std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            config->help = true;
            return true;
        }
        if (flag == "--autoplay" || flag == "--count-only") {
            (flag == "--autoplay" ? config->autoplay : config->countOnly) = true;
            continue;
        }
        if (i + 1 >= argc || !ParseFlag(flag, argv[i + 1], config)) {
            error->assign("bad argument: ").append(flag);
            if (i + 1 < argc) error->append(" ").append(argv[i + 1]);
            return false;
        }
        i++;
    }
    if (!config->server.empty() && !Http_IsAddress(config->server)) {
        error->assign("--server takes an http:// or https:// address");
        return false;
    }
    if (!config->send.empty() && config->server.empty()) {
        error->assign("--send needs the board's address: --server URL");
        return false;
    }
    if (!config->play.empty() && !config->verify.empty()) {
        error->assign("--play and --verify each play a recording: give one");
        return false;
    }
    bool replay = !config->play.empty() || !config->verify.empty();
    if (replay && !config->actions.empty()) {
        error->assign("--at scripts the input, which a recording brings: use it without --play "
                      "and --verify");
        return false;
    }
    if (replay && !config->record.empty()) {
        error->assign("--record records a run played by script or --autoplay, not a recording "
                      "played back");
        return false;
    }
    // A recording plays to its own end, and the bot's run to its game over, unless the frames
    // are bounded.
    if (replay && !config->framesGiven) config->frames = LONG_MAX;
    if (config->autoplay && !config->framesGiven) config->frames = kAutoplayMostFrames;
    return ShotsWithinRun(*config, error);
}
