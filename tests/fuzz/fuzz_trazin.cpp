// trazin~ under the fuzz harness: its glue, method table and routines as the
// host drives them, and the invariants of its record.

#include "common/creation_args.hpp"
#include "harness.hpp"
#include "trazin/trazin_tilde.hpp"

extern "C" void trazin_tilde_setup(void);

namespace {

using Ring = fuzz::Ring<t_trazin_tilde>;

void check(const t_object *o, const fake_pd::Boxes &boxes) {
    const t_trazin_tilde *x = Ring::record(o);
    FUZZ_EXPECT(x->type_repere >= 0 && x->type_repere <= 2);
    FUZZ_EXPECT(offset_valide(x->offset));
    Ring::check(x, boxes, TRAZIN_NB_HP, 3);
    if (x->type_entrees == 1)
        FUZZ_EXPECT(!x->table_cos && !x->hp_cos_teta);
    else
        FUZZ_EXPECT((x->hp_cos_teta == nullptr) == (x->table_cos == nullptr));
}

int active_outlets(const t_object *) {
    return TRAZIN_NB_HP;
}

const fuzz::Object object = {
    "trazin~",         trazin_tilde_setup, 3, check, active_outlets, Ring::reads_positions,
    Ring::cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
