#include "HidReportDescriptor.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <cstdint>

namespace {

// Short-item prefixes with the size bits masked off (HID 1.11, 6.2.2.4 ff.).
constexpr std::uint8_t ItemUsagePage = 0x04;
constexpr std::uint8_t ItemUsage = 0x08;
constexpr std::uint8_t ItemInput = 0x80;
constexpr std::uint8_t ItemReportSize = 0x74;
constexpr std::uint8_t ItemReportId = 0x84;
constexpr std::uint8_t ItemReportCount = 0x94;
constexpr std::uint8_t ItemPush = 0xA4;
constexpr std::uint8_t ItemPop = 0xB4;
constexpr std::uint8_t LongItemPrefix = 0xFE;

// A hostile descriptor could declare absurd sizes; nothing real comes near this.
constexpr std::int64_t MaxReportBits = 8 * 4096;

struct GlobalState
{
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

} // namespace

HidReportDescriptor HidReportDescriptor::Parse(const QByteArray& descriptor)
{
    HidReportDescriptor result;
    GlobalState state;
    QList<GlobalState> stack;
    QHash<std::uint32_t, std::int64_t> inputBits;

    const auto* bytes = reinterpret_cast<const std::uint8_t*>(descriptor.constData());
    const qsizetype length = descriptor.size();
    qsizetype pos = 0;
    while (pos < length) {
        const std::uint8_t prefix = bytes[pos];
        if (prefix == LongItemPrefix) {
            // Long items carry vendor data only; skip them whole.
            if (pos + 2 >= length) {
                result.mTruncated = true;
                break;
            }
            const qsizetype dataSize = bytes[pos + 1];
            pos += 3 + dataSize;
            if (pos > length)
                result.mTruncated = true;
            continue;
        }
        const qsizetype dataSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (pos + 1 + dataSize > length) {
            result.mTruncated = true;
            break;
        }
        std::uint32_t value = 0;
        for (qsizetype i = 0; i < dataSize; ++i)
            value |= std::uint32_t(bytes[pos + 1 + i]) << (8 * i);
        pos += 1 + dataSize;

        switch (prefix & 0xFC) {
        case ItemUsagePage:
            if (!result.mUsagePages.contains(value & 0xFFFF))
                result.mUsagePages.append(value & 0xFFFF);
            break;
        case ItemUsage:
            // A four-byte usage names its page in the upper half.
            if (dataSize == 4 && !result.mUsagePages.contains(value >> 16))
                result.mUsagePages.append(value >> 16);
            break;
        case ItemReportSize:
            state.reportSize = value;
            break;
        case ItemReportCount:
            state.reportCount = value;
            break;
        case ItemReportId:
            result.mUsesReportIds = true;
            state.reportId = value;
            break;
        case ItemPush:
            stack.append(state);
            break;
        case ItemPop:
            if (!stack.isEmpty())
                state = stack.takeLast();
            break;
        case ItemInput: {
            std::int64_t& bits = inputBits[state.reportId];
            // Each factor bounded first: two 32-bit fields multiplied overflow even 64 bits.
            bits = std::min(MaxReportBits,
                            bits
                                + std::min<std::int64_t>(state.reportSize, MaxReportBits)
                                    * std::min<std::int64_t>(state.reportCount, MaxReportBits));
            break;
        }
        default:
            break;
        }
    }

    std::int64_t longest = 0;
    for (const std::int64_t bits : std::as_const(inputBits))
        longest = std::max(longest, bits);
    result.mInputReportBytes = int((longest + 7) / 8);
    return result;
}
