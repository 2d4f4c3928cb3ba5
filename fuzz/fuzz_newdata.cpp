// libFuzzer target: arbitrary byte streams cut into reports and commands for the
// weighing engine. Whatever arrives, NewData must neither crash nor overflow.
#include "CScaleCalc.h"
#include "ManualTickTimer.h"
#include "ScaleReport.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ManualTickTimer timer;
    CScaleCalc calc(timer);
    std::int32_t sink = 0;
    calc.StatusChange = [&sink](std::int32_t& code) {
        sink += code;
    };
    calc.ScaleError = [&sink](std::int32_t& code) {
        sink -= code;
    };
    std::int64_t now = 0;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t op = data[i++];
        now += op & 0x0F ? 100 : 2500;
        timer.AdvanceTo(now);
        switch (op >> 4) {
        case 0x0:
            calc.Tare();
            break;
        case 0x1:
            calc.SetHold(op & 1);
            break;
        case 0x2:
            calc.InitCnt = 0;
            break;
        default: {
            // A report of 0 to 12 bytes; most of them marked, so the engine gets past the first check.
            const std::size_t len = (op & 0x0F) % 13;
            const std::size_t take = len <= size - i ? len : size - i;
            std::uint8_t report[12] = {};
            for (std::size_t k = 0; k < take; ++k)
                report[k] = data[i + k];
            if (take > 1 && (op & 0x80))
                report[1] = ScaleReport::Marker;
            i += take;
            calc.NewData(std::span<const std::uint8_t>(report, take));
            break;
        }
        }
        const std::int32_t grams = calc.WeightGrams();
        if (calc.Weight() != grams / 1000.0)
            __builtin_trap();
    }
    return sink == 0x7FFFFFFF; // keep the events observable
}
