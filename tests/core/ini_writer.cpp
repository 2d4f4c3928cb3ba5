// Writes the same two keys over and over until it is killed; the settings test
// kills it at an arbitrary moment and checks that the file is still whole.
#include "IniFile.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

namespace {

QString dataFor(int round)
{
    return QString(20000, QChar(u'a' + round % 26)) + QString::number(round);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    IniFile ini;
    if (!ini.OpenFile(QString::fromLocal8Bit(argv[1])))
        return 1;
    IniSection state = ini.Section(QStringLiteral("STATE"));
    for (int round = 1; round < 1000000; ++round) {
        if (!state.Key(QStringLiteral("COUNT")).SetValue(round))
            return 1;
        if (!state.Key(QStringLiteral("DATA")).SetValue(dataFor(round)))
            return 1;
        if (round == 1) {
            std::puts("started");
            std::fflush(stdout);
        }
    }
    return 0;
}
