#include "multicanal.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using t_setmultiout = void (*)(t_signal **, int);

// The leading fields of 0.54's t_signal; 0.53 has s_refcount where
// s_nchans now sits.
struct t_signal_054 {
    int s_length;
    t_sample *s_vec;
    t_float s_sr;
    int s_nchans;
};

} // namespace

#ifdef _WIN32
static t_setmultiout chercher_setmultiout() {
    HMODULE pd = GetModuleHandleA("pd.dll");
    return pd ? reinterpret_cast<t_setmultiout>(
                    reinterpret_cast<void *>(GetProcAddress(pd, "signal_setmultiout")))
              : nullptr;
}
#else
// Weak, so that the plug-in still loads in a Pd without it: the loader
// resolves it against Pd's own symbols, or leaves it null. (dlsym would
// raise the glibc the externals need.)
extern "C" __attribute__((weak)) void signal_setmultiout(t_signal **, int);
static t_setmultiout chercher_setmultiout() {
    return signal_setmultiout;
}
#endif

static bool version_054() {
    int majeure = 0, mineure = 0, correction = 0;
    sys_getversion(&majeure, &mineure, &correction);
    return majeure > 0 || mineure >= 54;
}

bool multicanal_disponible() {
    return version_054() && chercher_setmultiout();
}

int drapeaux_multicanal() {
    return multicanal_disponible() ? CLASSE_MULTICANAL : 0;
}

int nb_canaux(const t_signal *s) {
    if (!version_054()) return 1;
    const int n = reinterpret_cast<const t_signal_054 *>(s)->s_nchans;
    return n > 0 ? n : 1;
}

void donner_canaux(t_signal **s, int nb) {
    if (const t_setmultiout f = multicanal_disponible() ? chercher_setmultiout() : nullptr)
        f(s, nb);
}
