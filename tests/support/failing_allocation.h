// Running out of memory on purpose: while a FailingAllocation lives, the n-th allocation through
// operator new of the calling thread throws std::bad_alloc, as an exhausted heap does. A test
// steps n through every allocation of a piece of code to show that it survives running out of
// memory at any of them. Linking this into a test program replaces its global operator new;
// other threads and the time outside a FailingAllocation are not affected. One thread each.
#pragma once

// ThreadSanitizer ignores the toolkit's own frees only while they reach its operator delete
// straight from the toolkit (scripts/tsan.supp): under it nothing is replaced, and the tests of
// running out of memory are left to the other builds.
#if defined(__SANITIZE_THREAD__)
#define ZELBO_NO_FAILING_ALLOCATION 1
#endif

namespace testing_support {

class FailingAllocation {
public:
    // The allocation that fails: 0 is the next one, 1 the one after it, and so on.
    explicit FailingAllocation(long long failing);
    ~FailingAllocation();
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;

    // Whether that allocation came (and failed).
    bool Failed() const;
};

}  // namespace testing_support
