#pragma once

// The USB vendor and product numbers of the scale this program was made for. Standard point-of-sale
// scales are found by their report descriptor instead, whatever their numbers.
inline constexpr int kScaleVendorId = 0x6323;
inline constexpr int kScaleProductId = 0x2233;
