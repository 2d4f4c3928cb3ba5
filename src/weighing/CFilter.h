#pragma once

#include <cstdint>
#include <functional>
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
    // Returns false (and changes nothing) for a size below 1; the caller's error
    // reporter, if set, is told "Error" first.
    bool ChangeFilterSize(std::int16_t Size);

    // How the filter reports a refused size change; the desktop program shows a
    // message box, the engine alone has no one to tell.
    std::function<void(const char*)> ReportError;

    const std::vector<std::int32_t>& Buffer() const { return mBuffer; }

private:
    std::vector<std::int32_t> mBuffer;
};
