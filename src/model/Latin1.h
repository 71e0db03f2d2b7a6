#pragma once

#include <QtGlobal>

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace korvane {

// UTF-16 code units that are all Latin-1 to one byte each, sixteen at a time
// where the machine can: an import writes the lines of a million areas.
inline void narrowLatin1(const char16_t* in, char* out, qsizetype size)
{
    qsizetype k = 0;
#ifdef __SSE2__
    for (; k + 16 <= size; k += 16) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k + 8));
        // Every unit is below 256: packing with saturation keeps it exactly.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(low, high));
    }
    if (k + 8 <= size) { // most values are short
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(units, units));
        k += 8;
    }
#endif
    for (; k < size; ++k)
        out[k] = char(in[k]);
}

} // namespace korvane
