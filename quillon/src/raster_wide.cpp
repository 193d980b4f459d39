#include "raster_wide.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

#include <cstdlib>
#include <cstring>

#define QL_AVX2 __attribute__((target("avx2")))

namespace {

bool Refused() {
    const char* wanted = std::getenv("QUILLON_AVX2");
    return wanted && std::strcmp(wanted, "0") == 0;
}

// QUILLON_AVX2=0 keeps to the plain loops, to compare the two.
bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2") && !Refused();
    return has;
}

// floor(v / 255) in each lane, for every 16-bit v: v * 0x8081 >> 23.
QL_AVX2 inline __m256i Div255(__m256i v) {
    return _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16((short)0x8081)), 7);
}

// Four pixels' channels d blended toward s by a (each 0 to 255, lane by lane), rounded toward s.
QL_AVX2 inline __m256i BlendLanes(__m256i d, __m256i s, __m256i a) {
    __m256i toward = _mm256_and_si256(_mm256_cmpgt_epi16(s, d), _mm256_set1_epi16(254));
    __m256i keep = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    return Div255(_mm256_add_epi16(
        _mm256_add_epi16(_mm256_mullo_epi16(d, keep), _mm256_mullo_epi16(s, a)), toward));
}

// Eight pixels as two halves of four, each channel a 16-bit lane.
QL_AVX2 inline void Widen(__m256i px, __m256i* low, __m256i* high) {
    *low = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(px));
    *high = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(px, 1));
}

// Back to eight pixels, every alpha byte 255. Packing works within each 128-bit half, so the
// middle quarters come back crossed.
QL_AVX2 inline __m256i Narrow(__m256i low, __m256i high) {
    __m256i px = _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
    return _mm256_or_si256(px, _mm256_set1_epi32((int)0xFF000000u));
}

// Eight alphas (16-bit lanes) each spread over its pixel's four channels: pixels 0-3, then 4-7.
QL_AVX2 inline void SpreadAlphas(__m128i alphas, __m256i* low, __m256i* high) {
    __m128i pairs[2] = {_mm_unpacklo_epi16(alphas, alphas), _mm_unpackhi_epi16(alphas, alphas)};
    __m256i* out[2] = {low, high};
    for (int k = 0; k < 2; k++)
        *out[k] = _mm256_set_m128i(_mm_unpackhi_epi32(pairs[k], pairs[k]),
                                   _mm_unpacklo_epi32(pairs[k], pairs[k]));
}

// Blends the eight pixels at p toward the texels s with the eight alphas (16-bit lanes).
QL_AVX2 inline void BlendEight(uint32_t* p, __m256i s, __m128i alphas) {
    __m256i dLow, dHigh, sLow, sHigh, aLow, aHigh;
    Widen(_mm256_loadu_si256((const __m256i*)p), &dLow, &dHigh);
    Widen(s, &sLow, &sHigh);
    SpreadAlphas(alphas, &aLow, &aHigh);
    _mm256_storeu_si256((__m256i*)p,
                        Narrow(BlendLanes(dLow, sLow, aLow), BlendLanes(dHigh, sHigh, aHigh)));
}

// (coverage * alpha + 127) / 255 for eight coverages, the low eight bytes of cover.
QL_AVX2 inline __m128i Alphas(__m128i cover, int alpha) {
    __m128i c = _mm_cvtepu8_epi16(cover);
    __m256i v = _mm256_castsi128_si256(
        _mm_add_epi16(_mm_mullo_epi16(c, _mm_set1_epi16((short)alpha)), _mm_set1_epi16(127)));
    return _mm256_castsi256_si128(Div255(v));
}

QL_AVX2 int Avx2Blend(uint32_t* row, int x0, int x1, uint32_t color) {
    __m256i s = _mm256_set1_epi32((int)color);
    __m128i a = _mm_set1_epi16((short)(color >> 24));
    int x = x0;
    for (; x + 8 <= x1; x += 8)
        BlendEight(row + x, s, a);
    return x;
}

QL_AVX2 int Avx2Glyph(uint32_t* row, const uint8_t* cover, int x0, int x1, uint32_t color) {
    __m256i s = _mm256_set1_epi32((int)color);
    int alpha = (int)(color >> 24), x = x0;
    for (; x + 8 <= x1; x += 8) {
        __m128i eight = _mm_loadl_epi64((const __m128i*)(cover + x));
        if (_mm_cvtsi128_si64(eight) != 0) BlendEight(row + x, s, Alphas(eight, alpha));
    }
    return x;
}

QL_AVX2 int Avx2Texels(uint32_t* row, const uint32_t* texels, int x0, int x1, int alpha) {
    // Each texel's alpha byte, to the bottom of its 128-bit half.
    const __m256i kAlphaBytes =
        _mm256_setr_epi8(3, 7, 11, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 3, 7, 11, 15,
                         -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    int x = x0;
    for (; x + 8 <= x1; x += 8) {
        __m256i s = _mm256_loadu_si256((const __m256i*)(texels + x));
        __m256i picked = _mm256_shuffle_epi8(s, kAlphaBytes);
        __m128i eight =
            _mm_unpacklo_epi32(_mm256_castsi256_si128(picked), _mm256_extracti128_si256(picked, 1));
        if (_mm_cvtsi128_si64(eight) != 0) BlendEight(row + x, s, Alphas(eight, alpha));
    }
    return x;
}

} // namespace

int Wide_Blend(uint32_t* row, int x0, int x1, uint32_t color) {
    return HasAvx2() ? Avx2Blend(row, x0, x1, color) : x0;
}
int Wide_Glyph(uint32_t* row, const uint8_t* cover, int x0, int x1, uint32_t color) {
    return HasAvx2() ? Avx2Glyph(row, cover, x0, x1, color) : x0;
}
int Wide_Texels(uint32_t* row, const uint32_t* texels, int x0, int x1, int alpha) {
    return HasAvx2() ? Avx2Texels(row, texels, x0, x1, alpha) : x0;
}

#else // other processors and compilers: the plain loops do it all

int Wide_Blend(uint32_t*, int x0, int, uint32_t) {
    return x0;
}
int Wide_Glyph(uint32_t*, const uint8_t*, int x0, int, uint32_t) {
    return x0;
}
int Wide_Texels(uint32_t*, const uint32_t*, int x0, int, int) {
    return x0;
}

#endif
