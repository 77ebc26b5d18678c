#include "support/failing_allocation.h"

#include <cstdlib>
#include <new>

namespace {

thread_local long long t_countdown = -1;  // allocations left before the failing one; -1: none
thread_local bool t_failed = false;

}  // namespace

namespace testing_support {

FailingAllocation::FailingAllocation(long long failing) {
    t_failed = false;
    t_countdown = failing;
}

FailingAllocation::~FailingAllocation() {
    t_countdown = -1;
}

bool FailingAllocation::Failed() const {
    return t_failed;
}

}  // namespace testing_support

#ifndef ZELBO_NO_FAILING_ALLOCATION
namespace {

void* Allocate(std::size_t size) {
    if (t_countdown >= 0 && t_countdown-- == 0) {
        t_failed = true;
        throw std::bad_alloc();
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
#endif
