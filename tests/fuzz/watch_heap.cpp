// The heap calls of the code linked with --wrap=<symbol> for each symbol
// below: every call to it reaches __wrap_<symbol>, which counts it while a
// perform routine runs and passes it on to the real one. Only code linked
// into the executable is redirected (not libc or libstdc++ calling itself),
// so what is counted is what the objects' code calls.

#include <cstddef>
#include <cstdlib>

#include "harness.hpp"

namespace watch {
bool in_perform = false;
long heap_calls = 0;
bool fail_next_malloc = false;
} // namespace watch

namespace {
inline void seen() {
    if (watch::in_perform) watch::heap_calls++;
}
} // namespace

extern "C" {

void *__real_malloc(size_t);
void *__real_calloc(size_t, size_t);
void *__real_realloc(void *, size_t);
void __real_free(void *);
int __real_posix_memalign(void **, size_t, size_t);
void *__real_aligned_alloc(size_t, size_t);
void *__real__Znwm(size_t);
void *__real__Znam(size_t);
void __real__ZdlPv(void *);
void __real__ZdaPv(void *);
void __real__ZdlPvm(void *, size_t);
void __real__ZdaPvm(void *, size_t);

// The objects take their one block with malloc; the fake host never calls
// malloc itself, so a failure asked for lands on the object's block.
void *__wrap_malloc(size_t n) {
    seen();
    if (watch::fail_next_malloc) {
        watch::fail_next_malloc = false;
        return nullptr;
    }
    return __real_malloc(n);
}
void *__wrap_calloc(size_t n, size_t size) {
    seen();
    return __real_calloc(n, size);
}
void *__wrap_realloc(void *p, size_t n) {
    seen();
    return __real_realloc(p, n);
}
void __wrap_free(void *p) {
    seen();
    __real_free(p);
}
int __wrap_posix_memalign(void **p, size_t alignment, size_t n) {
    seen();
    return __real_posix_memalign(p, alignment, n);
}
void *__wrap_aligned_alloc(size_t alignment, size_t n) {
    seen();
    return __real_aligned_alloc(alignment, n);
}
void *__wrap__Znwm(size_t n) {
    seen();
    return __real__Znwm(n);
}
void *__wrap__Znam(size_t n) {
    seen();
    return __real__Znam(n);
}
void __wrap__ZdlPv(void *p) {
    seen();
    __real__ZdlPv(p);
}
void __wrap__ZdaPv(void *p) {
    seen();
    __real__ZdaPv(p);
}
void __wrap__ZdlPvm(void *p, size_t n) {
    seen();
    __real__ZdlPvm(p, n);
}
void __wrap__ZdaPvm(void *p, size_t n) {
    seen();
    __real__ZdaPvm(p, n);
}

} // extern "C"
