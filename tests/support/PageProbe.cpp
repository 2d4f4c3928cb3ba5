#include "PageProbe.h"

#include "HtmlDocument.h"
#include "HtmlElement.h"
#include "MFieldKey.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace PageProbe {

QString Read(HtmlDocument* top, const QString& check)
{
    const bool inFrame = check.size() > 2 && check.at(1) == u':';
    const std::shared_ptr<HtmlDocument> frame = inFrame && top ? top->Frame(check.left(1).toInt()) : nullptr;
    HtmlDocument* document = inFrame ? frame.get() : top;
    const QString rest = inFrame ? check.mid(2) : check;
    const qsizetype eq = rest.indexOf(u'=');
    // "#", "?" or "@" before the "=" says what to read; the value otherwise.
    const QChar kind = eq > 0 && u"#?@"_s.contains(rest.at(eq - 1)) ? rest.at(eq - 1) : u'=';
    QString key = rest.left(kind == u'=' ? eq : eq - 1);
    const QString head = check.left(check.size() - rest.size()) + rest.left(eq + 1);
    if (!key.contains(u"_wgx_"_s)) {
        static const QRegularExpression member(u"^(\\w+)\\[(\\d+)\\]$"_s);
        const auto group = member.match(key);
        key = group.hasMatch() ? MFieldKey::FormatKey(group.captured(2).toInt() + 1, group.captured(1))
                               : MFieldKey::FormatKey(0, key);
    }
    const auto element = MFieldKey::ElementByKey(document, key);
    if (!element)
        return head + u"<missing>"_s;
    QString value = u"<error>"_s;
    if (kind == u'#') {
        if (const auto index = element->SelectedIndex())
            value = QString::number(*index);
    } else if (kind == u'?') {
        if (const auto checked = element->Checked())
            value = *checked ? u"true"_s : u"false"_s;
    } else if (kind == u'@') {
        QStringList selected;
        for (int i = 0; i < 64; ++i) {
            const auto on = element->OptionSelected(i);
            if (!on)
                break;
            if (*on)
                selected.append(QString::number(i));
        }
        value = selected.join(u',');
    } else if (const auto text = element->Value()) {
        value = *text;
    }
    return head + value;
}

QStringList Mismatches(HtmlDocument* top, const QString& checks, QChar separator)
{
    QStringList wrong;
    for (const QString& check : checks.split(separator, Qt::SkipEmptyParts)) {
        const QString found = Read(top, check);
        if (found != check)
            wrong.append(check + u" -> "_s + found);
    }
    return wrong;
}

} // namespace PageProbe
