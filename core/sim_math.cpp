// Portable sine, cosine and arc tangent: a reduction to a small interval, then a Taylor series
// long enough that the double result is far more accurate than the float it is rounded to.
#include "core/sim_math.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kHalfPi = 1.57079632679489661923;
// pi / 2 in two parts, the first with few enough bits that k * kHalfPiHigh is exact.
const double kHalfPiHigh = 1.5707963267341256;
const double kHalfPiLow = 6.077100506506192e-11;

// sin(r) for |r| <= pi / 4.
double SinSeries(double r) {
    double r2 = r * r, term = r, sum = r;
    for (int n = 1; n <= 9; n++) {
        term = -term * r2 / (double)((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

// cos(r) for |r| <= pi / 4.
double CosSeries(double r) {
    double r2 = r * r, term = 1.0, sum = 1.0;
    for (int n = 1; n <= 9; n++) {
        term = -term * r2 / (double)((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

// sin(x + quarter * pi / 2), with x reduced to |r| <= pi / 4 and its quarter turns counted.
float SinQuarters(float radians, int quarter) {
    double x = radians;
    if (!std::isfinite(x)) return NAN;
    double k = std::floor(x / kHalfPi + 0.5);
    double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    int q = (int)std::fmod(k, 4.0) + quarter;
    switch (((q % 4) + 4) % 4) {
    case 0:
        return (float)SinSeries(r);
    case 1:
        return (float)CosSeries(r);
    case 2:
        return (float)-SinSeries(r);
    default:
        return (float)-CosSeries(r);
    }
}

// atan(a) for 0 <= a <= 1: above tan(pi / 12), a turn of pi / 6 brings a below it.
double AtanUnit(double a) {
    const double kRoot3 = 1.7320508075688772;
    double base = 0.0;
    if (a > 0.2679491924311227) {
        a = (a * kRoot3 - 1.0) / (a + kRoot3);
        base = kPi / 6.0;
    }
    double a2 = a * a, power = a, sum = a;
    for (int n = 1; n <= 12; n++) {
        power *= -a2;
        sum += power / (double)(2 * n + 1);
    }
    return base + sum;
}

} // namespace

float SimMath_Sin(float radians) {
    return SinQuarters(radians, 0);
}

float SimMath_Cos(float radians) {
    return SinQuarters(radians, 1);
}

float SimMath_Atan2(float y, float x) {
    if (std::isnan(x) || std::isnan(y)) return NAN;
    double ax = std::fabs((double)x), ay = std::fabs((double)y);
    double angle;
    if (ax == 0.0 && ay == 0.0)
        angle = 0.0;
    else if (std::isinf(ax) || std::isinf(ay))
        angle = std::isinf(ax) ? (std::isinf(ay) ? kPi / 4.0 : 0.0) : kHalfPi;
    else
        angle = ay <= ax ? AtanUnit(ay / ax) : kHalfPi - AtanUnit(ax / ay);
    if (std::signbit(x)) angle = kPi - angle;
    return (float)(std::signbit(y) ? -angle : angle);
}
