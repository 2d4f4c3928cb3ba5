#pragma once

#include <cstdint>
#include <vector>

// Moving average over whole-number samples (centigrams here). After a restart it
// averages only the samples taken since, so it follows a new load at once; once
// its ring has been written all the way round it averages over its full length.
// The scale calculator reads and writes the public fields directly.
class CFilter
{
public:
    std::int32_t Sum = 0;
    std::int32_t Value = 0;
    std::int32_t Index = 0;
    std::int32_t FilterSize = 1;
    bool Filling = false;

    // Count must be at least 2: a restart writes position 1 next.
    void Create(std::int32_t Count, std::int32_t Data = 0);
    void FillBuffer(std::int32_t Data);
    void DataFilter(std::int32_t Data);

    const std::vector<std::int32_t>& Buffer() const { return mBuffer; }

private:
    std::vector<std::int32_t> mBuffer;
};
