#pragma once

#include <m_pd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fake_pd.hpp"

// Turns bytes into a life of one object in the host: creations with any
// atoms, any message of its method table with any atoms, DSP rebuilds with
// any block size (0 included) and outputs sharing the inputs' vectors, perform
// calls on any source and position signals, destructions. After every step it
// checks what a user relies on, and aborts with a description when a check
// fails (the fuzzer then keeps the input).
//
// Checked: no sanitizer report; the perform contract (arguments in order,
// the right pointer returned, no heap call and no console line while it runs,
// every outlet sample written, the same result whether or not outlets share
// the inputs' memory, the cosine table left as it was); finite outlet samples
// for audio-range source samples and finite positions; silence for a
// non-finite position sample; zeros on the outlets of loudspeakers not in
// use; a position message with a non-finite coordinate changing nothing at
// all; the object's own invariants after every step.
namespace fuzz {

struct Object {
    const char *name; // the class name, e.g. "sorvel~"
    void (*setup)();
    int coordinates; // position coordinates a list carries
    // Aborts through fail() when the record breaks an invariant.
    void (*check)(const t_object *x, const fake_pd::Boxes &boxes);
    // Outlets that may carry sound; the others must carry zeros.
    int (*active_outlets)(const t_object *x);
    // True when the signal routine follows the position signals.
    bool (*reads_positions)(const t_object *x);
    // The instance's cosine table, or null.
    const float *(*cosine_table)(const t_object *x);
};

// Reports a failed check and aborts, unless FUZZ_TOLERATE (a list of texts
// separated by '|') names a text of the report: then it returns and the
// input goes on, so that fuzzing can look past a fault already known.
void fail(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Checks a condition of the record, naming it when it fails.
#define FUZZ_EXPECT(condition)                                                                     \
    do {                                                                                           \
        if (!(condition)) ::fuzz::fail("%s:%d: %s", __FILE__, __LINE__, #condition);               \
    } while (0)

int run(const Object &object, const uint8_t *data, size_t size);

// What the three ring objects' records share: the mode flags, the glide, one
// gain triple an outlet and the cosine table of the signal routine.
template <class Record> struct Ring {
    static const Record *record(const t_object *x) { return reinterpret_cast<const Record *>(x); }

    static bool reads_positions(const t_object *o) {
        const Record *x = record(o);
        return x->type_entrees == 0 && x->entrees_muettes == 0 && x->table_cos;
    }

    static const float *cosine_table(const t_object *x) { return record(x)->table_cos; }

    // The shared invariants, for a record with this many outlets and position
    // coordinates: the flags, the inlets the inlet mode makes ("x", "y", "z"
    // forwarded in control mode, signals otherwise) and finite gains.
    static void check(const Record *x, const fake_pd::Boxes &boxes, int outlets, int coordinates) {
        FUZZ_EXPECT(x->type_entrees == 0 || x->type_entrees == 1);
        FUZZ_EXPECT(x->entrees_muettes == 0 || x->entrees_muettes == 1);
        FUZZ_EXPECT(x->temps_interp >= 1);
        FUZZ_EXPECT(boxes.outlets == outlets);
        if (x->type_entrees == 1) {
            FUZZ_EXPECT(boxes.signal_inlets == 0);
            FUZZ_EXPECT(static_cast<int>(boxes.forwarded.size()) == coordinates);
            for (size_t k = 0; k < boxes.forwarded.size(); k++)
                FUZZ_EXPECT(boxes.forwarded[k] == std::string(1, static_cast<char>('x' + k)));
        } else {
            FUZZ_EXPECT(boxes.signal_inlets == coordinates && boxes.forwarded.empty());
        }
        for (int j = 0; j < outlets; j++) {
            FUZZ_EXPECT(std::isfinite(x->gain_courant[j]));
            FUZZ_EXPECT(std::isfinite(x->gain_pas[j]));
            FUZZ_EXPECT(std::isfinite(x->gain_cible[j]));
        }
    }
};

} // namespace fuzz

// Heap calls made by the objects' code (the calls are redirected at link time
// with --wrap): counted while a perform routine runs, and a malloc can be made
// to fail, as when memory runs out at creation.
namespace watch {
extern bool in_perform;
extern long heap_calls;
extern bool fail_next_malloc;
} // namespace watch
