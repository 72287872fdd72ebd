#pragma once

// Vectors of four or eight floats written with the GCC/Clang vector
// extensions, so that the same source compiles to SSE2 or AVX2 on x86-64
// and to NEON on ARM.

typedef float v4f __attribute__((vector_size(16)));
typedef int v4i __attribute__((vector_size(16)));
typedef float v8f __attribute__((vector_size(32)));
typedef int v8i __attribute__((vector_size(32)));

// The comparison masks of a float vector, one int lane of all ones or zero
// for each float lane.
template <class V> using masque_de = decltype(V{} < V{});

template <class V> constexpr int lanes = sizeof(V) / sizeof(float);

template <class V, class T> [[gnu::always_inline]] inline V v_charger(const T *p) {
    V v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

template <class T, class V> [[gnu::always_inline]] inline void v_ranger(T *p, V v) {
    __builtin_memcpy(p, &v, sizeof v);
}

template <class V> V v_partout(float f);
template <> [[gnu::always_inline]] inline v4f v_partout<v4f>(float f) {
    return v4f{f, f, f, f};
}
template <> [[gnu::always_inline]] inline v8f v_partout<v8f>(float f) {
    return v8f{f, f, f, f, f, f, f, f};
}

template <class V> [[gnu::always_inline]] inline V v_abs(V v) {
    return reinterpret_cast<V>(reinterpret_cast<masque_de<V>>(v) & 0x7fffffff);
}

template <class M> [[gnu::always_inline]] inline bool v_tous(M m) {
    int tous = -1;
    for (int j = 0; j < static_cast<int>(sizeof(M) / sizeof(int)); j++) tous &= m[j];
    return tous != 0;
}

// No lane set, tested over whole words rather than lane by lane.
template <class M> [[gnu::always_inline]] inline bool v_aucun(M m) {
    unsigned long long mots[sizeof(M) / 8], ou = 0;
    __builtin_memcpy(mots, &m, sizeof m);
    for (unsigned long long mot : mots) ou |= mot;
    return ou == 0;
}

// Lane j of the result: t[k[j]], k[j] within the table.
template <class V> [[gnu::always_inline]] inline V v_lire(const float *t, masque_de<V> k) {
    V r;
    for (int j = 0; j < lanes<V>; j++) r[j] = t[k[j]];
    return r;
}

template <class V> [[gnu::always_inline]] inline V v_racine(V v) {
    for (int j = 0; j < lanes<V>; j++) v[j] = __builtin_sqrtf(v[j]);
    return v;
}

// The same from a table of 16 by permutes of its halves (GCC lowers the
// shuffle to what the processor has), no memory access per lane; one
// permute when every k is known to be below 8.
[[gnu::always_inline]] inline v8f v_choisir16(const float *t, v8i k, bool huit) {
    const v8f bas = v_charger<v8f>(t);
    return huit ? __builtin_shuffle(bas, k) : __builtin_shuffle(bas, v_charger<v8f>(t + 8), k);
}
[[gnu::always_inline]] inline v4f v_choisir16(const float *t, v4i k, bool) {
    return v_lire<v4f>(t, k);
}

// Vectors r[k], one a sample k of a tile starting at i, lane j for output
// o[j], are written as the outputs' samples: o[j][i + k] = r[k][j].
[[gnu::always_inline]] inline void v_transposer(const v4f r[4], float *const *o, int i) {
    const v4f t0 = __builtin_shufflevector(r[0], r[1], 0, 4, 1, 5);
    const v4f t1 = __builtin_shufflevector(r[0], r[1], 2, 6, 3, 7);
    const v4f t2 = __builtin_shufflevector(r[2], r[3], 0, 4, 1, 5);
    const v4f t3 = __builtin_shufflevector(r[2], r[3], 2, 6, 3, 7);
    v_ranger(o[0] + i, __builtin_shufflevector(t0, t2, 0, 1, 4, 5));
    v_ranger(o[1] + i, __builtin_shufflevector(t0, t2, 2, 3, 6, 7));
    v_ranger(o[2] + i, __builtin_shufflevector(t1, t3, 0, 1, 4, 5));
    v_ranger(o[3] + i, __builtin_shufflevector(t1, t3, 2, 3, 6, 7));
}

// For eight, the last step is left to the stores: each output takes the
// two halves of its samples as they lie, which spares the processor's one
// shuffle unit a third of the work.
[[gnu::always_inline]] inline void v_transposer(const v8f r[8], float *const *o, int i) {
    v8f t[8], u[8];
#pragma GCC unroll 4
    for (int k = 0; k < 8; k += 2) {
        t[k] = __builtin_shufflevector(r[k], r[k + 1], 0, 8, 1, 9, 4, 12, 5, 13);
        t[k + 1] = __builtin_shufflevector(r[k], r[k + 1], 2, 10, 3, 11, 6, 14, 7, 15);
    }
#pragma GCC unroll 2
    for (int k = 0; k < 8; k += 4)
#pragma GCC unroll 2
        for (int h = 0; h < 2; h++) {
            u[k + 2 * h] =
                __builtin_shufflevector(t[k + h], t[k + h + 2], 0, 1, 8, 9, 4, 5, 12, 13);
            u[k + 2 * h + 1] =
                __builtin_shufflevector(t[k + h], t[k + h + 2], 2, 3, 10, 11, 6, 7, 14, 15);
        }
        // u[j] holds samples 0-3 of outputs j and j + 4, u[j + 4] their samples 4-7.
#pragma GCC unroll 4
    for (int j = 0; j < 4; j++) {
        auto moitie = [](float *p, const v8f &v, int h) {
            __builtin_memcpy(p, reinterpret_cast<const char *>(&v) + 16 * h, 16);
        };
        moitie(o[j] + i, u[j], 0);
        moitie(o[j] + i + 4, u[j + 4], 0);
        moitie(o[j + 4] + i, u[j], 1);
        moitie(o[j + 4] + i + 4, u[j + 4], 1);
    }
}

// Hot loops are compiled twice on x86-64, for the baseline and for AVX2: the
// loop is an always-inline body, and a function of its own marked
// RINGCUBE_AVX2 holds its AVX2 copy, which the caller picks with
// ringcube_avx2() (by hand rather than by the loader's indirect functions,
// which only ELF has). Code written for vectors of eight floats runs well only
// there; elsewhere (SSE2, NEON) vectors of four are the widest. A build may
// define RINGCUBE_SANS_CLONES to compile the baseline only, for instance to
// test it on a processor that has AVX2.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(RINGCUBE_SANS_CLONES)
#define RINGCUBE_AVX2 __attribute__((target("avx2")))
inline bool ringcube_avx2() {
    return __builtin_cpu_supports("avx2");
}
#else
#define RINGCUBE_AVX2
inline bool ringcube_avx2() {
    return false;
}
#endif
