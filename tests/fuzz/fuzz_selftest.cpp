// A deliberately faulty object, to show that the harness catches each kind of
// fault it checks for: FUZZ_SELFTEST names the fault, and the tests replay an
// input under each name, expecting the failure (none: expecting a pass).

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "harness.hpp"

namespace {

struct t_faulty {
    t_object x_obj;
    float gain;
};

t_class *faulty_class;

bool fault(const char *name) {
    const char *chosen = getenv("FUZZ_SELFTEST");
    return chosen && strcmp(chosen, name) == 0;
}

t_int *faulty_perform(t_int *w) {
    t_faulty *x = reinterpret_cast<t_faulty *>(w[1]);
    const t_sample *in = reinterpret_cast<t_sample *>(w[2]);
    t_sample *out0 = reinterpret_cast<t_sample *>(w[3]);
    t_sample *out1 = reinterpret_cast<t_sample *>(w[4]);
    const int n = static_cast<int>(w[5]);
    if (fault("heap")) {
        static void *volatile kept;
        kept = malloc(16);
        free(kept);
    }
    if (fault("post")) post("faulty~: a line from the audio thread");
    for (int i = 0; i < n; i++) {
        const float s = in[i];
        out0[i] = s * x->gain;
        // Reads the input again after writing outlet 0, which may share it.
        const float again = fault("in-place") ? in[i] : s;
        if (!fault("unwritten")) out1[i] = again * 0.25f;
    }
    if (fault("nan") && n > 0) out0[n - 1] = NAN;
    return fault("return") ? w + 5 : w + 6;
}

void faulty_dsp(t_faulty *x, t_signal **sp) {
    dsp_add(faulty_perform, 5, x, sp[0]->s_vec, sp[1]->s_vec, sp[2]->s_vec, sp[0]->s_n);
}

void faulty_float(t_faulty *x, t_floatarg f) {
    if (fault("message") || std::isfinite(f)) x->gain = fault("message") ? f : 0.5f;
}

void faulty_list(t_faulty *, t_symbol *, int, t_atom *) {}

void *faulty_new(t_symbol *, int, t_atom *) {
    t_faulty *x = reinterpret_cast<t_faulty *>(pd_new(faulty_class));
    x->gain = 0.5f;
    inlet_new(&x->x_obj, &x->x_obj.ob_pd, gensym("float"), gensym("x"));
    outlet_new(&x->x_obj, gensym("signal"));
    outlet_new(&x->x_obj, gensym("signal"));
    return x;
}

void faulty_setup() {
    faulty_class = class_new(gensym("faulty~"),
                             reinterpret_cast<t_newmethod>(reinterpret_cast<t_method>(faulty_new)),
                             nullptr, sizeof(t_faulty), 0, A_GIMME, 0);
    class_addmethod(faulty_class, reinterpret_cast<t_method>(faulty_dsp), gensym("dsp"), A_CANT, 0);
    class_addmethod(faulty_class, nullfn, gensym("signal"), A_NULL);
    class_doaddfloat(faulty_class, reinterpret_cast<t_method>(faulty_float));
    class_addlist(faulty_class, reinterpret_cast<t_method>(faulty_list));
}

void check(const t_object *o, const fake_pd::Boxes &) {
    FUZZ_EXPECT(std::isfinite(reinterpret_cast<const t_faulty *>(o)->gain));
}

int active_outlets(const t_object *) {
    return 2;
}

bool reads_positions(const t_object *) {
    return false;
}

const float *cosine_table(const t_object *) {
    return nullptr;
}

const fuzz::Object object = {"faulty~",      faulty_setup,    1,           check,
                             active_outlets, reads_positions, cosine_table};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return fuzz::run(object, data, size);
}
