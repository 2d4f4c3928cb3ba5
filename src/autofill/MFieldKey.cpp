#include "MFieldKey.h"

#include "HtmlDocument.h"
#include "HtmlElement.h"

#include <tuple>

using namespace Qt::StringLiterals;

namespace MFieldKey {

namespace {
const QString kMarker = u"_wgx_"_s;
const QString kShadow = u"_wgx_shadow"_s;
} // namespace

QString FormatKey(int number, const QString& name, const QString& shadowPath)
{
    return QString::number(number) + kMarker + GroupKey(name, shadowPath);
}

QString GroupKey(const QString& name, const QString& shadowPath)
{
    return shadowPath.isEmpty() ? name : name + kShadow + shadowPath;
}

std::pair<QString, QString> ParseGroupKey(const QString& key)
{
    // The last one: a path never holds the marker (tags have no "_wgx_"), a name might.
    const qsizetype at = key.lastIndexOf(kShadow + u'/');
    if (at < 0)
        return {key, QString()};
    return {key.left(at), key.mid(at + kShadow.size())};
}

KeyParts ParseKey(const QString& key)
{
    KeyParts parts;
    qsizetype digits = 0;
    while (digits < key.size() && key.at(digits).isDigit() && key.at(digits).unicode() < 128)
        ++digits;
    bool ok = false;
    const int number = key.left(digits).toInt(&ok);
    parts.number = ok ? number : 0;
    const qsizetype marker = key.indexOf(kMarker);
    if (marker >= 0)
        std::tie(parts.name, parts.shadow) = ParseGroupKey(key.mid(marker + kMarker.size()));
    return parts;
}

QString ElementKey(HtmlDocument* document, HtmlElement* element)
{
    if (!document || !element)
        return {};
    const auto name = element->Name();
    if (!name)
        return {};
    int number = 0;
    const auto same = document->ElementsByName(*name);
    const int count = same ? same->Length() : 0;
    if (count != 1) {
        const auto id = element->UniqueId();
        for (int i = 0; i < count; ++i) {
            ++number;
            const auto member = same->Item(i);
            if (member && id && member->UniqueId() == id)
                break;
        }
    }
    return FormatKey(number, *name);
}

std::shared_ptr<HtmlElement> ElementByKey(HtmlDocument* document, const QString& key)
{
    if (!document)
        return nullptr;
    const KeyParts parts = ParseKey(key);
    if (parts.name.isEmpty() || !parts.shadow.isEmpty())
        return nullptr;
    if (parts.number == 0) {
        auto element = document->All(parts.name);
        return element && element->Length() == 1 ? element : nullptr;
    }
    const auto same = document->ElementsByName(parts.name);
    return same ? same->Item(parts.number - 1) : nullptr;
}

bool IsWeightCode(const QString& text)
{
    const QString code = text.toLower();
    return code == u"kg"_s || code == u"g"_s || code == u"lb"_s || code == u"oz"_s;
}

} // namespace MFieldKey
