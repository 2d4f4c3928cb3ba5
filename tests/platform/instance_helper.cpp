// A stand-in program for the single-instance tests: it runs the real check and
// then behaves as a healthy, hung or crashed instance, or as a foreign listener.
//   instance_helper serve|hang|crash|check|foreign|silent
// Prints "primary" or "running" after the check, "second" for every later start
// it answers.
#include "SingleInstance.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

void say(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Listens on our name without speaking our protocol.
int foreign(QCoreApplication& app, bool answers)
{
    QLocalServer::removeServer(SingleInstance::DefaultSocketPath());
    QLocalServer server;
    if (!server.listen(SingleInstance::DefaultSocketPath()))
        return 1;
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server, answers] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            if (answers)
                socket->write("hello\n");
        }
    });
    say("listening");
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const char* mode = argv[1];
    if (std::strcmp(mode, "foreign") == 0 || std::strcmp(mode, "silent") == 0)
        return foreign(app, std::strcmp(mode, "foreign") == 0);

    SingleInstance instance;
    const SingleInstance::Result result = instance.Acquire();
    say(result == SingleInstance::Result::Primary ? "primary" : "running");
    if (result != SingleInstance::Result::Primary || std::strcmp(mode, "check") == 0)
        return 0;
    if (std::strcmp(mode, "hang") == 0) {
        ::raise(SIGSTOP);
        // Continued only to be terminated; never answer again.
        for (;;)
            ::pause();
    }
    if (std::strcmp(mode, "crash") == 0)
        ::_exit(3);
    return app.exec();
}
