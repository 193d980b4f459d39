// Parsing of zorb-headless's command line.
#include "tools/headless/script.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

static bool ParseXY(const std::string& text, float* x, float* y) {
    return std::sscanf(text.c_str(), "%f,%f", x, y) == 2;
}

bool Headless_ParseAction(const std::string& text, HeadlessAction* a) {
    size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    char* end = nullptr;
    a->frame = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + colon || a->frame < 0) return false;
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
    shot->frame = std::atol(text.substr(0, colon).c_str());
    shot->path = text.substr(colon + 1);
    return true;
}

// Each flag takes one value; returns false on a bad one.
static bool ParseFlag(const std::string& flag, const std::string& value, HeadlessConfig* c) {
    if (flag == "--size") return std::sscanf(value.c_str(), "%dx%d", &c->width, &c->height) == 2;
    if (flag == "--dt") return (c->dt = std::strtof(value.c_str(), nullptr)) > 0.0f;
    if (flag == "--frames") return (c->frames = std::atol(value.c_str())) >= 0;
    if (flag == "--seed") {
        c->seed = (unsigned)std::strtoul(value.c_str(), nullptr, 10);
        return c->seedGiven = true;
    }
    if (flag == "--report" || flag == "--audio" || flag == "--shot-last") {
        (flag == "--report" ? c->report : flag == "--audio" ? c->audio : c->lastShot) = value;
        return true;
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
    "                     [--shot-last FILE.png]\n"
    "Runs ZORB without a display, with a fixed time step and scripted input.\n"
    "ACTION:  key:NAME   press, release on the next frame\n"
    "         down:NAME  up:NAME   hold or release a key\n"
    "         click:X,Y  left click at window pixel (X, Y)\n"
    "         mouse:X,Y  move the mouse\n"
    "         focus:0|1  lose or regain the window's focus\n"
    "NAME:    a letter or digit, Escape/Esc, Space, Enter/Return, Up, Down, Left, Right, F1-F12\n"
    "         (any case)\n"
    "--autoplay    a bot plays one run\n"
    "--count-only  count draw calls without rasterising\n"
    "--audio       write the mixer's output for the whole run (48 kHz stereo float WAV)\n"
    "--shot-last   save the last frame drawn (with --autoplay: the end of the bot's run)\n"
    "--help        this text\n";

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
    return true;
}
