// kelmor~ under the fuzz harness: its glue, method table and routines as the
// host drives them, and the invariants of its record.

#include <cmath>

#include "common/creation_args.hpp"
#include "harness.hpp"
#include "kelmor/kelmor_tilde.hpp"

extern "C" void kelmor_tilde_setup(void);

namespace {

const t_kelmor_tilde *record(const t_object *x) {
    return reinterpret_cast<const t_kelmor_tilde *>(x);
}

void check(const t_object *o, const fake_pd::Boxes &boxes) {
    const t_kelmor_tilde *x = record(o);
    FUZZ_EXPECT(x->type_repere == 0 || x->type_repere == 1);
    FUZZ_EXPECT(x->type_entrees == 0 || x->type_entrees == 1);
    FUZZ_EXPECT(x->entrees_muettes == 0 || x->entrees_muettes == 1);
    FUZZ_EXPECT(x->nb_sorties >= KELMOR_MIN_HP && x->nb_sorties <= KELMOR_MAX_HP);
    FUZZ_EXPECT(x->nb_hp >= KELMOR_MIN_HP && x->nb_hp <= x->nb_sorties);
    FUZZ_EXPECT(x->temps_interp >= 1);
    FUZZ_EXPECT(offset_valide(x->offset));
    FUZZ_EXPECT(boxes.outlets == x->nb_sorties);
    if (x->type_entrees == 1) {
        FUZZ_EXPECT(boxes.signal_inlets == 0 && boxes.forwarded.size() == 2);
        FUZZ_EXPECT(boxes.forwarded[0] == "x" && boxes.forwarded[1] == "y");
        FUZZ_EXPECT(!x->table_cos && !x->hp_cos && !x->hp_sin);
    } else {
        FUZZ_EXPECT(boxes.signal_inlets == 2 && boxes.forwarded.empty());
        // One block or none.
        FUZZ_EXPECT((x->hp_cos == nullptr) == (x->table_cos == nullptr));
        FUZZ_EXPECT((x->hp_cos == nullptr) == (x->hp_sin == nullptr));
    }
    for (int j = 0; j < x->nb_sorties; j++) {
        FUZZ_EXPECT(std::isfinite(x->gain_courant[j]));
        FUZZ_EXPECT(std::isfinite(x->gain_pas[j]));
        FUZZ_EXPECT(std::isfinite(x->gain_cible[j]));
    }
    for (int j = 0; j < x->nb_hp; j++) {
        FUZZ_EXPECT(std::isfinite(x->hp_teta[j]));
        FUZZ_EXPECT(std::isfinite(x->hp_dist[j]));
    }
}

int active_outlets(const t_object *x) {
    return record(x)->nb_hp;
}

bool reads_positions(const t_object *o) {
    const t_kelmor_tilde *x = record(o);
    return x->type_entrees == 0 && x->entrees_muettes == 0 && x->table_cos;
}

const float *cosine_table(const t_object *x) {
    return record(x)->table_cos;
}

const fuzz::Object object = {"kelmor~",      kelmor_tilde_setup, 2,           check,
                             active_outlets, reads_positions,    cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
