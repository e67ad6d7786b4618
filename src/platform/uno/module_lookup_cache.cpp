// Loaded into the office (LD_PRELOAD) with the other guards. For every
// document it loads, the office asks the dynamic linker a few dozen times
// which module one of its own functions lives in (osl_loadModuleRelative ->
// osl_getModuleURLFromAddress -> dladdr). dladdr answers by walking every
// symbol the module exports, and the office's main module exports tens of
// thousands: on a small spreadsheet that walk was a tenth of the office's
// time. What dladdr says of an address does not change while the module that
// holds it stays loaded, so the answers are kept here, each one given again
// only while the same module still holds the address.

#include <dlfcn.h>
#include <link.h>
#include <mutex>

namespace {

struct Answer {
    const void* address = nullptr;
    void* module = nullptr;  // the link map that held the address
    Dl_info info{};
};

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
            if (answer.address == address && answer.module == found.dlfo_link_map) {
                *info = answer.info;
                return 1;
            }
        }
    }
    const int result = real(address, info);
    if (result != 0) {
        std::lock_guard lock(answersMutex);
        answers[nextAnswer] = Answer{address, found.dlfo_link_map, *info};
        nextAnswer = (nextAnswer + 1) % kAnswers;
    }
    return result;
}
