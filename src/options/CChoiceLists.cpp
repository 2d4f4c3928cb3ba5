#include "CChoiceLists.h"

#include <QDebug>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <array>

namespace {

constexpr int ListCount = 6;

const char* const Keys[ListCount] = {"fedex", "upsOrigin", "upsDestination", "upsCurrency", "dhl", "uspsInternational"};

std::array<QStringList, ListCount> ReadLists()
{
    std::array<QStringList, ListCount> lists;
    QFile file(QStringLiteral(":/pesavo/choicelists.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "choice lists:" << file.errorString();
        return lists;
    }
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError) {
        qWarning().noquote() << "choice lists:" << error.errorString();
        return lists;
    }
    const QJsonObject root = document.object();
    for (int i = 0; i < ListCount; ++i) {
        const QJsonArray entries = root.value(QLatin1String(Keys[i])).toArray();
        lists[i].reserve(entries.size());
        for (const QJsonValue& entry : entries)
            lists[i].append(entry.toString());
    }
    return lists;
}

} // namespace

const QStringList& CChoiceLists::Entries(List list)
{
    static const std::array<QStringList, ListCount> lists = ReadLists();
    return lists[static_cast<int>(list)];
}
