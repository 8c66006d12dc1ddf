// Counts of every allocation, release and mutex lock the test program sees,
// from replacement operator new/delete and, where the platform lets a program
// observe them, malloc/free and pthread_mutex_lock hooks.
#pragma once

#include <cstdint>

namespace zandrel::test {

struct ResourceCounts {
    std::uint64_t news;
    std::uint64_t deletes;
    std::uint64_t mallocs;  // every malloc, calloc and realloc, operator new's own included
    std::uint64_t frees;
    std::uint64_t locks;

    friend bool operator==(const ResourceCounts&, const ResourceCounts&) = default;
};

ResourceCounts resourceCounts();

// Whether this build observes malloc/free and mutex locks besides operator new.
bool observesMalloc();
bool observesLocks();

}  // namespace zandrel::test
