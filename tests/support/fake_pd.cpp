#include "fake_pd.hpp"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>

namespace fake_pd {

namespace {

t_class *newest_class;
float sample_rate = 44100.0f;
std::vector<std::string> lines;
std::map<const t_object *, Boxes> instances;
t_object *being_created;
Perform installed;

std::vector<t_atomtype> read_types(t_atomtype first, va_list types) {
    std::vector<t_atomtype> out;
    for (t_atomtype t = first; t != A_NULL; t = static_cast<t_atomtype>(va_arg(types, int)))
        out.push_back(t);
    return out;
}

// Unique, never-dereferenced handles for the inlets and outlets handed out.
char connector_handles[64];

} // namespace

t_class *last_class() {
    return newest_class;
}

const Method *find_method(const t_class *c, const char *selector) {
    for (const Method &m : c->methods)
        if (strcmp(m.selector->s_name, selector) == 0) return &m;
    return nullptr;
}

const Boxes &boxes(const t_object *x) {
    return instances.at(x);
}

t_object *create(t_class *c, int argc, t_atom *argv) {
    using Creator = void *(*)(t_symbol *, int, t_atom *);
    being_created = nullptr;
    // Through the generic function type, as Pd's own call does.
    const Creator creator = reinterpret_cast<Creator>(reinterpret_cast<t_method>(c->creator));
    void *made = creator(c->name, argc, argv);
    t_object *x = static_cast<t_object *>(made);
    if (x != being_created) {
        fprintf(stderr, "fake_pd: the creator returned %p, not the record of pd_new\n", made);
        abort();
    }
    return x;
}

void destroy(t_object *x) {
    t_class *c = x->te_g.g_pd;
    if (c->destructor) reinterpret_cast<void (*)(t_object *)>(c->destructor)(x);
    instances.erase(x);
    free(x);
}

Perform take_perform() {
    Perform p = installed;
    installed = Perform();
    return p;
}

std::vector<std::string> &console() {
    return lines;
}

void clear_console() {
    lines.clear();
}

void set_sample_rate(float sr) {
    sample_rate = sr;
}

} // namespace fake_pd

using namespace fake_pd;

// Pd's own declarations end their fixed arguments with an enum before the
// variable list, which clang flags; the calling convention passes it as an
// int, so va_start finds the list.
#ifdef __clang__
#pragma clang diagnostic ignored "-Wvarargs"
#endif

extern "C" {

t_class *class_new(t_symbol *name, t_newmethod creator, t_method destructor, size_t size, int,
                   t_atomtype arg1, ...) {
    t_class *c = new t_class();
    c->name = name;
    c->creator = creator;
    c->destructor = destructor;
    c->size = size;
    va_list types;
    va_start(types, arg1);
    c->creator_arguments = read_types(arg1, types);
    va_end(types);
    newest_class = c;
    return c;
}

void class_addmethod(t_class *c, t_method fn, t_symbol *sel, t_atomtype arg1, ...) {
    va_list types;
    va_start(types, arg1);
    c->methods.push_back(Method{sel, fn, read_types(arg1, types)});
    va_end(types);
}

void class_doaddfloat(t_class *c, t_method fn) {
    c->float_method = fn;
}

#undef class_addlist
void class_addlist(t_class *c, t_method fn) {
    c->list_method = fn;
}

void class_sethelpsymbol(t_class *c, t_symbol *s) {
    c->help = s;
}

t_pd *pd_new(t_class *c) {
    t_object *x = static_cast<t_object *>(calloc(1, c->size));
    if (!x) abort();
    x->te_g.g_pd = c;
    instances[x] = Boxes();
    being_created = x;
    return &x->te_g.g_pd;
}

t_inlet *inlet_new(t_object *owner, t_pd *, t_symbol *s1, t_symbol *s2) {
    Boxes &b = instances.at(owner);
    if (strcmp(s1->s_name, "signal") == 0)
        b.signal_inlets++;
    else
        b.forwarded.push_back(s2 ? s2->s_name : "");
    return reinterpret_cast<t_inlet *>(&connector_handles[0]);
}

t_outlet *outlet_new(t_object *owner, t_symbol *) {
    instances.at(owner).outlets++;
    return reinterpret_cast<t_outlet *>(&connector_handles[1]);
}

void dsp_addv(t_perfroutine f, int n, t_int *vec) {
    installed.routine = f;
    installed.arguments.assign(vec, vec + n);
}

void dsp_add(t_perfroutine f, int n, ...) {
    va_list words;
    va_start(words, n);
    installed.routine = f;
    installed.arguments.clear();
    for (int i = 0; i < n; i++) installed.arguments.push_back(va_arg(words, t_int));
    va_end(words);
}

void post(const char *fmt, ...) {
    char buffer[MAXPDSTRING];
    va_list args;
    va_start(args, fmt);
    vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    lines.emplace_back(buffer);
}

t_float sys_getsr(void) {
    return sample_rate;
}

// The header's Pd, whose signals have one channel.
void sys_getversion(int *major, int *minor, int *bugfix) {
    *major = PD_MAJOR_VERSION, *minor = PD_MINOR_VERSION, *bugfix = PD_BUGFIX_VERSION;
}

void nullfn(void) {}

t_symbol *gensym(const char *s) {
    // The name lives in the key, which a map never moves.
    static std::map<std::string, std::unique_ptr<t_symbol>> table;
    auto entry = table.try_emplace(s).first;
    if (!entry->second) entry->second.reset(new t_symbol{entry->first.c_str(), nullptr, nullptr});
    return entry->second.get();
}

t_float atom_getfloat(const t_atom *a) {
    return a->a_type == A_FLOAT ? a->a_w.w_float : 0;
}

// Pd converts without a check; here a value out of the range saturates, so
// that the stand-in itself stays defined for any atom.
t_int atom_getint(const t_atom *a) {
    const double f = atom_getfloat(a);
    constexpr double haut = static_cast<double>(std::numeric_limits<t_int>::max());
    if (std::isnan(f)) return 0;
    if (f >= haut) return std::numeric_limits<t_int>::max();
    if (f <= -haut) return std::numeric_limits<t_int>::min();
    return static_cast<t_int>(f);
}

// As Pd writes an atom into a short buffer: a float in %g, or a sign alone
// when it does not fit; a symbol with a backslash before the characters Pd
// escapes, cut with a '*' when it does not fit.
void atom_string(const t_atom *a, char *buf, unsigned int bufsize) {
    if (bufsize == 0) return;
    if (a->a_type == A_FLOAT) {
        char text[40];
        snprintf(text, sizeof text, "%g", a->a_w.w_float);
        if (strlen(text) < bufsize - 1)
            strcpy(buf, text);
        else if (bufsize >= 2)
            strcpy(buf, a->a_w.w_float < 0 ? "-" : "+");
        else
            buf[0] = 0;
        return;
    }
    if (a->a_type != A_SYMBOL) {
        snprintf(buf, bufsize, "?");
        return;
    }
    std::string text;
    for (const char *p = a->a_w.w_symbol->s_name; *p; p++) {
        if (*p == ';' || *p == ',' || *p == '\\' || (*p == '$' && p[1] >= '0' && p[1] <= '9'))
            text += '\\';
        text += *p;
    }
    if (text.size() < bufsize - 1 || bufsize < 3)
        snprintf(buf, bufsize, "%s", text.c_str());
    else {
        memcpy(buf, text.data(), bufsize - 2);
        strcpy(buf + bufsize - 2, "*");
    }
}

} // extern "C"
