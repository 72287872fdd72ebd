#include "pd_stub.hpp"

#include <m_pd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
std::vector<std::string> lines;
float sample_rate = 44100.0f;
} // namespace

namespace pd_stub {
std::vector<std::string> &console() {
    return lines;
}
void clear_console() {
    lines.clear();
}
void set_sample_rate(float sr) {
    sample_rate = sr;
}
} // namespace pd_stub

extern "C" {

void post(const char *fmt, ...) {
    char buffer[1000];
    va_list args;
    va_start(args, fmt);
    vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    lines.emplace_back(buffer);
}

t_float sys_getsr(void) {
    return sample_rate;
}

t_float atom_getfloat(const t_atom *a) {
    return a->a_type == A_FLOAT ? a->a_w.w_float : 0;
}

t_int atom_getint(const t_atom *a) {
    return static_cast<t_int>(atom_getfloat(a));
}

void atom_string(const t_atom *a, char *buf, unsigned int bufsize) {
    if (a->a_type == A_SYMBOL)
        snprintf(buf, bufsize, "%s", a->a_w.w_symbol->s_name);
    else if (a->a_type == A_FLOAT)
        snprintf(buf, bufsize, "%g", a->a_w.w_float);
    else
        snprintf(buf, bufsize, "?");
}

t_symbol *gensym(const char *s) {
    // Interned as Pd does: one symbol per name, for the life of the process
    // (the table is never destroyed, so no leak check sees it emptied).
    static std::vector<t_symbol *> *table = new std::vector<t_symbol *>;
    for (t_symbol *sym : *table)
        if (strcmp(sym->s_name, s) == 0) return sym;
    t_symbol *sym = new t_symbol{strdup(s), nullptr, nullptr};
    table->push_back(sym);
    return sym;
}

} // extern "C"
