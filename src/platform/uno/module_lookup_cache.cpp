// Loaded into the office (LD_PRELOAD) with the other guards. For every
// document it loads, the office asks the dynamic linker a few dozen times
// which module one of its own functions lives in (osl_loadModuleRelative ->
// osl_getModuleURLFromAddress -> dladdr). dladdr answers by walking every
// symbol the module exports, and the office's main module exports tens of
// thousands: on a small spreadsheet that walk was a tenth of the office's
// time. What dladdr says of an address does not change while the module that
// holds it stays loaded, so the answers are kept here, each one given again
// only while the same module still holds the address.

#include <climits>
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <mutex>

namespace {

struct Answer {
    const void* address = nullptr;
    // The module that held the address: its link map, where it was mapped, and its file.
    void* module = nullptr;
    void* start = nullptr;
    void* end = nullptr;
    char file[PATH_MAX] = {};
    Dl_info info{};
};

// Whether the module that holds an address now is the one an answer was given for.
bool SameModule(const Answer& answer, const dl_find_object& found)
{
    const char* file = static_cast<const link_map*>(found.dlfo_link_map)->l_name;
    return answer.module == found.dlfo_link_map && answer.start == found.dlfo_map_start &&
           answer.end == found.dlfo_map_end && file && std::strcmp(answer.file, file) == 0;
}

constexpr int kAnswers = 64;
Answer answers[kAnswers];
int nextAnswer = 0;
std::mutex answersMutex;

using Lookup = int (*)(const void*, Dl_info*);

}  // namespace

extern "C" __attribute__((visibility("default"))) int dladdr(const void* address, Dl_info* info)
{
    static const auto real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "dladdr"));
    dl_find_object found{};
    if (_dl_find_object(const_cast<void*>(address), &found) != 0)
        return real(address, info);
    {
        std::lock_guard lock(answersMutex);
        for (const Answer& answer : answers) {
            if (answer.address == address && SameModule(answer, found)) {
                *info = answer.info;
                // A module's name is its link map's (the same text, but that of the map loaded now);
                // the program's own is the one it was started by, which stays.
                if (const char* file = static_cast<const link_map*>(found.dlfo_link_map)->l_name; *file)
                    info->dli_fname = file;
                return 1;
            }
        }
    }
    const int result = real(address, info);
    const char* file = static_cast<const link_map*>(found.dlfo_link_map)->l_name;
    const size_t length = file ? std::strlen(file) : PATH_MAX;
    if (result != 0 && length < PATH_MAX) {
        std::lock_guard lock(answersMutex);
        Answer& answer = answers[nextAnswer];
        answer.address = address;
        answer.module = found.dlfo_link_map;
        answer.start = found.dlfo_map_start;
        answer.end = found.dlfo_map_end;
        std::memcpy(answer.file, file, length + 1);
        answer.info = *info;
        nextAnswer = (nextAnswer + 1) % kAnswers;
    }
    return result;
}
