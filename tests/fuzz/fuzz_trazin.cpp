// trazin~ under the fuzz harness: its glue, method table and routines as the
// host drives them, and the invariants of its record.

#include <cmath>

#include "common/creation_args.hpp"
#include "harness.hpp"
#include "trazin/trazin_tilde.hpp"

extern "C" void trazin_tilde_setup(void);

namespace {

const t_trazin_tilde *record(const t_object *x) {
    return reinterpret_cast<const t_trazin_tilde *>(x);
}

void check(const t_object *o, const fake_pd::Boxes &boxes) {
    const t_trazin_tilde *x = record(o);
    FUZZ_EXPECT(x->type_repere >= 0 && x->type_repere <= 2);
    FUZZ_EXPECT(x->type_entrees == 0 || x->type_entrees == 1);
    FUZZ_EXPECT(x->entrees_muettes == 0 || x->entrees_muettes == 1);
    FUZZ_EXPECT(x->temps_interp >= 1);
    FUZZ_EXPECT(offset_valide(x->offset));
    FUZZ_EXPECT(boxes.outlets == TRAZIN_NB_HP);
    if (x->type_entrees == 1) {
        FUZZ_EXPECT(boxes.signal_inlets == 0 && boxes.forwarded.size() == 3);
        FUZZ_EXPECT(boxes.forwarded[0] == "x" && boxes.forwarded[1] == "y" &&
                    boxes.forwarded[2] == "z");
        FUZZ_EXPECT(!x->table_cos && !x->hp_cos_teta);
    } else {
        FUZZ_EXPECT(boxes.signal_inlets == 3 && boxes.forwarded.empty());
        FUZZ_EXPECT((x->hp_cos_teta == nullptr) == (x->table_cos == nullptr));
    }
    for (int j = 0; j < TRAZIN_NB_HP; j++) {
        FUZZ_EXPECT(std::isfinite(x->gain_courant[j]));
        FUZZ_EXPECT(std::isfinite(x->gain_pas[j]));
        FUZZ_EXPECT(std::isfinite(x->gain_cible[j]));
    }
}

int active_outlets(const t_object *) {
    return TRAZIN_NB_HP;
}

bool reads_positions(const t_object *o) {
    const t_trazin_tilde *x = record(o);
    return x->type_entrees == 0 && x->entrees_muettes == 0 && x->table_cos;
}

const float *cosine_table(const t_object *x) {
    return record(x)->table_cos;
}

const fuzz::Object object = {"trazin~",      trazin_tilde_setup, 3,           check,
                             active_outlets, reads_positions,    cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
