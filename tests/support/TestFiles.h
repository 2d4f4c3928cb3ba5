#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// Settings and scripts the tests write and read back whole. WriteBytes answers whether the file
// (and its folder, made as needed) was written whole, so a caller wraps it in QVERIFY and the test
// stops where the set-up failed.
inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size();
}

inline bool WriteFile(const QString& path, const QString& text)
{
    return WriteBytes(path, text.toUtf8());
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
