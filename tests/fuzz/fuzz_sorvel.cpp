// sorvel~ under the fuzz harness: its glue, method table and routines as the
// host drives them, and the invariants of its record.

#include <cmath>

#include "harness.hpp"
#include "sorvel/sorvel_tilde.hpp"

extern "C" void sorvel_tilde_setup(void);

namespace {

using Ring = fuzz::Ring<t_sorvel_tilde>;

void check(const t_object *o, const fake_pd::Boxes &boxes) {
    const t_sorvel_tilde *x = Ring::record(o);
    FUZZ_EXPECT(x->type_repere == 0 || x->type_repere == 1);
    FUZZ_EXPECT(x->nb_sorties >= 3 && x->nb_sorties <= SORVEL_MAX_HP);
    FUZZ_EXPECT(x->nb_hp >= 3 && x->nb_hp <= x->nb_sorties);
    FUZZ_EXPECT(std::isfinite(x->rayon_disq_centrale) && x->rayon_disq_centrale > 1e-6);
    Ring::check(x, boxes, x->nb_sorties, 2);
    if (x->type_entrees == 1) FUZZ_EXPECT(x->table_cos == nullptr);
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
    return Ring::record(x)->nb_hp;
}

const fuzz::Object object = {
    "sorvel~",         sorvel_tilde_setup, 2, check, active_outlets, Ring::reads_positions,
    Ring::cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
