// Loaded into the office (LD_PRELOAD) beside the memory note. The office may
// read the files of the system and of its own profile, and the documents we
// give it, and no other: a document's links to pictures or other files
// elsewhere on this machine are refused instead of read, so that a file of
// unknown origin cannot have the office read the user's own files. Nor does
// it write through a symbolic link standing at the name it writes.
//
// QUILLMERE_READABLE_ROOTS: folders, separated by ':', that may always be
// read. QUILLMERE_READABLE_LIST: a file that we rewrite before each document,
// each entry ended by a NUL byte, since a name may hold a newline: "file
// PATH" may be read, and in "folder PATH" the office may read back the
// temporary files of its saves ("lu...tmp").
// Without the first variable nothing is refused.

#include "platform/uno/office_guard.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool Within(const std::string& path, const std::string& folder)
{
    if (folder.empty())
        return false;
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    return path.compare(0, prefix.size(), prefix) == 0;
}

bool UnderRoots(const std::string& path, const char* roots)
{
    for (const char* start = roots; *start;) {
        const char* end = std::strchr(start, ':');
        const std::string folder(start, end ? size_t(end - start) : std::strlen(start));
        if (Within(path, folder))
            return true;
        if (!end)
            break;
        start = end + 1;
    }
    return false;
}

bool Listed(const std::string& path, const char* listPath)
{
    const int fd = int(syscall(SYS_openat, AT_FDCWD, listPath, O_RDONLY | O_CLOEXEC));
    if (fd < 0)
        return false;
    std::string list;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        list.append(buffer, size_t(got));
    ::close(fd);
    const size_t slash = path.rfind('/');
    const std::string name = path.substr(slash + 1);
    const bool saveTemporary = name.compare(0, 2, "lu") == 0 && name.size() > 6 &&
                               name.compare(name.size() - 4, 4, ".tmp") == 0;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string line = list.substr(start, end - start);
        if (line.compare(0, 5, "file ") == 0 && line.substr(5) == path)
            return true;
        if (saveTemporary && line.compare(0, 7, "folder ") == 0 && line.substr(7) == path.substr(0, slash))
            return true;
        start = end + 1;
    }
    return false;
}

// Whether the office may open path with flags. Writing is not what this
// guards against; nor is listing a folder.
bool MayOpen(const char* path, int flags)
{
    const char* roots = std::getenv(platform::uno::kReadableRootsVariable);
    if (!roots || !path || (flags & (O_WRONLY | O_RDWR | O_CREAT | O_DIRECTORY)))
        return true;
    // Most opens are of the system's own files, under folders only root (or we)
    // can put links in: those need no look at where the path leads.
    if (path[0] == '/' && !std::strstr(path, "/.") && UnderRoots(path, roots))
        return true;
    char resolved[PATH_MAX];
    // What does not exist cannot be read; "..", and links, are followed to where they lead.
    if (!::realpath(path, resolved))
        return true;
    const std::string real(resolved);
    if (UnderRoots(real, roots))
        return true;
    const char* list = std::getenv(platform::uno::kReadableListVariable);
    return list && Listed(real, list);
}

bool MayOpenStream(const char* path, const char* mode)
{
    return !mode || mode[0] != 'r' || std::strchr(mode, '+') || MayOpen(path, O_RDONLY);
}

// A file opened for writing is never reached through a link standing at its
// name: the office would write where the link leads, a file outside the
// folder it was told to write in. The system's devices keep their links.
int WriteFlags(const char* path, int flags)
{
    const bool writing = (flags & (O_WRONLY | O_RDWR | O_CREAT)) != 0;
    if (!writing || !path || !std::getenv(platform::uno::kReadableRootsVariable) ||
        std::strncmp(path, "/dev/", 5) == 0 || std::strncmp(path, "/proc/", 6) == 0)
        return flags;
    return flags | O_NOFOLLOW;
}

int GuardedOpen(const char* path, int flags, mode_t mode)
{
    if (!MayOpen(path, flags)) {
        errno = EACCES;
        return -1;
    }
    flags = WriteFlags(path, flags);
    return int(syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

using FileOpener = FILE* (*)(const char*, const char*);

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(arguments, int)) : 0;
    va_end(arguments);
    return GuardedOpen(path, flags, mode);
}

// The same function under its large-file name.
__attribute__((visibility("default"), alias("open"))) int open64(const char* path, int flags, ...);

__attribute__((visibility("default"))) FILE* fopen(const char* path, const char* mode)
{
    static const auto real = reinterpret_cast<FileOpener>(dlsym(RTLD_NEXT, "fopen"));
    if (!MayOpenStream(path, mode)) {
        errno = EACCES;
        return nullptr;
    }
    return real(path, mode);
}

__attribute__((visibility("default"))) FILE* fopen64(const char* path, const char* mode) { return fopen(path, mode); }

}  // extern "C"
