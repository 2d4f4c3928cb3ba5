#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// What the reader of a hidraw node needs to know from the device's HID report
// descriptor: whether reports carry a leading report-id byte, how long the
// longest input report is, and which usage pages it speaks of (what kind of
// device it is). Only the items that decide these are followed.
//
// Free of Qt, so the udev helper that decides who may read a node is built from
// this same parser and stays a small program.
class HidReportDescriptor final
{
public:
    // A descriptor that says nothing: no report ids, no input reports.
    HidReportDescriptor() = default;

    // Never fails: a truncated descriptor is read as far as it goes.
    static HidReportDescriptor Parse(std::string_view descriptor);

    // True when the descriptor declares a Report ID item, so every report,
    // as read(2) returns it, starts with its id.
    bool UsesReportIds() const { return mUsesReportIds; }
    // Bytes in the longest input report, without the report-id byte; 0 when the
    // descriptor declares no input at all.
    int InputReportBytes() const { return mInputReportBytes; }
    // True when the descriptor ended in the middle of an item.
    bool Truncated() const { return mTruncated; }
    // True when any Usage Page item (or four-byte usage) names `page`, e.g. 0x8D
    // for a point-of-sale scale.
    bool HasUsagePage(std::uint32_t page) const;
    // True when the descriptor speaks of the Keyboard/Keypad page or of a Generic
    // Desktop keyboard, keypad or mouse: reading such a node gives away what the
    // user types or where they point.
    bool DeclaresKeyboardOrMouse() const { return mKeyboardOrMouse; }

private:
    bool mUsesReportIds = false;
    int mInputReportBytes = 0;
    bool mTruncated = false;
    bool mKeyboardOrMouse = false;
    std::vector<std::uint32_t> mUsagePages;
};
