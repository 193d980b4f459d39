// The autoplay bot.
#include "tools/headless/autoplay.h"

#include <algorithm>
#include <cmath>

#include "app/frames.h"
#include "game/enemies.h"
#include "game/line_of_sight.h"
#include "game/pickups.h"
#include "game/player.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "scores/high_scores.h"
#include "ui/front_end.h"
#include "ui/game_over.h"

namespace {

bool runStarted = false, runOver = false;
bool held[QL_KEY_COUNT];
bool buttonHeld = false;
long frame = 0;
long runFrames = 0;             // frames of the run, game-over screen included
long gameOverFrame = -1;        // when the game-over screen came
const long kReadingFrames = 60; // a moment to read the screen before the tag goes in

void Hold(int key, bool down) {
    if (held[key] == down) return;
    held[key] = down;
    if (down)
        QLH_KeyDown(key);
    else
        QLH_KeyUp(key);
}

void Button(bool down) {
    if (buttonHeld == down) return;
    buttonHeld = down;
    QLH_MouseButton(down);
}

float WrapAngle(float a) {
    while (a > 180.0f)
        a -= 360.0f;
    while (a <= -180.0f)
        a += 360.0f;
    return a;
}

float BearingTo(float x, float y) {
    return QL_Math_Degrees(std::atan2(player.y - y, x - player.x));
}

struct Target {
    bool found = false;
    float x = 0, y = 0, distance = 1e9f;
};

Target NearestVisibleEnemy() {
    Target t;
    for (const Enemy& e : EnemyPool) {
        if (!e.sprite || !e.sprite->inUse) continue;
        float d = std::hypot(e.sprite->x - player.x, e.sprite->y - player.y);
        if (d < t.distance && Grid_LineOfSight(player.x, player.y, e.sprite->x, e.sprite->y))
            t = Target{true, e.sprite->x, e.sprite->y, d};
    }
    return t;
}

Target NearestPickup() {
    Target t;
    for (const Pickup& p : PickupPool) {
        if (!p.sprite || !p.sprite->inUse) continue;
        float d = std::hypot(p.sprite->x - player.x, p.sprite->y - player.y);
        if (d < t.distance) t = Target{true, p.sprite->x, p.sprite->y, d};
    }
    return t;
}

// Mouse offset that turns the view toward a bearing without overshooting much.
void TurnToward(float bearing) {
    float error = WrapAngle(bearing - player.angle);
    float m = std::fmax(-400.0f, std::fmin(400.0f, -error * 6.0f));
    float cx = (float)(QL_System_GetWindowWidth() / 2),
          cy = (float)(QL_System_GetWindowHeight() / 2);
    QLH_MouseMove(cx + m, cy);
}

void ChooseWeapon(float distance) {
    int wanted = distance < 3.0f ? 1 : (distance > 7.0f ? 2 : 0);
    if (wanted == player.weapon) return;
    QLH_KeyTap('1' + wanted);
}

void Fight(const Target& enemy) {
    float bearing = BearingTo(enemy.x, enemy.y);
    TurnToward(bearing);
    ChooseWeapon(enemy.distance);
    Button(std::fabs(WrapAngle(bearing - player.angle)) < 8.0f);
    bool strafeLeft = (frame / 150) % 2 == 0;
    Hold('A', strafeLeft);
    Hold('D', !strafeLeft);
    Hold('S', enemy.distance < 2.5f);
    Hold('W', enemy.distance > 6.0f);
}

void Wander() {
    Button(false);
    Hold('A', false);
    Hold('D', false);
    Hold('S', false);
    Target pickup = NearestPickup();
    if (pickup.found) {
        TurnToward(BearingTo(pickup.x, pickup.y));
        Hold('W', true);
        return;
    }
    TurnToward(player.angle + 3.0f); // look around
    Hold('W', false);
}

void Play() {
    if (runState.paused) QLH_KeyTap(QL_KEY_ESCAPE);
    Target enemy = NearestVisibleEnemy();
    if (enemy.found)
        Fight(enemy);
    else
        Wander();
}

void LetGo() {
    Button(false);
    for (int key = 0; key < QL_KEY_COUNT; key++)
        Hold(key, false);
}

// The letters on the wheels as the game-over screen opened: the game keeps the last tag entered.
char startLetters[3] = {'A', 'A', 'A'};
bool placed = false; // the run placed on the leaderboard as its game over began

// The clicks that finish a run: the tag BOT on the three letter wheels (each "v" steps a letter
// on by one through printable ASCII, round from ~ to space) when the score places, then the
// screen's one button: Submit Score, and again as Back to Main once the run's figures show.
int GameOverClicks(bool places, int n, float* x, float* y) {
    const char tag[3] = {'B', 'O', 'T'};
    int steps[3];
    for (int k = 0; k < 3; k++)
        steps[k] = ((tag[k] - startLetters[k]) % 95 + 95) % 95;
    float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
    int total = places ? steps[0] + steps[1] + steps[2] : 0;
    for (int k = 0, before = 0; places && k < 3; before += steps[k], k++) {
        if (n < before + steps[k]) {
            *x = (0.35f + 0.25f * (float)k) * w;
            *y = 0.6f * h;
            return total + 1;
        }
    }
    *x = w / 2.0f; // Submit Score, or Back to Main
    *y = h / 1.2f;
    return total + (places ? 2 : 1);
}

// On the game-over screen: let go of everything, read it, then click one click every two frames.
void FinishRun() {
    if (gameOverFrame < 0) {
        gameOverFrame = frame;
        std::copy(nameLetters, nameLetters + 3, startLetters);
        placed = HighScores_Rank(player.score) < kHighScoreCount;
        LetGo();
    }
    long t = frame - gameOverFrame - kReadingFrames;
    if (t < 0) return;
    float x = 0.0f, y = 0.0f;
    int clicks = GameOverClicks(placed, (int)(t / 2), &x, &y);
    if (t / 2 >= clicks) return;
    QLH_MouseMove(x, y);
    Button(t % 2 == 0);
}

} // namespace

void Autoplay_Frame() {
    frame++;
    QL_Callback state = QLH_CurrentUpdate();
    if (state == Game_Update) {
        runStarted = true;
        runFrames++;
        if (player.lives >= 1)
            Play();
        else
            FinishRun();
        return;
    }
    if (runStarted) {
        runOver = true;
        return;
    }
    if (state != Menu_Update || frame % 10 != 0) return;
    if (frontEnd.menuScreen != kScreenTitle)
        QLH_MouseButton(frame % 20 == 0);
    else
        QLH_KeyTap('E');
}

bool Autoplay_RunOver() {
    return runOver;
}

bool Autoplay_GameOverShown() {
    return gameOverFrame >= 0 && frame - gameOverFrame >= kReadingFrames && !runOver;
}

long Autoplay_RunFrames() {
    return runFrames;
}

void Autoplay_Reset() {
    runStarted = runOver = buttonHeld = false;
    for (bool& h : held)
        h = false;
    frame = runFrames = 0;
    gameOverFrame = -1;
}
