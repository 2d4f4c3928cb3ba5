#include "CReplay.h"
#include "MMain.h"

#include <QCoreApplication>

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: pesavo [/s] [--simulate[=FILE]]\n"
                 "       pesavo --replay FILE|-\n"
                 "       pesavo --print [--simulate[=FILE]]\n"
                 "       pesavo --record FILE [--simulate[=FILE]]\n";
    return 2;
}

int replay(const std::string& path)
{
    if (path == "-")
        return CReplay::Run(std::cin, std::cout, std::cerr);
    std::ifstream in(path);
    if (!in) {
        std::cerr << "replay: cannot open " << path << ": " << std::strerror(errno) << '\n';
        return 2;
    }
    return CReplay::Run(in, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv)
{
    std::ios::sync_with_stdio(false);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--replay") {
            if (i + 1 >= argc)
                return usage();
            return replay(argv[i + 1]);
        }
    }
    return MMain::Run(argc, argv);
}
