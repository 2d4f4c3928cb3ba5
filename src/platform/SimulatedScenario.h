#pragma once

#include <QList>
#include <QString>

#include <optional>

// A script for the simulated scale: what lies on the platform, and when the
// scale is unplugged and plugged back, by milliseconds since the device was
// opened. One step a line:
//
//     # a parcel, then the scale pulled out for a second
//     0      0
//     2000   1250.5
//     6000   unplug
//     7000   plug
//
// Blank lines and everything after '#' are ignored; times never go backwards.
class SimulatedScenario final
{
public:
    enum class Action
    {
        Load,
        Unplug,
        Plug,
    };

    struct Step
    {
        qint64 atMs = 0;
        Action action = Action::Load;
        double grams = 0.0; // only for Action::Load
        bool operator==(const Step&) const = default;
    };

    // nullopt and a message naming the line when the text is not a scenario.
    static std::optional<SimulatedScenario> Parse(const QString& text, QString* error = nullptr);
    // The same for a file; the message names the file too.
    static std::optional<SimulatedScenario> Load(const QString& path, QString* error = nullptr);

    const QList<Step>& Steps() const { return mSteps; }
    bool IsEmpty() const { return mSteps.isEmpty(); }

private:
    QList<Step> mSteps;
};
