// sorvel~ under the fuzz harness: its glue, method table and routines as the
// host drives them, and the invariants of its record.

#include <cmath>
#include <cstring>

#include "harness.hpp"
#include "sorvel/sorvel_tilde.hpp"

extern "C" void sorvel_tilde_setup(void);

namespace {

const t_sorvel_tilde *record(const t_object *x) {
    return reinterpret_cast<const t_sorvel_tilde *>(x);
}

void check(const t_object *o, const fake_pd::Boxes &boxes) {
    const t_sorvel_tilde *x = record(o);
    FUZZ_EXPECT(x->type_repere == 0 || x->type_repere == 1);
    FUZZ_EXPECT(x->type_entrees == 0 || x->type_entrees == 1);
    FUZZ_EXPECT(x->entrees_muettes == 0 || x->entrees_muettes == 1);
    FUZZ_EXPECT(x->nb_sorties >= 3 && x->nb_sorties <= SORVEL_MAX_HP);
    FUZZ_EXPECT(x->nb_hp >= 3 && x->nb_hp <= x->nb_sorties);
    FUZZ_EXPECT(x->temps_interp >= 1);
    FUZZ_EXPECT(std::isfinite(x->rayon_disq_centrale) && x->rayon_disq_centrale > 1e-6);
    FUZZ_EXPECT(boxes.outlets == x->nb_sorties);
    if (x->type_entrees == 1) {
        FUZZ_EXPECT(boxes.signal_inlets == 0 && boxes.forwarded.size() == 2);
        FUZZ_EXPECT(boxes.forwarded[0] == "x" && boxes.forwarded[1] == "y");
        FUZZ_EXPECT(x->table_cos == nullptr);
    } else {
        FUZZ_EXPECT(boxes.signal_inlets == 2 && boxes.forwarded.empty());
    }
    for (int j = 0; j < x->nb_sorties; j++) {
        FUZZ_EXPECT(std::isfinite(x->gain_courant[j]));
        FUZZ_EXPECT(std::isfinite(x->gain_pas[j]));
        FUZZ_EXPECT(std::isfinite(x->gain_cible[j]));
    }
    bool seen[SORVEL_MAX_HP] = {};
    for (int k = 0; k < x->nb_hp; k++) {
        const int j = x->hp_ordre[k];
        FUZZ_EXPECT(j >= 0 && j < x->nb_hp && !seen[j]);
        seen[j] = true;
        FUZZ_EXPECT(std::isfinite(x->hp_teta[j]));
        FUZZ_EXPECT(std::isfinite(x->hp_dist[j]));
        FUZZ_EXPECT(std::isfinite(x->hp_x[j]));
        FUZZ_EXPECT(std::isfinite(x->hp_y[j]));
    }
}

int active_outlets(const t_object *x) {
    return record(x)->nb_hp;
}

bool reads_positions(const t_object *o) {
    const t_sorvel_tilde *x = record(o);
    return x->type_entrees == 0 && x->entrees_muettes == 0 && x->table_cos;
}

const float *cosine_table(const t_object *x) {
    return record(x)->table_cos;
}

const fuzz::Object object = {"sorvel~",      sorvel_tilde_setup, 2,           check,
                             active_outlets, reads_positions,    cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
