#include "PeakAllocation.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>

#include <malloc.h>

extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<qint64> held{0};
std::atomic<qint64> top{0};
std::atomic<qint64> base{0};

void* counted(void* p) {
    if (p) {
        const qint64 now = held.fetch_add(qint64(malloc_usable_size(p))) + qint64(malloc_usable_size(p));
        for (qint64 t = top.load(); now > t && !top.compare_exchange_weak(t, now);) {
        }
    }
    return p;
}

void uncount(void* p) {
    if (p)
        held.fetch_sub(qint64(malloc_usable_size(p)));
}

} // namespace

extern "C" {

void* malloc(size_t n) { return counted(__libc_malloc(n)); }
void* calloc(size_t n, size_t size) { return counted(__libc_calloc(n, size)); }
void free(void* p) {
    uncount(p);
    __libc_free(p);
}
void* realloc(void* p, size_t n) {
    uncount(p);
    void* q = __libc_realloc(p, n);
    if (!q && n) {
        counted(p); // the old block stays
        return nullptr;
    }
    return counted(q);
}
void* memalign(size_t alignment, size_t n) { return counted(__libc_memalign(alignment, n)); }
void* aligned_alloc(size_t alignment, size_t n) { return memalign(alignment, n); }
int posix_memalign(void** out, size_t alignment, size_t n) {
    void* p = memalign(alignment, n);
    if (!p && n)
        return ENOMEM;
    *out = p;
    return 0;
}
void* valloc(size_t n) { return memalign(4096, n); }
void* pvalloc(size_t n) { return memalign(4096, (n + 4095) & ~size_t(4095)); }

} // extern "C"

namespace peakallocation {

void reset() {
    base = held.load();
    top = base.load();
}

qint64 peak() { return top.load() - base.load(); }

} // namespace peakallocation
