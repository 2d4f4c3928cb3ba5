#pragma once

#include <QByteArray>

// What the reader of a hidraw node needs to know from the device's HID report
// descriptor: whether reports carry a leading report-id byte, and how long the
// longest input report is. Only the items that decide these two are followed.
class HidReportDescriptor final
{
public:
    // A descriptor that says nothing: no report ids, no input reports.
    HidReportDescriptor() = default;

    // Never fails: a truncated descriptor is read as far as it goes.
    static HidReportDescriptor Parse(const QByteArray& descriptor);

    // True when the descriptor declares a Report ID item, so every report,
    // as read(2) returns it, starts with its id.
    bool UsesReportIds() const { return mUsesReportIds; }
    // Bytes in the longest input report, without the report-id byte; 0 when the
    // descriptor declares no input at all.
    int InputReportBytes() const { return mInputReportBytes; }
    // True when the descriptor ended in the middle of an item.
    bool Truncated() const { return mTruncated; }

private:
    bool mUsesReportIds = false;
    int mInputReportBytes = 0;
    bool mTruncated = false;
};
