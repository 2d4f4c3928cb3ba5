#pragma once

#include "CWebHelper.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class WebBrowser;

// Opens the local unit-converter page in its own browser window and, when it has loaded, puts the
// current weight in and presses its convert control. The page must have an element "unit" (takes
// "KG" or "LB"), an element "InUnit" (takes the number) and its convert control at position 35
// of the document's list of all elements.
class CUnitConverter final : public QObject
{
    Q_OBJECT
public:
    static constexpr int ConvertControlPosition = 35;

    CUnitConverter(CWebHelper::BrowserFactory makeBrowser, std::function<double()> currentWeight,
                   std::function<int()> displayUnit, QObject* parent = nullptr);
    ~CUnitConverter() override;
    Q_DISABLE_COPY_MOVE(CUnitConverter)

    // pageUrl: the converter page (a file: URL of conversion.html). Does nothing while a load is pending.
    // False when no browser could be started (LastError()).
    bool OpenConverter(const QString& pageUrl);
    bool Pending() const { return m_bConvPending; }
    QString LastError() const { return mLastError; }
    WebBrowser* Browser() const { return m_objConvIE.get(); }

public Q_SLOTS:
    // Our browser reports a completed load as progress (0, 0).
    void m_objConvIE_DocumentComplete(int Progress, int ProgressMax);
    void m_objConvIE_OnQuit();

private:
    void Release(bool insideBrowserSignal);

    CWebHelper::BrowserFactory mMakeBrowser;
    std::function<double()> mCurrentWeight;
    std::function<int()> mDisplayUnit;
    std::unique_ptr<WebBrowser> m_objConvIE;
    bool m_bConvPending = false;
    QString mLastError;
};
