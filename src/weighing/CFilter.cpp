#include "CFilter.h"

#include "CheckedMath.h"

void CFilter::Create(std::int32_t Count, std::int32_t Data)
{
    if (Count < 2)
        Count = 2;
    Index = 0;
    FilterSize = Count;
    Sum = 0;
    Filling = true;
    mBuffer.assign(static_cast<std::size_t>(Count), 0);
    FillBuffer(Data);
}

void CFilter::FillBuffer(std::int32_t Data)
{
    if (mBuffer.empty())
        mBuffer.assign(static_cast<std::size_t>(FilterSize > 0 ? FilterSize : 1), 0);
    mBuffer[0] = Data;
    Index = mBuffer.size() > 1 ? 1 : 0;
    Filling = true;
    Sum = Data;
    Value = Data;
}

void CFilter::DataFilter(std::int32_t Data)
{
    // Index and FilterSize are public and written from outside; never index past the buffer.
    if (Index < 0 || static_cast<std::size_t>(Index) >= mBuffer.size() || FilterSize < 1)
        return;
    const auto slot = static_cast<std::size_t>(Index);

    // Each step stands alone: an overflowing sum is skipped, the rest still runs.
    if (Filling) {
        if (auto s = checked::add(Sum, Data))
            Sum = *s;
    } else if (auto delta = checked::sub(Data, mBuffer[slot])) {
        if (auto s = checked::add(Sum, *delta))
            Sum = *s;
    }
    mBuffer[slot] = Data;
    Index = static_cast<std::int32_t>((std::int64_t {Index} + 1) % FilterSize);
    if (Filling && Index == 0)
        Filling = false;
    if (auto v = checked::div(Sum, Filling ? Index : FilterSize))
        Value = *v;
}
