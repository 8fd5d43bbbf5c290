// The ways a literal prefilter scans a line: the portable reference, and where the processor
// offers them, SIMD scans over blocks of 16 or 32 bytes. Each hands the places its tables
// allow to the same verification (prefilter_line_scan), in order from the front.
#pragma once

#include "filter/prefilter/prefilter_line_scan.h"

#if defined(__GNUC__) && defined(__x86_64__)
#define HUECAST_PREFILTER_X86 1
#endif
// GCC does not keep the stack aligned for 32-byte vectors on Windows (it assumes an
// alignment that the Windows x64 ABI does not give), so a spilled AVX register could fault.
#if defined(HUECAST_PREFILTER_X86) && !defined(_WIN32)
#define HUECAST_PREFILTER_AVX2 1
#endif
// The NEON scan reads its lane mask out of a vector as a little-endian word.
#if defined(__GNUC__) && defined(__aarch64__) && defined(__ARM_NEON) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
#define HUECAST_PREFILTER_NEON 1
#endif

namespace huecast {

// The reference method: every place of the line looked up in the group tables.
void scan_portable(prefilter_line_scan& s);
#if defined(HUECAST_PREFILTER_X86)
// Blocks of 16 bytes (SSSE3); the line holds one block at least.
void scan_ssse3(prefilter_line_scan& s);
#endif
#if defined(HUECAST_PREFILTER_AVX2)
// Blocks of 32 bytes (AVX2); the line holds one block at least.
void scan_avx2(prefilter_line_scan& s);
#endif
#if defined(HUECAST_PREFILTER_NEON)
// Blocks of 16 bytes (NEON); the line holds one block at least.
void scan_neon(prefilter_line_scan& s);
#endif

}  // namespace huecast
