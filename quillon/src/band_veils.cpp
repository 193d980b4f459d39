#include "band_veils.h"

void BandVeils::Reset(int rows, int width) {
    count_ = 0;
    touched_.Reset(rows, width);
    folded_.Reset(rows, width);
}

void BandVeils::Touch(int row, int x0, int x1) {
    touched_.Cover(row, x0, x1);
}
