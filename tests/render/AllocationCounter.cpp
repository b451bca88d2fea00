#include "render/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> totalRequested{0};
std::atomic<std::size_t> largestRequested{0};

void* allocate(std::size_t size) {
    totalRequested += size;
    std::size_t largest = largestRequested.load();
    while (size > largest && !largestRequested.compare_exchange_weak(largest, size)) {
    }
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) {
        std::abort(); // the tests never run out of memory on purpose
    }
    return memory;
}

} // namespace

void* operator new(std::size_t size) {
    return allocate(size);
}
void* operator new[](std::size_t size) {
    return allocate(size);
}
// The sanitizers replace every form; those left out here would pair their allocation with
// the free below.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
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

namespace velmorra::test {

AllocationCounter::AllocationCounter() : totalAtStart(totalRequested.load()) {
    largestRequested = 0;
}

std::size_t AllocationCounter::total() const {
    return totalRequested.load() - totalAtStart;
}

std::size_t AllocationCounter::largest() const {
    return largestRequested.load();
}

} // namespace velmorra::test
