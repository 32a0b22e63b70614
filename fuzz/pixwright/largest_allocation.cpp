#include "fuzz/pixwright/largest_allocation.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WRIGHT_WATCH_BY_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define WRIGHT_WATCH_BY_SANITIZER 1
#endif

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

void note(std::size_t size) {
    if (!watching.load(std::memory_order_relaxed)) return;
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

}  // namespace

#ifdef WRIGHT_WATCH_BY_SANITIZER
// From the sanitizer's allocator interface (not every compiler ships its header).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {

void mallocHook(const volatile void*, std::size_t size) { note(size); }
void freeHook(const volatile void*) {}

[[maybe_unused]] const bool hooked = [] {
    __sanitizer_install_malloc_and_free_hooks(mallocHook, freeHook);
    return true;
}();

}  // namespace
#else

void* operator new(std::size_t size) {
    note(size);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#endif

namespace wright::fuzzing {

void startWatchingAllocations() {
    largest.store(0);
    watching.store(true);
}

std::size_t stopWatchingAllocations() {
    watching.store(false);
    return largest.load();
}

}  // namespace wright::fuzzing
