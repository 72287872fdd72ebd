#pragma once

#include <m_pd.h>

// What every object's Pd glue needs.

// Pd finds a class by calling its set-up entry by name, so the entry must
// stay visible even though the rest of the plug-in is built hidden.
#define RINGCUBE_EXPORT extern "C" __attribute__((visibility("default")))

// Pd's method table takes every routine as a pointer to a function without
// arguments and calls it back with the arguments its selector declares.
template <class F> t_method pd_methode(F f) {
    return reinterpret_cast<t_method>(f);
}
template <class F> t_newmethod pd_createur(F f) {
    return reinterpret_cast<t_newmethod>(reinterpret_cast<t_method>(f));
}
