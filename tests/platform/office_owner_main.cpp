// A program that starts an office through the bridge, says which one, and
// then ends in the way its argument names: "return", "exit" or "kill" (a
// SIGKILL to itself, so that no code of ours runs at the end). With a folder
// as its second argument, it tells the bridge that the office writes there,
// and waits for a line on its input before it ends.
#include "platform/uno/office_bridge.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[])
{
    const char* how = argc > 1 ? argv[1] : "return";
    platform::uno::OfficeBridge bridge;
    try {
        bridge.CreateObject(QStringLiteral("com.sun.star.ServiceManager"));
    } catch (const platform::Failure& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 2;
    }
    std::printf("%s\n%s\n%lld\n", bridge.pipeName().toLocal8Bit().constData(),
                bridge.profilePath().toLocal8Bit().constData(), static_cast<long long>(bridge.officeProcessId()));
    std::fflush(stdout);
    if (argc > 2) {
        bridge.WillWrite(QString::fromLocal8Bit(argv[2]) + QStringLiteral("/out.xls"));
        char line[16];
        if (!std::fgets(line, sizeof line, stdin))
            return 3;
    }
    if (std::strcmp(how, "kill") == 0)
        std::raise(SIGKILL);
    if (std::strcmp(how, "exit") == 0)
        std::exit(0);
    return 0;
}
