// The library loaded into every office, called as the office calls it.
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

using Lookup = int (*)(const void*, Dl_info*);

class OfficeGuardLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Its own name for dladdr, beside the one the system gives.
        guard_ = dlopen(QUILLMERE_PROGRAM_DIR "/quillmere_office_guard.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(guard_, nullptr) << dlerror();
        kept_ = reinterpret_cast<Lookup>(dlsym(guard_, "dladdr"));
        ASSERT_NE(kept_, nullptr);
    }
    void TearDown() override
    {
        if (guard_)
            dlclose(guard_);
    }

    static std::string Describe(Lookup lookup, const void* address)
    {
        Dl_info info{};
        if (lookup(address, &info) == 0)
            return "nothing";
        return std::string(info.dli_fname ? info.dli_fname : "?") + " " + (info.dli_sname ? info.dli_sname : "?") +
               " " + std::to_string(reinterpret_cast<quintptr>(info.dli_fbase)) + " " +
               std::to_string(reinterpret_cast<quintptr>(info.dli_saddr));
    }

    void* guard_ = nullptr;
    Lookup kept_ = nullptr;
};

TEST_F(OfficeGuardLibrary, ModuleLookupsAnswerAsTheLinkerDoesAskedOnceOrAgain)
{
    const int onTheStack = 0;
    const void* addresses[] = {reinterpret_cast<const void*>(&dlopen), reinterpret_cast<const void*>(&qVersion),
                               reinterpret_cast<const void*>(&Describe), &onTheStack, nullptr};
    for (int round = 0; round < 3; ++round)
        for (const void* address : addresses)
            EXPECT_EQ(Describe(kept_, address), Describe(&dladdr, address)) << round;
}

TEST_F(OfficeGuardLibrary, AnAddressThatAnotherModuleHoldsNowIsLookedUpAnew)
{
    // One module's function address, asked again while a second module sits where the first was.
    const std::pair<const char*, const char*> modules[] = {{"libbz2.so.1.0", "BZ2_bzlibVersion"},
                                                           {"libsqlite3.so.0", "sqlite3_libversion"}};
    for (int first = 0; first < 2; ++first) {
        void* module = dlopen(modules[first].first, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        const void* function = dlsym(module, modules[first].second);
        EXPECT_EQ(Describe(kept_, function), Describe(&dladdr, function));
        dlclose(module);
        for (int next : {1 - first, first}) {
            void* other = dlopen(modules[next].first, RTLD_NOW | RTLD_LOCAL);
            ASSERT_NE(other, nullptr) << dlerror();
            EXPECT_EQ(Describe(kept_, function), Describe(&dladdr, function)) << modules[next].first;
            dlclose(other);
        }
    }
}

TEST_F(OfficeGuardLibrary, AFileIsNeverWrittenThroughALinkAtItsNameButIsReadThroughOne)
{
    QTemporaryDir folder;
    const std::string victim = folder.filePath("victim.txt").toStdString();
    const std::string link = folder.filePath("a.xls").toStdString();
    ASSERT_TRUE(QFile(QString::fromStdString(victim)).open(QIODevice::WriteOnly));
    ASSERT_EQ(::symlink(victim.c_str(), link.c_str()), 0);
    using Open = int (*)(const char*, int, ...);
    const auto guardedOpen = reinterpret_cast<Open>(dlsym(guard_, "open"));
    ASSERT_NE(guardedOpen, nullptr);
    qputenv("QUILLMERE_READABLE_ROOTS", "/");
    for (const int flags : {O_RDWR, O_WRONLY | O_TRUNC, O_WRONLY | O_CREAT}) {
        errno = 0;
        EXPECT_EQ(guardedOpen(link.c_str(), flags, 0644), -1) << flags;
        EXPECT_EQ(errno, ELOOP) << flags;
    }
    const int read = guardedOpen(link.c_str(), O_RDONLY);
    EXPECT_GE(read, 0);
    ::close(read);
    const int device = guardedOpen("/dev/stdout", O_WRONLY);
    EXPECT_GE(device, 0);
    ::close(device);
    qunsetenv("QUILLMERE_READABLE_ROOTS");
}

}  // namespace
