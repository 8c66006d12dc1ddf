// The replacement functions and hooks behind AllocationCounter.h. Each one
// counts and forwards, so the program behaves as it would without them.
#include "AllocationCounter.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZANDREL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZANDREL_SANITIZED 1
#endif
#endif

// A sanitizer owns malloc and the mutex functions; it reports allocations
// through its own hooks. Plain glibc builds replace the functions themselves.
#if !defined(ZANDREL_SANITIZED) && defined(__GLIBC__)
#define ZANDREL_GLIBC_HOOKS 1
#include <dlfcn.h>
#include <pthread.h>
#endif

namespace {

std::atomic<std::uint64_t> newCount{0}, deleteCount{0}, mallocCount{0}, freeCount{0}, lockCount{0};

void count(std::atomic<std::uint64_t>& counter) { counter.fetch_add(1, std::memory_order_relaxed); }

void* allocate(std::size_t size) noexcept {
    count(newCount);
    return std::malloc(size != 0 ? size : 1);
}

void* allocateOrThrow(std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}

// Over-allocates and keeps malloc's own address just below the aligned block.
void* allocateAligned(std::size_t size, std::align_val_t alignment) noexcept {
    count(newCount);
    const auto align = static_cast<std::size_t>(alignment);
    void* raw = std::malloc(size + align + sizeof(void*));
    if (!raw) return nullptr;
    const std::uintptr_t address = (reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*) + align - 1) & ~(align - 1);
    void** block = reinterpret_cast<void**>(address);
    block[-1] = raw;
    return block;
}

void* allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    if (void* p = allocateAligned(size, alignment)) return p;
    throw std::bad_alloc();
}

void release(void* p) noexcept {
    if (!p) return;
    count(deleteCount);
    std::free(p);
}

void releaseAligned(void* p) noexcept {
    if (!p) return;
    count(deleteCount);
    std::free(static_cast<void**>(p)[-1]);
}

}  // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return allocateAlignedOrThrow(size, a); }
void* operator new[](std::size_t size, std::align_val_t a) { return allocateAlignedOrThrow(size, a); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocateAligned(size, a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return allocateAligned(size, a);
}

void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { releaseAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { releaseAligned(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { releaseAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { releaseAligned(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { releaseAligned(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { releaseAligned(p); }

#if defined(ZANDREL_SANITIZED)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));

namespace {

void onMalloc(const volatile void*, std::size_t) { count(mallocCount); }
void onFree(const volatile void*) { count(freeCount); }

const bool mallocHooksInstalled = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;

}  // namespace
#elif defined(ZANDREL_GLIBC_HOOKS)
// glibc's own entry points stay reachable under these names, so the
// replacements can forward without looking anything up.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void __libc_free(void* p);

void* malloc(std::size_t size) noexcept {
    count(mallocCount);
    return __libc_malloc(size);
}

void* calloc(std::size_t n, std::size_t size) noexcept {
    count(mallocCount);
    return __libc_calloc(n, size);
}

void* realloc(void* p, std::size_t size) noexcept {
    count(mallocCount);
    return __libc_realloc(p, size);
}

void free(void* p) noexcept {
    if (p) count(freeCount);
    __libc_free(p);
}

// Looked up at the first lock rather than at start-up: locks happen before
// this file's initializers run.
int pthread_mutex_lock(pthread_mutex_t* mutex) noexcept {
    using LockFunction = int (*)(pthread_mutex_t*);
    static std::atomic<LockFunction> next{nullptr};
    LockFunction lock = next.load(std::memory_order_relaxed);
    if (!lock) {
        lock = reinterpret_cast<LockFunction>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
        next.store(lock, std::memory_order_relaxed);
    }
    count(lockCount);
    return lock(mutex);
}
}
#endif

namespace zandrel::test {

ResourceCounts resourceCounts() {
    return {newCount.load(std::memory_order_relaxed), deleteCount.load(std::memory_order_relaxed),
            mallocCount.load(std::memory_order_relaxed), freeCount.load(std::memory_order_relaxed),
            lockCount.load(std::memory_order_relaxed)};
}

bool observesMalloc() {
#if defined(ZANDREL_SANITIZED)
    return mallocHooksInstalled;
#elif defined(ZANDREL_GLIBC_HOOKS)
    return true;
#else
    return false;
#endif
}

bool observesLocks() {
#if defined(ZANDREL_GLIBC_HOOKS)
    return true;
#else
    return false;
#endif
}

}  // namespace zandrel::test
