#pragma once

// Hot loops are compiled twice, for the baseline x86-64 and for AVX2, and
// the loader picks the one the processor runs (GCC function multiversioning).
// A build may define RINGCUBE_SANS_CLONES to compile the baseline only, for
// instance to test it on a processor that has AVX2.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&                             \
    !defined(RINGCUBE_SANS_CLONES)
#define RINGCUBE_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define RINGCUBE_CLONES
#endif
