#pragma once

#include <QPointer>
#include <QWidget>

class QDoubleSpinBox;
class QLabel;
class SimulatedUsbDevice;

// With --simulate: a small window to put weights on the virtual platform, take
// them off, and pull the scale's cable out and back in.
class frmSimulator final : public QWidget
{
    Q_OBJECT
public:
    explicit frmSimulator(SimulatedUsbDevice* device, QWidget* parent = nullptr);

private:
    void ShowState();

    QPointer<SimulatedUsbDevice> mDevice;
    QDoubleSpinBox* mtxtGrams;
    QLabel* mlblState;
};
