#include "frmSimulator.h"

#include "SimulatedUsbDevice.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmSimulator::frmSimulator(SimulatedUsbDevice* device, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , mDevice(device)
    , mtxtGrams(new QDoubleSpinBox(this))
    , mlblState(new QLabel(this))
{
    setObjectName(QStringLiteral("frmSimulator"));
    setWindowTitle(QStringLiteral("Simulated scale"));

    auto* layout = new QVBoxLayout(this);
    auto* presets = new QGridLayout();
    const struct
    {
        const char* caption;
        double grams;
    } loads[]
        = {{"Empty", 0.0}, {"100 g", 100.0}, {"250 g", 250.0}, {"1 kg", 1000.0}, {"2.5 kg", 2500.0}, {"6 kg", 6000.0}};
    int index = 0;
    for (const auto& load : loads) {
        auto* button = new QPushButton(QLatin1String(load.caption), this);
        button->setObjectName(QStringLiteral("cmdLoad%1").arg(qRound(load.grams)));
        const double grams = load.grams;
        connect(button, &QPushButton::clicked, this, [this, grams] {
            mtxtGrams->setValue(grams);
            if (mDevice)
                mDevice->SetLoadGrams(grams);
        });
        presets->addWidget(button, index / 3, index % 3);
        ++index;
    }
    layout->addLayout(presets);

    auto* row = new QHBoxLayout();
    mtxtGrams->setObjectName(QStringLiteral("txtGrams"));
    mtxtGrams->setRange(-1000.0, 10000.0);
    mtxtGrams->setDecimals(1);
    mtxtGrams->setSuffix(QStringLiteral(" g"));
    mtxtGrams->setValue(mDevice->LoadGrams());
    auto* put = new QPushButton(QStringLiteral("Put on"), this);
    put->setObjectName(QStringLiteral("cmdPut"));
    connect(put, &QPushButton::clicked, this, [this] {
        if (mDevice)
            mDevice->SetLoadGrams(mtxtGrams->value());
    });
    row->addWidget(mtxtGrams, 1);
    row->addWidget(put);
    layout->addLayout(row);

    auto* cable = new QHBoxLayout();
    auto* unplug = new QPushButton(QStringLiteral("Unplug"), this);
    unplug->setObjectName(QStringLiteral("cmdUnplug"));
    auto* plug = new QPushButton(QStringLiteral("Plug in"), this);
    plug->setObjectName(QStringLiteral("cmdPlug"));
    connect(unplug, &QPushButton::clicked, this, [this] {
        if (mDevice)
            mDevice->Unplug();
        ShowState();
    });
    connect(plug, &QPushButton::clicked, this, [this] {
        if (mDevice)
            mDevice->Plug();
        ShowState();
    });
    cable->addWidget(unplug);
    cable->addWidget(plug);
    layout->addLayout(cable);

    mlblState->setObjectName(QStringLiteral("lblState"));
    layout->addWidget(mlblState);
    connect(mDevice, &SimulatedUsbDevice::LoadChanged, this, [this](double grams) {
        mtxtGrams->setValue(grams);
        ShowState();
    });
    connect(mDevice, &UsbDevice::Arrival, this, &frmSimulator::ShowState);
    connect(mDevice, &UsbDevice::Removal, this, &frmSimulator::ShowState);
    ShowState();
}

void frmSimulator::ShowState()
{
    if (!mDevice) {
        mlblState->setText(QStringLiteral("The scale is gone."));
        return;
    }
    mlblState->setText(QStringLiteral("%1, %2 g on the platform")
                           .arg(mDevice->IsAttached() ? QStringLiteral("Plugged in") : QStringLiteral("Unplugged"))
                           .arg(mDevice->LoadGrams(), 0, 'f', 1));
}
