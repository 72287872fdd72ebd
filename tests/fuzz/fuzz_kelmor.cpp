// kelmor~ under the fuzz harness: its glue, method table and routines as the
// host drives them, and the invariants of its record.

#include <cmath>

#include "common/creation_args.hpp"
#include "harness.hpp"
#include "kelmor/kelmor_tilde.hpp"

extern "C" void kelmor_tilde_setup(void);

namespace {

using Ring = fuzz::Ring<t_kelmor_tilde>;

void check(const t_object *o, const fake_pd::Boxes &boxes) {
    const t_kelmor_tilde *x = Ring::record(o);
    FUZZ_EXPECT(x->type_repere == 0 || x->type_repere == 1);
    FUZZ_EXPECT(x->nb_sorties >= KELMOR_MIN_HP && x->nb_sorties <= KELMOR_MAX_HP);
    FUZZ_EXPECT(x->nb_hp >= KELMOR_MIN_HP && x->nb_hp <= x->nb_sorties);
    FUZZ_EXPECT(offset_valide(x->offset));
    Ring::check(x, boxes, x->nb_sorties, 2);
    if (x->type_entrees == 1) {
        FUZZ_EXPECT(!x->table_cos && !x->hp_cos && !x->hp_sin);
    } else {
        // One block or none.
        FUZZ_EXPECT((x->hp_cos == nullptr) == (x->table_cos == nullptr));
        FUZZ_EXPECT((x->hp_cos == nullptr) == (x->hp_sin == nullptr));
    }
    for (int j = 0; j < x->nb_hp; j++) {
        FUZZ_EXPECT(std::isfinite(x->hp_teta[j]));
        FUZZ_EXPECT(std::isfinite(x->hp_dist[j]));
    }
}

int active_outlets(const t_object *x) {
    return Ring::record(x)->nb_hp;
}

const fuzz::Object object = {
    "kelmor~",         kelmor_tilde_setup, 2, check, active_outlets, Ring::reads_positions,
    Ring::cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
