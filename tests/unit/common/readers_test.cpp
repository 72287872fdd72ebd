// Creation-argument readers and the cosine table's index, including the
// values that must never hang, wrap or index outside the table.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <random>
#include <cmath>
#include <limits>

#include "cosine_table.hpp"
#include "creation_args.hpp"

namespace {

TEST(CosineTable, HoldsOnePeriod) {
    float table[TAILLE_TABLE_COS];
    remplir_table_cos(table);
    EXPECT_EQ(table[0], 1.0f);
    EXPECT_NEAR(table[1024], 0.0f, 1e-6);
    EXPECT_NEAR(table[2048], -1.0f, 1e-7);
    EXPECT_NEAR(table[512], std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(table[indice_sinus(512)], std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(table[indice_sinus(1024)], 1.0f, 1e-7);
}

TEST(CosineTable, AngleIndexTruncatesTowardZeroAndWrapsByMask) {
    EXPECT_EQ(indice_angle(0.0f), 0);
    EXPECT_EQ(indice_angle(-0.05f), 0);
    EXPECT_EQ(indice_angle(-0.1f), 4095);
    EXPECT_EQ(indice_angle(90.0f), 1024);
    EXPECT_EQ(indice_angle(360.0f), 0);
    EXPECT_EQ(indice_angle(-360.0f), 0);
    EXPECT_EQ(indice_angle(450.0f), 1024);
    EXPECT_EQ(indice_angle(-270.0f), 1024);
}

TEST(CosineTable, AnglesBeyondTheIntRangeStayInTheTable) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(indice_angle(std::nanf("")), 0);
    EXPECT_EQ(indice_angle(inf), 0);
    EXPECT_EQ(indice_angle(-inf), 0);
    for (float a : {1e9f, -1e9f, 3e30f, -3e30f, 3.4e38f, -3.4e38f}) {
        const int k = indice_angle(a);
        EXPECT_GE(k, 0);
        EXPECT_LE(k, 4095);
    }
    // Just inside the range the mask applies as it always did.
    EXPECT_EQ(indice_masque(2147483520.0f), 2147483520 & 4095);
    EXPECT_EQ(indice_masque(-2147483520.0f), -2147483520 & 4095);
    // Beyond it, the same low bits as an exact wide integer would give.
    EXPECT_EQ(indice_masque(4294967296.0f + 8192.0f), 0);
    EXPECT_EQ(indice_masque(-4294967808.0f), (-512) & 4095); // -(2^32 + 512)
}

// The index as it reads: the product truncated and masked; beyond the int
// range reduced exactly first; not a number, 0.
int masque_plainement(float produit) {
    if (!std::isfinite(produit)) return 0;
    if (produit > -2147483648.0f && produit < 2147483648.0f)
        return static_cast<int>(produit) & 4095;
    return static_cast<int>(std::fmod(produit, 4096.0f)) & 4095;
}

TEST(CosineTable, BranchFreeIndexIsThePlainOne) {
    const float cases[] = {0.0f,          -0.0f,         0.5f,           -0.5f,
                           -1.0f,         4095.99f,      4096.0f,        -4096.0f,
                           2147483520.0f, 2147483648.0f, -2147483648.0f, -2147483904.0f,
                           8388607.5f,    3.4359738e10f, -3.4359738e10f, 1e30f,
                           -1e30f,        3.4028235e38f, INFINITY,       -INFINITY,
                           NAN,           1e-40f};
    for (float f : cases) ASSERT_EQ(indice_masque(f), masque_plainement(f)) << f;
    std::mt19937 random(17);
    for (int i = 0; i < 2000000; i++) {
        const uint32_t bits = static_cast<uint32_t>(random());
        float f;
        std::memcpy(&f, &bits, sizeof f);
        ASSERT_EQ(indice_masque(f), masque_plainement(f)) << f;
    }
}

TEST(CreationArgs, TruncatedIntegersSaturate) {
    EXPECT_EQ(entier_tronque(3.9f), 3);
    EXPECT_EQ(entier_tronque(-3.9f), -3);
    EXPECT_EQ(entier_tronque(1e20f), INT_MAX);
    EXPECT_EQ(entier_tronque(-1e20f), INT_MIN);
    EXPECT_EQ(entier_tronque(std::nanf("")), 0);
}

TEST(CreationArgs, GlideLengthInSamples) {
    EXPECT_EQ(temps_interp_echantillons(10, 44100), 441);
    EXPECT_EQ(temps_interp_echantillons(-20, 44100), 882);
    EXPECT_EQ(temps_interp_echantillons(5, 44100), 220);
    EXPECT_EQ(temps_interp_echantillons(15, 44100), 661);
    EXPECT_EQ(temps_interp_echantillons(2.9f, 44100), 88); // 2 ms
    EXPECT_EQ(temps_interp_echantillons(0, 44100), 1);
    EXPECT_EQ(temps_interp_echantillons(0.01f, 48000), 1);
    EXPECT_EQ(temps_interp_echantillons(std::nanf(""), 44100), 1);
    // Longer than an int can count: clamped, never wrapped to a negative.
    EXPECT_EQ(temps_interp_echantillons(1e12f, 44100), INT_MAX);
    EXPECT_EQ(temps_interp_echantillons(-std::numeric_limits<float>::infinity(), 44100), INT_MAX);
}

TEST(CreationArgs, LetterIsTheFirstCharacterOfTheText) {
    t_atom a;
    SETFLOAT(&a, 1.0f);
    EXPECT_EQ(lettre_argument(&a), '1');
    SETFLOAT(&a, -2.0f);
    EXPECT_EQ(lettre_argument(&a), '-');
    t_symbol word{const_cast<char *>("polaire"), nullptr, nullptr};
    SETSYMBOL(&a, &word);
    EXPECT_EQ(lettre_argument(&a), 'p');
}

TEST(CreationArgs, OffsetsTheLawsAccept) {
    EXPECT_TRUE(offset_valide(1.0001e-6f));
    EXPECT_TRUE(offset_valide(3e38f));
    // The float nearest 1e-6 lies below the double 1e-6.
    for (float f : {1e-6f, 0.0f, -0.5f, NAN, INFINITY}) EXPECT_FALSE(offset_valide(f)) << f;
}

TEST(CreationArgs, ChosenLetter) {
    t_symbol signal{const_cast<char *>("signal"), nullptr, nullptr};
    t_symbol vide{const_cast<char *>(""), nullptr, nullptr};
    t_atom atoms[3];
    SETSYMBOL(&atoms[0], &signal);
    SETFLOAT(&atoms[1], 3.0f);
    SETSYMBOL(&atoms[2], &vide);
    EXPECT_EQ(lettre_choisie(3, atoms, 0, "cs", 'c'), 's');
    EXPECT_EQ(lettre_choisie(3, atoms, 0, "cp", 'c'), '\0');
    EXPECT_EQ(lettre_choisie(3, atoms, 1, "cs", 'c'), '\0'); // a number: its digit
    EXPECT_EQ(lettre_choisie(3, atoms, 2, "cs", 'c'), '\0');
    EXPECT_EQ(lettre_choisie(3, atoms, 3, "cs", 'c'), 'c'); // absent: the default
}

} // namespace
