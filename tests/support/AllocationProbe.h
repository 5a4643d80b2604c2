#pragma once
// Watches the program's heap through its replaced global allocation functions:
// which blocks are freed while recording, and nothrow allocations that fail on
// demand.

#include <cstddef>
#include <vector>

namespace AllocationProbe {

// Records every block freed from now on (the record starts empty).
void StartRecordingFrees();
void StopRecordingFrees();
// Whether the blocks are all different, none of them null, and each was freed.
bool EachOwnAndFreed(std::vector<const void*> blocks);

// While it lives, nothrow allocations of this size fail.
class FailNothrowAllocations
{
public:
    explicit FailNothrowAllocations(std::size_t size);
    ~FailNothrowAllocations();
    FailNothrowAllocations(const FailNothrowAllocations&) = delete;
    FailNothrowAllocations& operator=(const FailNothrowAllocations&) = delete;
};

} // namespace AllocationProbe
