// Memory that runs out on purpose: while an AllocationFaults lives, every allocation through
// operator new is counted, and from the `failFrom`th on (counting from 1) each throws
// std::bad_alloc, as when memory is exhausted. 0 counts without failing.
#pragma once

struct AllocationFaults {
    explicit AllocationFaults(int failFrom);
    ~AllocationFaults();
    AllocationFaults(const AllocationFaults&) = delete;
    AllocationFaults& operator=(const AllocationFaults&) = delete;
    int count() const;  // allocations so far
};
