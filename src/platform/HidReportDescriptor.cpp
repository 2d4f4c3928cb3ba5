#include "HidReportDescriptor.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace {

// Short-item prefixes with the size bits masked off (HID 1.11, 6.2.2.4 ff.).
constexpr std::uint8_t ItemUsagePage = 0x04;
constexpr std::uint8_t ItemUsage = 0x08;
constexpr std::uint8_t ItemUsageMinimum = 0x18;
constexpr std::uint8_t ItemUsageMaximum = 0x28;
constexpr std::uint8_t ItemInput = 0x80;
constexpr std::uint8_t ItemOutput = 0x90;
constexpr std::uint8_t ItemCollection = 0xA0;
constexpr std::uint8_t ItemFeature = 0xB0;
constexpr std::uint8_t ItemEndCollection = 0xC0;
constexpr std::uint8_t ItemReportSize = 0x74;
constexpr std::uint8_t ItemReportId = 0x84;
constexpr std::uint8_t ItemReportCount = 0x94;
constexpr std::uint8_t ItemPush = 0xA4;
constexpr std::uint8_t ItemPop = 0xB4;
constexpr std::uint8_t LongItemPrefix = 0xFE;

constexpr std::uint32_t GenericDesktopPage = 0x01;
constexpr std::uint32_t KeyboardPage = 0x07;

// A hostile descriptor could declare absurd sizes; nothing real comes near this.
constexpr std::int64_t MaxReportBits = 8 * 4096;

struct GlobalState
{
    std::uint32_t usagePage = 0;
    std::uint32_t reportSize = 0;
    std::uint32_t reportCount = 0;
    std::uint32_t reportId = 0;
};

// Mouse, Keyboard and Keypad on the Generic Desktop page.
bool IsKeyboardOrMouseUsage(std::uint32_t usage)
{
    return usage == 0x02 || usage == 0x06 || usage == 0x07;
}

} // namespace

HidReportDescriptor HidReportDescriptor::Parse(std::string_view descriptor)
{
    HidReportDescriptor result;
    GlobalState state;
    std::vector<GlobalState> stack;
    std::map<std::uint32_t, std::int64_t> inputBits;
    // A short usage takes the usage page in force at the next main item, which the
    // kernel applies to it even when the Usage Page item comes after the usage.
    bool pendingKeyboardOrMouse = false;

    const auto notePage = [&result](std::uint32_t page) {
        if (!result.HasUsagePage(page))
            result.mUsagePages.push_back(page);
        if (page == KeyboardPage)
            result.mKeyboardOrMouse = true;
    };

    const auto* bytes = reinterpret_cast<const std::uint8_t*>(descriptor.data());
    const std::size_t length = descriptor.size();
    std::size_t pos = 0;
    while (pos < length) {
        const std::uint8_t prefix = bytes[pos];
        if (prefix == LongItemPrefix) {
            // Long items carry vendor data only; skip them whole.
            if (pos + 2 >= length) {
                result.mTruncated = true;
                break;
            }
            const std::size_t dataSize = bytes[pos + 1];
            pos += 3 + dataSize;
            if (pos > length)
                result.mTruncated = true;
            continue;
        }
        const std::size_t dataSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        if (pos + 1 + dataSize > length) {
            result.mTruncated = true;
            break;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < dataSize; ++i)
            value |= std::uint32_t(bytes[pos + 1 + i]) << (8 * i);
        pos += 1 + dataSize;

        switch (prefix & 0xFC) {
        case ItemUsagePage:
            state.usagePage = value & 0xFFFF;
            notePage(state.usagePage);
            if (state.usagePage == GenericDesktopPage && pendingKeyboardOrMouse)
                result.mKeyboardOrMouse = true;
            break;
        case ItemUsage:
        case ItemUsageMinimum:
        case ItemUsageMaximum:
            // A four-byte usage names its page in the upper half.
            if (dataSize == 4) {
                notePage(value >> 16);
                if (value >> 16 == GenericDesktopPage && (prefix & 0xFC) == ItemUsage
                    && IsKeyboardOrMouseUsage(value & 0xFFFF))
                    result.mKeyboardOrMouse = true;
            } else if ((prefix & 0xFC) == ItemUsage && IsKeyboardOrMouseUsage(value)) {
                pendingKeyboardOrMouse = true;
                if (state.usagePage == GenericDesktopPage)
                    result.mKeyboardOrMouse = true;
            }
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
            stack.push_back(state);
            break;
        case ItemPop:
            if (!stack.empty()) {
                state = stack.back();
                stack.pop_back();
            }
            break;
        case ItemInput: {
            // Each factor bounded first: two 32-bit fields multiplied overflow even 64 bits.
            std::int64_t& bits = inputBits[state.reportId];
            bits = std::min(MaxReportBits,
                            bits
                                + std::min<std::int64_t>(state.reportSize, MaxReportBits)
                                    * std::min<std::int64_t>(state.reportCount, MaxReportBits));
            pendingKeyboardOrMouse = false;
            break;
        }
        case ItemOutput:
        case ItemFeature:
        case ItemCollection:
        case ItemEndCollection:
            pendingKeyboardOrMouse = false;
            break;
        default:
            break;
        }
    }

    std::int64_t longest = 0;
    for (const auto& [id, bits] : inputBits)
        longest = std::max(longest, bits);
    result.mInputReportBytes = int((longest + 7) / 8);
    return result;
}

bool HidReportDescriptor::HasUsagePage(std::uint32_t page) const
{
    return std::find(mUsagePages.begin(), mUsagePages.end(), page) != mUsagePages.end();
}
