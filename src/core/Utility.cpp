#include "Utility.h"

#include <QUrl>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Utility {

QString AddPathSep(const QString& path)
{
    QString result = path;
    while (result.endsWith(u'/'))
        result.chop(1);
    return result + u'/';
}

double RoundDigits(double value, int digits)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return value;
    digits = digits < 0 ? 0 : (digits > 15 ? 15 : digits);
    // glibc's printf converts from the exact binary value and, in the default
    // rounding mode, breaks exact decimal ties to even; scaling by a power of ten
    // first would round twice and get cases like 2.675 wrong.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", digits, value);
    return std::strtod(buffer, nullptr);
}

QString OriginOf(const QString& address)
{
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return QStringLiteral("file://");
    if (scheme.isEmpty() || url.host().isEmpty())
        return {};
    const int defaultPort = scheme == QLatin1String("https") ? 443 : scheme == QLatin1String("http") ? 80 : -1;
    const int port = url.port(defaultPort);
    QString origin = scheme + QStringLiteral("://") + url.host(QUrl::FullyEncoded);
    if (port >= 0)
        origin += u':' + QString::number(port);
    return origin;
}

} // namespace Utility
