#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

// Arithmetic for the weighing engine, where every 32-bit result that would not
// fit is treated as a failed step: the caller skips the assignment instead of
// wrapping round or invoking undefined behaviour.
namespace checked {

inline std::optional<std::int32_t> narrow(std::int64_t v)
{
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

inline std::optional<std::int32_t> add(std::int32_t a, std::int32_t b)
{
    return narrow(std::int64_t {a} + b);
}

inline std::optional<std::int32_t> sub(std::int32_t a, std::int32_t b)
{
    return narrow(std::int64_t {a} - b);
}

// Integer division truncating toward zero; fails on a zero divisor or INT_MIN / -1.
inline std::optional<std::int32_t> div(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        return std::nullopt;
    return narrow(std::int64_t {a} / b);
}

// Double to 32-bit integer, nearest with ties to even; fails when out of range or not finite.
inline std::optional<std::int32_t> roundToInt32(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = std::nearbyint(v); // default rounding mode: to nearest, ties to even
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<std::int32_t>(r);
}

// a / b rounded to the nearest whole number, ties to even; b > 0.
inline std::int64_t divRoundHalfEven(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    std::int64_t r = a % b;
    if (r < 0) {
        r += b;
        q -= 1;
    }
    // now a = q * b + r with 0 <= r < b
    if (2 * r > b || (2 * r == b && (q % 2 != 0)))
        q += 1;
    return q;
}

} // namespace checked
