// Loaded into the office (LD_PRELOAD) when it runs under a memory limit. The
// first allocation that the limit refuses is noted on the office's standard
// error, which is its log: a file that needs more memory than the office may
// have can then be told from a broken one, even when the office copes with
// the refusal and only reports that the file could not be loaded.
//
// It must not allocate: it stands in for the allocator.

#include "platform/uno/office_guard.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <unistd.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* old, size_t size);
}

namespace {

using platform::uno::kMemoryRefusedNote;
constexpr char kAllocation[] = ": an allocation of ";
constexpr char kEnd[] = " bytes was refused\n";

void Note(size_t size)
{
    static std::atomic<bool> noted{false};
    if (noted.exchange(true))
        return;
    const int savedError = errno;
    char digits[24];
    size_t first = sizeof digits;
    do {
        digits[--first] = char('0' + size % 10);
        size /= 10;
    } while (size > 0 && first > 0);
    [[maybe_unused]] ssize_t written = ::write(2, kMemoryRefusedNote, sizeof kMemoryRefusedNote - 1);
    written = ::write(2, kAllocation, sizeof kAllocation - 1);
    written = ::write(2, digits + first, sizeof digits - first);
    written = ::write(2, kEnd, sizeof kEnd - 1);
    errno = savedError;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void* malloc(size_t size)
{
    void* memory = __libc_malloc(size);
    if (!memory && size > 0)
        Note(size);
    return memory;
}

__attribute__((visibility("default"))) void* calloc(size_t count, size_t size)
{
    void* memory = __libc_calloc(count, size);
    if (!memory && count > 0 && size > 0)
        Note(count * size);
    return memory;
}

__attribute__((visibility("default"))) void* realloc(void* old, size_t size)
{
    void* memory = __libc_realloc(old, size);
    if (!memory && size > 0)
        Note(size);
    return memory;
}

}  // extern "C"
