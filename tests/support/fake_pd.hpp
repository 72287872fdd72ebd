#pragma once

#include <m_pd.h>

#include <string>
#include <vector>

// A stand-in for the part of Pd that an object's glue talks to, so that a
// program can load a class by calling its set-up entry and then drive it as
// the host would: create instances from atoms, deliver messages through the
// recorded method table, ask for the perform routine and call it.

namespace fake_pd {

struct Method {
    t_symbol *selector;
    t_method routine;
    std::vector<t_atomtype> arguments;
};

} // namespace fake_pd

// Pd leaves its class record opaque; this one holds what class_new and the
// class_add* calls declared.
struct _class {
    t_symbol *name;
    t_newmethod creator;
    t_method destructor;
    size_t size;
    std::vector<t_atomtype> creator_arguments;
    std::vector<fake_pd::Method> methods;
    t_method float_method;
    t_method list_method;
    t_symbol *help;
};

namespace fake_pd {

// What the last dsp_add or dsp_addv installed.
struct Perform {
    t_perfroutine routine = nullptr;
    std::vector<t_int> arguments; // w[1..n]
};

// The class created by the last class_new.
t_class *last_class();
const Method *find_method(const t_class *c, const char *selector);

// An instance as the host sees it: its inlets (signal or forwarding) and
// outlets as the creator made them.
struct Boxes {
    int signal_inlets = 0;              // besides the left inlet
    std::vector<std::string> forwarded; // selectors of the float inlets
    int outlets = 0;
};
const Boxes &boxes(const t_object *x);

// Creation and destruction as the host does them: pd_new under the creator,
// then the destructor and the release of the record.
t_object *create(t_class *c, int argc, t_atom *argv);
void destroy(t_object *x);

// The last routine installed; cleared by take_perform.
Perform take_perform();

// Every line posted, one entry per post(), since the last clear.
std::vector<std::string> &console();
void clear_console();
void set_sample_rate(float sr);

} // namespace fake_pd
