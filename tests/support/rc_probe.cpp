// rc_probe~ <file>: a test-only Pd object that appends every sample of its
// signal inlet to <file> as raw 32-bit floats, so tests read outlets exactly,
// NaN and infinities included.

#include <m_pd.h>

#include <cstdio>

#include "../../common/pd_glue.hpp"

namespace {

t_class *probe_class;

struct t_probe {
    t_object x_obj;
    t_float f;
    FILE *file;
};

t_int *probe_perform(t_int *w) {
    t_probe *x = reinterpret_cast<t_probe *>(w[1]);
    const t_sample *in = reinterpret_cast<t_sample *>(w[2]);
    const int n = static_cast<int>(w[3]);
    if (x->file) {
        fwrite(in, sizeof(t_sample), n, x->file);
        fflush(x->file); // Pd may quit without freeing its objects
    }
    return w + 4;
}

void probe_dsp(t_probe *x, t_signal **sp) {
    dsp_add(probe_perform, 3, x, sp[0]->s_vec, sp[0]->s_n);
}

void *probe_new(t_symbol *path) {
    t_probe *x = reinterpret_cast<t_probe *>(pd_new(probe_class));
    x->file = fopen(path->s_name, "wb");
    if (!x->file) pd_error(x, "rc_probe~: cannot write %s", path->s_name);
    return x;
}

void probe_free(t_probe *x) {
    if (x->file) fclose(x->file);
}

} // namespace

RINGCUBE_EXPORT void rc_probe_tilde_setup(void) {
    probe_class = class_new(gensym("rc_probe~"), pd_createur(probe_new), pd_methode(probe_free),
                            sizeof(t_probe), 0, A_SYMBOL, 0);
    CLASS_MAINSIGNALIN(probe_class, t_probe, f);
    class_addmethod(probe_class, pd_methode(probe_dsp), gensym("dsp"), A_CANT, 0);
}
