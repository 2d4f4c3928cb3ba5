#pragma once

#include "CFilter.h"
#include "TickTimer.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// The weighing engine: turns the scale's raw reports into a calibrated, filtered,
// tared and held weight. All weights inside are whole centigrams (0.01 g) in
// signed 32-bit integers; only Weight() speaks kilograms.
//
// StatusChange and ScaleError are called synchronously, in the order raised,
// from inside NewData() or the settle timer's callback.
class CScaleCalc
{
public:
    // The timer is owned by the caller and must outlive the engine.
    explicit CScaleCalc(TickTimer& timer);
    ~CScaleCalc();
    CScaleCalc(const CScaleCalc&) = delete;
    CScaleCalc& operator=(const CScaleCalc&) = delete;

    static constexpr std::int32_t InitCntNeeded = 16;

    // One report as the device delivers it, report-id byte first.
    void NewData(std::span<const std::uint8_t> report);

    // The weight in kilograms, to three decimals (whole grams).
    double Weight();
    // The same reading in whole grams; what Weight() returns is this / 1000.
    std::int32_t WeightGrams();

    void Tare();

    bool Hold() const { return mHold; }
    void SetHold(bool hold);

    std::int32_t InitCnt = 0;

    // StatusChange codes: 0 initialising, 1 ready, 2 a weight has settled.
    std::function<void(std::int32_t& ScaleEvents)> StatusChange;
    // ScaleError codes: 0 cleared, 1 over capacity, 2 overload.
    std::function<void(std::int32_t& ScaleErr)> ScaleError;

    // Read-only views for the display, the tools and the tests.
    std::int32_t CalLoad() const { return mCalLoad; }
    std::int32_t CalCount() const { return mCalCount; }
    std::int32_t AdcCount() const { return mAdcCount; }
    double Factor() const { return mFactor; }
    std::int32_t RawWeight() const { return mRawWeight; }
    std::int32_t ZeroPoint() const { return mZeroPoint; }
    std::int32_t NetWeight() const { return mNetWeight; }
    std::int32_t OverloadRef() const { return mOverloadRef; }
    std::int32_t StableGrams() const { return mStableGrams; }
    std::int32_t StableNeeded() const { return mStableNeeded; }
    std::int32_t StableCnt() const { return mStableCnt; }
    bool IsStable() const { return mIsStable; }
    std::int32_t ErrState() const { return mErrState; }
    const CFilter& FilterA() const { return mobjFilterA; }
    const CFilter& FilterB() const { return mobjFilterB; }
    const CFilter& ZeroFilter() const { return mobjZeroFilter; }

private:
    void ProcessInitData();
    void ProcessData();
    void CheckStable();
    void TrackZero();
    void CheckSettled();
    void CheckOverload();
    static bool IsNearZero(std::int32_t v);
    void mobjTimer_ThatTime();
    void RaiseStatus(std::int32_t code);
    void RaiseError(std::int32_t code);

    TickTimer& mobjTimer;
    CFilter mobjFilterA;
    CFilter mobjFilterB;
    CFilter mobjZeroFilter;
    std::array<std::int32_t, 4> StableCntTable {3, 4, 5, 6};

    std::int32_t mCalLoad = 0;
    std::int32_t mCalCount = 0;
    std::int32_t mAdcCount = 0;
    bool mHold = false;
    double mFactor = 0.0;
    std::int32_t mRawWeight = 0;
    std::int32_t mZeroPoint = 0;
    std::int32_t mNetWeight = 0;
    std::int32_t mStableGrams = 0;
    std::int32_t mStableNeeded = 0;
    std::int32_t mStableCnt = 0;
    bool mIsStable = false;
    std::int32_t mErrState = 0;
    std::int32_t mCapDebounce = 0;
    std::int32_t mOvlDebounce = 0;
    std::int32_t mOverloadRef = 0;
    // Both kept in whole grams: the settle rules compare grams, and kilograms as
    // doubles would put 0.005 kg on the wrong side of the comparison.
    std::int32_t mLastSettledGrams = 0;
    std::int32_t mLastWeightGrams = 0;
};
