// Watching the enemies' slots from frame to frame.
#include "runs/reaction_watch.h"

#include <algorithm>

#include "game/line_of_sight.h"
#include "game/player.h"

void ReactionWatch_Reset(ReactionWatch* w) {
    *w = ReactionWatch();
}

void ReactionWatch_Frame(ReactionWatch* w) {
    for (int k = 0; k < kEnemyCount; k++) {
        const Enemy& e = EnemyPool[k];
        bool alive = e.sprite && e.sprite->inUse;
        if (alive && !w->present[k]) { // a new enemy in the slot
            w->seenAt[k] = -1.0f;
            w->health[k] = e.health;
            w->answered[k] = false;
        }
        bool wasHere = w->present[k];
        w->present[k] = alive;
        if (w->answered[k] || (!alive && !wasHere)) continue;
        // Killed this frame, or hurt: its first hit. One never seen is not counted.
        bool hit = !alive || e.health < w->health[k];
        if (hit) {
            if (w->seenAt[k] >= 0.0f) w->times.push_back(runState.elapsed - w->seenAt[k]);
            w->answered[k] = true;
        } else if (w->seenAt[k] < 0.0f && !Grid_HiddenOrBehind(player.x, player.y, player.angle,
                                                               e.sprite->x, e.sprite->y)) {
            w->seenAt[k] = runState.elapsed;
        }
    }
}

double ReactionWatch_Median(const ReactionWatch& w) {
    if (w.times.empty()) return 0.0;
    std::vector<float> sorted = w.times;
    std::sort(sorted.begin(), sorted.end());
    size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}
