#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The scale's USB connection as the program uses it. Two implementations:
// HidrawUsbDevice (the real scale through hidraw and udev) and
// SimulatedUsbDevice (--simulate). Every signal is emitted from the Qt event loop.
class UsbDevice : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~UsbDevice() override = default;

    // Called once after creation with the vendor and product ids and a usage name.
    // Starts watching for the device coming and going.
    virtual void OpenDevice(int vendorId, int productId, const QString& usage) = 0;
    // True when the scale is present (looks again, opening it if it is not open yet).
    virtual bool FindDevice() = 0;
    // Reports are delivered only while enabled.
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool Enabled() const = 0;
    // True while the scale is connected and open.
    virtual bool IsAttached() const = 0;
    // The last report, report-id byte first (0 for a device without numbered
    // reports), so byte 1 is the first payload byte.
    virtual QByteArray ReportData() const = 0;
    // Why the device could not be used, for the log and the user; empty when fine.
    virtual QString LastError() const = 0;

Q_SIGNALS:
    void Arrival();
    void Removal();
    void OnUsb();
};
