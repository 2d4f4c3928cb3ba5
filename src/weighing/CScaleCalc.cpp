#include "CScaleCalc.h"

#include "CheckedMath.h"
#include "ScaleReport.h"

#include <cstdlib>

namespace {

constexpr std::int32_t kFilterALength = 8;
constexpr std::int32_t kFilterBLength = 4;
constexpr std::int32_t kZeroFilterLength = 30;
constexpr std::int32_t kOverloadCount = -7800;
constexpr std::int64_t kJumpThreshold = 400;
constexpr std::int64_t kSteadyBand = 50;
constexpr std::int64_t kUnsteadyBand = 152;
constexpr std::int64_t kZeroWindow = 70;
constexpr std::int64_t kZeroAdoptWhileFilling = 40;
constexpr std::int64_t kZeroAdoptMin = 11;
constexpr std::int64_t kZeroAdoptMax = 49;
constexpr std::int32_t kSettleGrams = 5;
constexpr int kSettleMilliseconds = 2000;
constexpr std::int64_t kCapacityLimit = 500500;
constexpr std::int64_t kOverloadLimit = 800000;

// Centigrams to whole grams, ties to even.
std::int32_t toGrams(std::int32_t centigrams)
{
    return static_cast<std::int32_t>(checked::divRoundHalfEven(centigrams, 100));
}

} // namespace

CScaleCalc::CScaleCalc(TickTimer& timer)
    : mobjTimer(timer)
{
    mobjFilterA.Create(kFilterALength, 0);
    mobjFilterB.Create(kFilterBLength, 0);
    mobjZeroFilter.Create(kZeroFilterLength, 0);
    mobjTimer.ThatTime = [this] {
        mobjTimer_ThatTime();
    };
    mobjTimer.SetInterval(0);
}

CScaleCalc::~CScaleCalc()
{
    mobjTimer.SetInterval(0);
    mobjTimer.ThatTime = nullptr;
}

void CScaleCalc::RaiseStatus(std::int32_t code)
{
    if (StatusChange)
        StatusChange(code);
}

void CScaleCalc::RaiseError(std::int32_t code)
{
    if (ScaleError)
        ScaleError(code);
}

void CScaleCalc::NewData(std::span<const std::uint8_t> report)
{
    // Too short to hold bytes 1 to 8, or not marked as ours: nothing in it can be read, so it is ignored whole.
    const std::optional<ScaleReport> read = ScaleReport::Decode(report);
    if (!read)
        return;

    mCalLoad = read->calLoad;
    mCalCount = read->calCount;
    mAdcCount = read->adcCount;

    if (auto raw = checked::roundToInt32(mAdcCount * mFactor))
        mRawWeight = *raw;

    if (InitCnt >= InitCntNeeded)
        ProcessData();
    else
        ProcessInitData();
}

void CScaleCalc::ProcessInitData()
{
    ++InitCnt;
    if (InitCnt == 1) {
        // A calibration count of 0 cannot be divided by: keep the previous
        // calibration and skip the rest of this report's set-up.
        if (mCalCount == 0)
            return;
        mFactor = (100.0 * mCalLoad) / mCalCount;
        if (auto ref = checked::roundToInt32(mFactor * kOverloadCount))
            mOverloadRef = *ref;
        if (auto raw = checked::roundToInt32(mAdcCount * mFactor))
            mRawWeight = *raw;
        mobjFilterA.FillBuffer(mRawWeight);
        mobjFilterB.FillBuffer(mRawWeight);
    } else {
        mobjFilterA.DataFilter(mRawWeight);
        mobjFilterB.DataFilter(mobjFilterA.Value);
    }
    if (InitCnt == 1)
        RaiseStatus(0);
    if (InitCnt == InitCntNeeded) {
        mStableGrams = 0;
        mStableCnt = 0;
        Tare();
        RaiseStatus(1);
    }
}

void CScaleCalc::ProcessData()
{
    // How far the new unfiltered net is from the weight on show.
    const std::int64_t d = std::int64_t {mRawWeight} - mZeroPoint - mNetWeight;
    if (std::llabs(d) > kJumpThreshold) {
        // A load change: both stages jump to the new level at once.
        mobjFilterA.FillBuffer(mRawWeight);
        mobjFilterB.FillBuffer(mRawWeight);
    } else {
        if (mobjFilterA.Filling && mobjFilterA.Index == 1) {
            // The lone sample since a jump may have been taken mid-change; drop it
            // so the new level is averaged from settled samples only.
            mobjFilterA.Index = 0;
            mobjFilterA.Sum = 0;
            mobjFilterB.Index = 0;
            mobjFilterB.Sum = 0;
            mobjFilterA.DataFilter(mRawWeight);
            mobjFilterB.DataFilter(mobjFilterA.Value);
        }
        mobjFilterA.DataFilter(mRawWeight);
        mobjFilterB.DataFilter(mobjFilterA.Value);
    }
    CheckStable();
    if (!mIsStable) {
        if (auto net = checked::sub(mobjFilterB.Value, mZeroPoint))
            mNetWeight = *net;
    }
    TrackZero();
    CheckSettled();
    CheckOverload();
}

void CScaleCalc::CheckStable()
{
    mIsStable = false;
    if (mobjFilterA.Filling && mobjFilterA.Index < 4) {
        mStableCnt = 0;
        return;
    }
    const std::int32_t grams = toGrams(mNetWeight);
    if (mStableCnt == 0) {
        mStableGrams = grams;
    } else if (grams != mStableGrams) {
        mStableCnt = 0;
        return;
    }
    // A net of one gram either way is too close to call: it never becomes stable.
    if (mStableGrams == 1 || mStableGrams == -1) {
        mStableCnt = 0;
        return;
    }

    // Weight class from the filtered net, compared in centigrams: up to and
    // including 0.5 kg, below 1.5 kg, up to and including 2.5 kg, above.
    const std::int64_t filteredNet = std::int64_t {mobjFilterB.Value} - mZeroPoint;
    std::size_t weightClass = 0;
    if (filteredNet <= 50000)
        weightClass = 0;
    else if (filteredNet < 150000)
        weightClass = 1;
    else if (filteredNet <= 250000)
        weightClass = 2;
    else
        weightClass = 3;
    mStableNeeded = StableCntTable[weightClass];

    const std::int64_t e = std::llabs(std::int64_t {mStableGrams} * 100 - mobjFilterB.Value + mZeroPoint);
    if (e <= kSteadyBand) {
        if (mStableCnt != mStableNeeded)
            ++mStableCnt;
    } else if (e >= kUnsteadyBand) {
        mStableCnt = 0;
    }
    mIsStable = mStableCnt >= mStableNeeded;
}

void CScaleCalc::TrackZero()
{
    const std::int32_t b = mobjFilterB.Value;
    const std::int64_t offZero = std::int64_t {b} - mZeroPoint;
    if (offZero >= kZeroWindow || offZero <= -kZeroWindow)
        return;
    mobjZeroFilter.DataFilter(b);
    const std::int64_t dz = std::int64_t {mobjZeroFilter.Value} - mZeroPoint;
    if (mobjZeroFilter.Filling) {
        if (std::llabs(dz) <= kZeroAdoptWhileFilling)
            return;
        mZeroPoint = mobjZeroFilter.Value;
        mobjZeroFilter.FillBuffer(mZeroPoint);
        return;
    }
    if ((dz >= kZeroAdoptMin && dz <= kZeroAdoptMax) || (dz >= -kZeroAdoptMax && dz <= -kZeroAdoptMin)) {
        mZeroPoint = mobjZeroFilter.Value;
        mobjZeroFilter.FillBuffer(mZeroPoint);
    }
}

void CScaleCalc::CheckSettled()
{
    if (!mIsStable)
        return;
    if (mobjTimer.Interval() > 0)
        return;
    const std::int32_t w = WeightGrams();
    if (std::llabs(std::int64_t {w} - mLastSettledGrams) < kSettleGrams)
        return;
    mLastSettledGrams = w;
    if (w < kSettleGrams)
        return;
    mobjTimer.SetInterval(kSettleMilliseconds);
}

void CScaleCalc::mobjTimer_ThatTime()
{
    mobjTimer.SetInterval(0);
    const std::int32_t w = WeightGrams();
    if (std::llabs(std::int64_t {mLastSettledGrams} - w) < kSettleGrams)
        RaiseStatus(2);
}

void CScaleCalc::CheckOverload()
{
    const std::int64_t v = mobjFilterB.Value;
    std::int32_t code = 0;
    if (v > std::int64_t {mOverloadRef} + kOverloadLimit) {
        if (mErrState == 2) {
            code = 2;
        } else if (mOvlDebounce == 0) {
            mOvlDebounce = 1;
        } else {
            code = 2;
            mOvlDebounce = 0;
        }
    } else if (v > std::int64_t {mZeroPoint} + kCapacityLimit) {
        if (mErrState == 1) {
            code = 1;
        } else if (mCapDebounce == 0) {
            mCapDebounce = 1;
        } else {
            code = 1;
            mCapDebounce = 0;
        }
    }
    if (v - mOverloadRef < kOverloadLimit)
        mOvlDebounce = 0;
    if (v - mZeroPoint < kCapacityLimit)
        mCapDebounce = 0;
    if (code != mErrState) {
        mErrState = code;
        RaiseError(code);
    }
}

bool CScaleCalc::IsNearZero(std::int32_t v)
{
    return v < 0 && v > -50;
}

std::int32_t CScaleCalc::WeightGrams()
{
    if (!mHold)
        mLastWeightGrams = IsNearZero(mNetWeight) ? 0 : toGrams(mNetWeight);
    return mLastWeightGrams;
}

double CScaleCalc::Weight()
{
    return WeightGrams() / 1000.0;
}

void CScaleCalc::Tare()
{
    if (InitCnt < InitCntNeeded)
        return;
    mZeroPoint = mobjFilterB.Value;
    mobjZeroFilter.FillBuffer(mZeroPoint);
}

void CScaleCalc::SetHold(bool hold)
{
    mHold = hold && InitCnt >= InitCntNeeded;
}
