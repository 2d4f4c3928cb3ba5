#pragma once

#include <QString>

// Small helpers that several windows share.
namespace Utility {

// The folder path with exactly one trailing '/' (an empty path gives "/").
QString AddPathSep(const QString& path);
// Rounds to `digits` decimals (0 to 15), ties to even, judged on the exact decimal
// value of the double: 2.675 is stored as 2.67499999... and gives 2.67, while
// 0.125 is an exact tie and gives 0.12. Values beyond 1e15 and non-finite values
// come back unchanged; a digit count outside 0 to 15 is clamped.
double RoundDigits(double value, int digits);
// The origin of an address as the browser judges it: scheme, host and port, the port written out even
// where it is the scheme's default ("https://a.test:443"). Empty for an address without a host that is
// not a file address.
QString OriginOf(const QString& address);

} // namespace Utility
