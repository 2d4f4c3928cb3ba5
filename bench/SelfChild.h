#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>

#include <unistd.h>
#include <vector>

// This benchmark started again as a child process with the given arguments (for a part to kill at a
// chosen moment); the child's standard output comes back through *readFd. Returns the child's pid, or -1.
inline pid_t StartSelf(const QList<QByteArray>& args, int* readFd)
{
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
    // Built before the fork: the child only calls what is safe there.
    std::vector<char*> argv {const_cast<char*>(self.constData())};
    for (const QByteArray& arg : args)
        argv.push_back(const_cast<char*>(arg.constData()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    if (child < 0) {
        ::close(out[0]);
        return -1;
    }
    *readFd = out[0];
    return child;
}
