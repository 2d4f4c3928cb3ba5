// libFuzzer target: any bytes as a device's HID report descriptor, and the same bytes cut into
// point-of-sale scale reports. The parser must end on anything and keep its figures in bounds;
// the translation must give nothing or one engine report in the calibration it promises, with a
// weight on the side of zero the scale's status says.
#include "HidPosScale.h"
#include "HidReportDescriptor.h"
#include "SimulatedUsbDevice.h"

#include <QByteArray>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

int Counts(const QByteArray& engineReport)
{
    return std::int16_t(std::uint16_t((std::uint8_t(engineReport[7]) << 8) | std::uint8_t(engineReport[8])));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto layout = HidReportDescriptor::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    Check(layout.InputReportBytes() >= 0 && layout.InputReportBytes() <= 4096);
    // A page is only ever read from an item's data: no 0x8D byte, no scale.
    Check(!layout.HasUsagePage(HidPosScale::UsagePage) || std::memchr(data, 0x8D, size) != nullptr);

    using S = HidPosScale;
    const QByteArray calibration = SimulatedUsbDevice::MakeReport(S::CalLoadGrams, S::CalCount, 0).left(7);
    HidPosScale scale;
    bool fresh = true;
    std::size_t i = 0;
    while (i < size) {
        // A length byte, its top bit a reopening of the scale, then the report.
        const std::uint8_t head = data[i++];
        if (head & 0x80) {
            scale.Reset();
            fresh = true;
        }
        const std::size_t length = std::min<std::size_t>(head % 10, size - i);
        const QByteArray report(reinterpret_cast<const char*>(data + i), qsizetype(length));
        i += length;
        const QByteArray engine = scale.Translate(report);
        const bool weightReport = report.size() >= 6 && (report[0] == 0 || report[0] == 3 || report[0] == 9);
        if (weightReport && fresh) {
            Check(engine.isEmpty()); // the stale report kept from before the opening
            fresh = false;
            continue;
        }
        if (engine.isEmpty())
            continue;
        Check(weightReport && engine.size() == 9 && engine.left(7) == calibration);
        switch (std::uint8_t(report[1])) {
        case S::StableAtZero:
            Check(Counts(engine) == 0);
            break;
        case S::UnderZero:
            Check(Counts(engine) <= 0);
            break;
        case S::InMotion:
        case S::Stable:
            Check(Counts(engine) >= 0);
            break;
        default:
            Check(Counts(engine) == S::SaturatedCount);
            break;
        }
    }
    return 0;
}
