#pragma once

#include <QString>

#include <optional>

// How every reader of the settings turns stored text into numbers and flags, and
// how flags are written, so that all windows agree on what a value means.
struct IniValue
{
    // The leading numeric part of the text (blanks before it skipped; sign, digits,
    // a decimal point and an exponent accepted); empty or non-numeric text gives 0.
    static double ToNumber(const QString& text);
    // ToNumber rounded to the nearest whole number, ties to even; nullopt when the
    // result does not fit a signed 16-bit integer.
    static std::optional<qint16> ToInt16(const QString& text);
    // Any number other than 0 is true.
    static bool ToFlag(const QString& text);
    static QString FromFlag(bool flag);
};
