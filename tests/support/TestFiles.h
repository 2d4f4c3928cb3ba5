#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Settings and scripts the tests write and read back whole. WriteFile answers whether the file
// was written, so a caller wraps it in QVERIFY and the test stops where the set-up failed.
inline bool WriteFile(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8()) >= 0;
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
