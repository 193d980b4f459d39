// Fuzz target for the recorded-run reader: any bytes open and read to an end, a damaged record or
// a cut-short one, and every command read back is one the game can be handed (finite, bounded).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "runs/run_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunReader r;
    std::string why;
    if (!RunReader_OpenBytes(&r, std::vector<uint8_t>(data, data + size), &why)) {
        if (why.empty()) std::abort();
        return 0;
    }
    RunCommand f;
    uint64_t hash = 0;
    RunEnd end;
    for (;;) {
        RunRecord kind = RunReader_Next(&r, &f, &hash, &end);
        if (kind == RunRecord::Over || kind == RunRecord::Damaged) return 0;
        if (kind != RunRecord::Frame) continue;
        auto unit = [](float v) { return v >= -1.0f && v <= 1.0f; };
        if (!(f.dt >= 0.0f && f.dt <= QL_MAX_DT) || !std::isfinite(f.mouseTurn) ||
            std::fabs(f.mouseTurn) > 2e5f || !unit(f.forward) || !unit(f.strafe) ||
            !unit(f.stickTurn) || (int)f.weapon > (int)WeaponAsk::Previous)
            std::abort();
    }
}
