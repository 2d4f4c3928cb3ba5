#pragma once

#include "CarrierKeys.h"

#include <QList>
#include <QObject>
#include <QString>

#include <map>

class IniFile;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QStackedWidget;
class QWidget;

// The options dialog's carrier tabs: what the carrier fillers put into the carriers' forms. Each control
// that feeds a key is listed with its key; the keys are read and written in the order of the key table,
// whatever the order of the tabs.
//
// A QObject only so that its handlers' connections go with it, before the dialog deletes the controls.
class CCarrierTabs final : public QObject
{
public:
    struct Tab
    {
        QString caption;
        QWidget* page;
    };
    // Builds the tabs as children of `dialog`, in the order the dialog shows them.
    explicit CCarrierTabs(QWidget* dialog);
    ~CCarrierTabs() override;
    Q_DISABLE_COPY_MOVE(CCarrierTabs)

    const QList<Tab>& Tabs() const { return mcolTabs; }

    // Every control as it is before loading.
    void ResetControls();
    void LoadSettings(IniFile& settings);
    // Every key of every section, unchanged ones too.
    void SaveKeys(IniFile& settings);

    void cboDHLCntry2_Click();
    void cboEbayShow_Click();
    void cboUSPSBusiSize_Click();

private:
    // How a key is read into its control and written from it.
    enum class Kind
    {
        Check, // check value; integer read
        CheckNumber, // check value; number read
        List, // list position; integer read
        EditList, // list position of the typed text (-1 when not in the list); integer read
        EditListNumber, // as EditList; number read
        Text, // text of a text box or an editable list box
        Option, // option number of a pair of option buttons; number read
        DhlService, // the DHL service pair
    };
    struct Field
    {
        CarrierKeys::Key key;
        Kind kind;
        QWidget* control;
        QButtonGroup* group = nullptr;
        // State before loading: the text of an editable list box, the option chosen.
        QString initial = {};
    };

    QWidget* BuildDhl(QWidget* dialog);
    QWidget* BuildEbay(QWidget* dialog);
    QWidget* BuildFedEx(QWidget* dialog);
    QWidget* BuildUps(QWidget* dialog);
    QWidget* BuildUspsBusiness(QWidget* dialog);
    QWidget* BuildUspsDomestic(QWidget* dialog);
    QWidget* BuildUspsInternational(QWidget* dialog);

    const Field* FieldOf(CarrierKeys::Carrier carrier, CarrierKeys::Key key) const;
    void LoadField(const Field& field, const QString& value);
    void SaveField(IniFile& settings, const QString& section, const Field& field);

    QList<Tab> mcolTabs;
    std::map<CarrierKeys::Carrier, QList<Field>> mcolFields;
    // Shown but feeding no key: only reset.
    QList<QWidget*> mcolKeyless;

    QComboBox* mcboDHLCntry2 = nullptr;
    QLineEdit* mtxtDHLCity = nullptr;
    QStackedWidget* mcboDHLService = nullptr;
    QComboBox* mcboEbayShow = nullptr;
    QLineEdit* mtxtEbayZIP2 = nullptr;
    QComboBox* mcboUSPSBusiSize = nullptr;
    QComboBox* mcboUSPSBusiRate = nullptr;
};
