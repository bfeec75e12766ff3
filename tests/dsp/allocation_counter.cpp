// Replaces the global allocation functions of the test program to count calls; kept
// in its own file so the compiler never sees them beside their callers.
#include <atomic>
#include <cstdlib>
#include <new>

static std::atomic<long> allocations{0};

long allocationCount() { return allocations.load(); }

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
