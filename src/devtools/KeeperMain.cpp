#include "BrowserKeeper.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
bool ReadMs(const char* option, const char* text, int* ms)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > 24L * 3600 * 1000) {
        std::fprintf(stderr, "pesavo-browser-keeper: %s takes milliseconds, not %s\n", option, text);
        return false;
    }
    *ms = int(value);
    return true;
}
} // namespace

// pesavo-browser-keeper --socket PATH [--idle-exit-ms N] [--windowless-exit-ms N] -- BROWSER ARGS...
int main(int argc, char** argv)
{
    std::string socketPath;
    int idleExitMs = 0;
    int windowlessExitMs = 0;
    std::vector<std::string> command;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--socket") == 0 && i + 1 < argc) {
            socketPath = argv[++i];
        } else if (std::strcmp(argv[i], "--idle-exit-ms") == 0 && i + 1 < argc) {
            if (!ReadMs(argv[i], argv[i + 1], &idleExitMs))
                return 2;
            ++i;
        } else if (std::strcmp(argv[i], "--windowless-exit-ms") == 0 && i + 1 < argc) {
            if (!ReadMs(argv[i], argv[i + 1], &windowlessExitMs))
                return 2;
            ++i;
        } else if (std::strcmp(argv[i], "--") == 0) {
            command.assign(argv + i + 1, argv + argc);
            break;
        }
    }
    if (socketPath.empty() || command.empty()) {
        std::fprintf(stderr,
                     "usage: pesavo-browser-keeper --socket PATH [--idle-exit-ms N] [--windowless-exit-ms N] "
                     "-- BROWSER ARGS...\n");
        return 2;
    }
    // Whatever descriptors Pesavo left open (a scale device, its own sockets) must not stay open for as
    // long as the browser lives.
    ::close_range(3, ~0U, 0);
    // Our own session: closing Pesavo's terminal or its process group must not take the browser along.
    ::setsid();
    BrowserKeeper keeper(socketPath, idleExitMs, std::move(command), windowlessExitMs);
    return keeper.Run();
}
