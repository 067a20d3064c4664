// The test program's operator new, which AllocationFaults makes count and fail.
#include "tests/allocation_faults.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Atomic, for the allocations of a run's other threads.
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
std::atomic<int> failFrom{0};

}  // namespace

AllocationFaults::AllocationFaults(int from) {
    allocations = 0;
    failFrom = from;
    counting = true;
}

AllocationFaults::~AllocationFaults() {
    counting = false;
}

int AllocationFaults::count() const {
    return allocations;
}

void* operator new(std::size_t size) {
    if (counting && ++allocations >= failFrom && failFrom > 0) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
