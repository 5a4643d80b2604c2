#include "AllocationProbe.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kRecordCapacity = 4096;
const void* g_freed[kRecordCapacity];
std::size_t g_freedCount = 0;
bool g_recording = false;
std::size_t g_failingSize = 0; // 0: none fails

} // namespace

namespace AllocationProbe {

void StartRecordingFrees()
{
    g_freedCount = 0;
    g_recording = true;
}

void StopRecordingFrees()
{
    g_recording = false;
}

bool EachOwnAndFreed(std::vector<const void*> blocks)
{
    std::sort(blocks.begin(), blocks.end());
    if (std::adjacent_find(blocks.begin(), blocks.end()) != blocks.end())
        return false;
    const void** const recordEnd = g_freed + g_freedCount;
    return std::all_of(blocks.begin(), blocks.end(), [recordEnd](const void* block) {
        return block && std::find(g_freed, recordEnd, block) != recordEnd;
    });
}

FailNothrowAllocations::FailNothrowAllocations(std::size_t size)
{
    g_failingSize = size;
}

FailNothrowAllocations::~FailNothrowAllocations()
{
    g_failingSize = 0;
}

} // namespace AllocationProbe

// The runtime's own operator new takes its blocks from malloc, as these do.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_failingSize != 0 && size == g_failingSize)
        return nullptr;
    return std::malloc(size ? size : 1);
}

void operator delete(void* block) noexcept
{
    if (g_recording && block && g_freedCount < kRecordCapacity)
        g_freed[g_freedCount++] = block;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    ::operator delete(block);
}
