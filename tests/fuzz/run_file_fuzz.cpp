// Fuzz target for the recorded-run reader: any bytes open and read to an end, a damaged record or
// a cut-short one, and every frame read back is one the game can be handed (finite, bounded).
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
    RunFrame f;
    uint64_t hash = 0;
    RunEnd end;
    for (;;) {
        RunRecord kind = RunReader_Next(&r, &f, &hash, &end);
        if (kind == RunRecord::Over || kind == RunRecord::Damaged) return 0;
        if (kind != RunRecord::Frame) continue;
        const QL_InputFrame& in = f.input;
        if (!(in.dt >= 0.0f && in.dt <= 0.05f) || !std::isfinite(in.mouseX) ||
            !std::isfinite(in.mouseY) || std::fabs(in.mouseX) > 1e5f)
            std::abort();
        for (float a : in.padAxis)
            if (!(a >= -1.0f && a <= 1.0f)) std::abort();
    }
}
