// Kills a writer of settings with SIGKILL at random moments and checks the file after each kill.
// The writer rewrites the general section and a carrier section of 100 keys, one key at a time,
// with the number of the round; at any moment the file must read whole, with every key holding
// the round being written or the one before, in the order they are written.
//   bench_killedwrites [kills]        (default 1000)
// Prints the kills made, the files found torn, empty or unreadable, and left-over files.
#include "IniFile.h"
#include "SelfChild.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kGeneral = u"_WGX_GENERAL"_s;
const QString kCarrier = u"_WGX_UPS"_s;
const QStringList kGeneralKeys {u"UNIT"_s, u"AUTO_LAUNCH"_s, u"DISPLAY"_s, u"TOP"_s, u"SKIN"_s};
constexpr int kCarrierKeys = 100;

QString CarrierKey(int i)
{
    return u"KEY_%1"_s.arg(i, 3, 10, QChar(u'0'));
}

// Every key in the order the writer writes it.
QList<std::pair<QString, QString>> AllKeys()
{
    QList<std::pair<QString, QString>> keys;
    for (const QString& key : kGeneralKeys)
        keys.append({kGeneral, key});
    for (int i = 0; i < kCarrierKeys; ++i)
        keys.append({kCarrier, CarrierKey(i)});
    return keys;
}

int Writer(const QString& path)
{
    IniFile ini;
    if (!ini.OpenFile(path))
        return 1;
    const auto keys = AllKeys();
    // Carry on where the last writer was killed: the first key still holding the round before.
    int round = ini.Section(kGeneral).Key(kGeneralKeys.first()).Value().toInt();
    qsizetype next = keys.size();
    for (qsizetype i = 0; round > 0 && i < keys.size(); ++i) {
        if (ini.Section(keys[i].first).Key(keys[i].second).Value().toInt() != round) {
            next = i;
            break;
        }
    }
    // Once a whole round is on disk, every moment from now on is a fair moment to be killed.
    bool announced = false;
    const auto announce = [&announced] {
        if (!announced) {
            std::puts("ready");
            std::fflush(stdout);
            announced = true;
        }
    };
    if (round > 0)
        announce();
    for (;;) {
        if (next == keys.size()) {
            if (round > 0)
                announce();
            ++round;
            next = 0;
        }
        if (!ini.Section(keys[next].first).Key(keys[next].second).SetValue(round))
            return 1;
        ++next;
    }
}

// Empty when the file is whole and consistent, otherwise what is wrong with it.
QString Check(const QString& path, int* round, bool* midRound)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return u"missing or unreadable"_s;
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return u"empty"_s;
    if (!data.endsWith('\n'))
        return u"torn: no line end at the end"_s;
    IniFile ini;
    if (!ini.OpenFile(path))
        return u"does not open: "_s + ini.LastError();
    // The values, in writing order, must be a run of the new round then a run of the old one.
    const auto keys = AllKeys();
    const int newest = ini.Section(keys.first().first).Key(keys.first().second).Value().toInt();
    bool inOld = false;
    for (const auto& [section, key] : keys) {
        bool ok = false;
        const int value = ini.Section(section).Key(key).Value().toInt(&ok);
        if (!ok)
            return u"%1/%2 not a number"_s.arg(section, key);
        if (value == newest - 1)
            inOld = true;
        else if (value != newest || inOld)
            return u"%1/%2 = %3 in round %4"_s.arg(section, key).arg(value).arg(newest);
    }
    *round = newest;
    *midRound = inOld;
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == u"--writer"_s)
        return Writer(args[2]);
    const int kills = args.size() > 1 ? args[1].toInt() : 1000;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(u"Data1.ini"_s);
    std::mt19937 random(std::random_device {}());
    // Up to about a sixth of a round: the general section and the first carrier keys.
    std::uniform_int_distribution<int> delayUs(0, 100000);
    int bad = 0;
    int lastRound = 0;
    int midRounds = 0;
    QElapsedTimer clock;
    clock.start();
    for (int kill = 0; kill < kills; ++kill) {
        int out = -1;
        const pid_t child = StartSelf({"--writer", path.toLocal8Bit()}, &out);
        if (child < 0)
            return 1;
        char ready[8] = {};
        const ssize_t got = ::read(out, ready, sizeof ready - 1);
        ::close(out);
        if (got <= 0) {
            std::fprintf(stderr, "writer %d did not start\n", kill);
            return 1;
        }
        ::usleep(static_cast<useconds_t>(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        int round = 0;
        bool midRound = false;
        const QString problem = Check(path, &round, &midRound);
        midRounds += midRound ? 1 : 0;
        if (!problem.isEmpty()) {
            ++bad;
            std::fprintf(stderr, "kill %d: %s\n", kill, qPrintable(problem));
        }
        lastRound = round;
    }
    // A kill between naming the temporary copy and renaming it leaves the copy; the next open
    // removes it once it is old enough. Aged here rather than waited for.
    const QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    const qsizetype copies = names.size() - 1;
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (name != u"Data1.ini"_s && file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime);
    }
    IniFile reopened;
    reopened.OpenFile(path);
    const qsizetype files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot).size();
    std::printf("killed writes: %d kills in %.1f s, %d files torn, empty or inconsistent, %lld temporary copies left "
                "(%lld after the next open), "
                "%d kills left a round half written, last round %d\n",
                kills, clock.elapsed() / 1000.0, bad, static_cast<long long>(copies), static_cast<long long>(files - 1),
                midRounds, lastRound);
    return bad == 0 && files == 1 ? 0 : 1;
}
