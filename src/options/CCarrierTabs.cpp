#include "CCarrierTabs.h"

#include "CChoiceLists.h"
#include "CFormField.h"
#include "IniFile.h"
#include "IniValue.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QDebug>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStringListModel>
#include <QVBoxLayout>

#include <optional>

using namespace Qt::StringLiterals;
using Carrier = CarrierKeys::Carrier;
using Key = CarrierKeys::Key;

namespace {

const QString UnitedStates = u"United States Of America"_s;

// The whole text must be a number that fits 16 bits; otherwise the control keeps its state.
std::optional<int> IntegerRead(const QString& text)
{
    const std::optional<int> value = CFormField::ToInt32(text);
    if (!value || *value < -32768 || *value > 32767)
        return std::nullopt;
    return value;
}

// The leading number of the text (none reads as 0), as a 16-bit integer.
std::optional<int> NumberRead(const QString& text)
{
    const std::optional<qint16> value = IniValue::ToInt16(text);
    if (!value)
        return std::nullopt;
    return int(*value);
}

// A value is one line of the settings file: a line break typed or pasted into a box
// becomes a blank instead of a refused write that would lose the whole value.
QString OneLine(QString text)
{
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar(0))
            c = u' ';
    }
    return text;
}

QStringList Numbers(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString::number(i);
    return list;
}

QStringList ShipDates(int days)
{
    QStringList list {u"Today"_s, u"Tomorrow"_s};
    for (int i = 2; i <= days; ++i)
        list << u"%1 days later"_s.arg(i);
    return list;
}

struct EbayCity
{
    const char16_t* name;
    int zip;
};

const EbayCity EbayCities[] = {
    {u"Select a city...", 0},  {u"Anchorage", 99508},        {u"Atlanta", 30312},     {u"Boston", 2115},
    {u"Chicago", 60616},       {u"Denver", 80203},           {u"Honolulu", 96813},    {u"Houston", 77010},
    {u"Kansas City", 64108},   {u"Las Vegas", 89101},        {u"Los Angeles", 90057}, {u"Miami", 33136},
    {u"New York City", 10013}, {u"Philadelphia", 19107},     {u"Phoenix", 85034},     {u"San Francisco", 94114},
    {u"Seattle", 98144},       {u"Washington, D.C.", 20004},
};

template <typename T> T* Named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QLineEdit* TextBox(QWidget* parent, const QString& name)
{
    return Named(new QLineEdit(parent), name);
}

// Length, width and height boxes on one "Dimensions" row, named txt<prefix>Len, Wdt and Hgt.
struct Dimensions
{
    QLineEdit* len;
    QLineEdit* wdt;
    QLineEdit* hgt;
};
Dimensions AddDimensions(QWidget* page, QFormLayout* form, const QString& prefix)
{
    const Dimensions boxes {TextBox(page, u"txt%1Len"_s.arg(prefix)), TextBox(page, u"txt%1Wdt"_s.arg(prefix)),
                            TextBox(page, u"txt%1Hgt"_s.arg(prefix))};
    auto* row = new QHBoxLayout;
    for (QLineEdit* box : {boxes.len, boxes.wdt, boxes.hgt}) {
        box->setMaximumWidth(60);
        row->addWidget(box);
    }
    row->addWidget(new QLabel(u"in inches"_s, page));
    row->addStretch();
    form->addRow(u"Dimensions"_s, row);
    return boxes;
}

QComboBox* ListBox(QWidget* parent, const QString& name, const QStringList& entries = {})
{
    auto* box = Named(new QComboBox(parent), name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMaxVisibleItems(20);
    box->addItems(entries);
    return box;
}

// A list-only box on one of the long lists; typing jumps to the entry (type-ahead).
QComboBox* LongListBox(QWidget* parent, const QString& name, CChoiceLists::List list)
{
    auto* box = ListBox(parent, name);
    // Sized by a typical entry, not by measuring every entry of a long list.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(28);
    box->setModel(new QStringListModel(CChoiceLists::Entries(list), box));
    return box;
}

// An editable box that also takes typed text; the completer offers every entry holding
// what was typed, so a country is found by any part of its name.
QComboBox* EditBox(QWidget* parent, const QString& name, QAbstractItemModel* model)
{
    auto* box = ListBox(parent, name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(18);
    box->setModel(model);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    auto* completer = new QCompleter(model, box);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(completer);
    return box;
}

QCheckBox* AutoFill(QWidget* parent, const QString& name)
{
    return Named(new QCheckBox(u"Auto Fill "_s, parent), name);
}

// Two option buttons with the ids 0 and 1, in a row under a caption.
QButtonGroup* OptionPair(QWidget* parent, QBoxLayout* into, const QString& name, const QString& first,
                         const QString& second)
{
    auto* group = new QButtonGroup(parent);
    group->setObjectName(name);
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* button = Named(new QRadioButton(i == 0 ? first : second, parent), name + QString::number(i));
        group->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch();
    into->addLayout(row);
    return group;
}

// A form of fields outside a group box: fields keep their natural width instead of
// stretching across the page.
QFormLayout* Form()
{
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return form;
}

// One carrier tab: its "Auto Fill" box on top, then whatever the tab puts in `layout`, then
// the form rows; Finish() closes the page with the form and a stretch.
struct CarrierTab
{
    CarrierTab(QWidget* parent, const QString& autoFillName)
        : page(new QWidget(parent))
        , layout(new QVBoxLayout(page))
        , autoFill(AutoFill(page, autoFillName))
        , form(Form())
    {
        layout->addWidget(autoFill);
    }

    QLineEdit* Text(const QString& caption, const QString& name) { return Row(caption, TextBox(page, name)); }
    QComboBox* List(const QString& caption, const QString& name, const QStringList& entries)
    {
        return Row(caption, ListBox(page, name, entries));
    }
    QCheckBox* Check(const QString& text, const QString& name)
    {
        return Row(QString(), Named(new QCheckBox(text, page), name));
    }
    template <typename T> T* Row(const QString& caption, T* field)
    {
        form->addRow(caption, field);
        return field;
    }
    QWidget* Finish()
    {
        layout->addLayout(form);
        layout->addStretch();
        return page;
    }

    QWidget* page;
    QVBoxLayout* layout;
    QCheckBox* autoFill;
    QFormLayout* form;
};

} // namespace

CCarrierTabs::CCarrierTabs(QWidget* dialog)
{
    // Alphabetical, as the dialog shows them.
    mcolTabs = {
        {u"DHL"_s, BuildDhl(dialog)},
        {u"Ebay"_s, BuildEbay(dialog)},
        {u"FedEx Rate Finder"_s, BuildFedEx(dialog)},
        {u"UPS"_s, BuildUps(dialog)},
        {u"USPS Business"_s, BuildUspsBusiness(dialog)},
        {u"USPS Domestic"_s, BuildUspsDomestic(dialog)},
        {u"USPS International"_s, BuildUspsInternational(dialog)},
    };
}

CCarrierTabs::~CCarrierTabs() = default;

QWidget* CCarrierTabs::BuildDhl(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkDHLAutoFill"_s);
    QWidget* page = tab.page;
    QLineEdit* zip1 = tab.Text(u"Origin Postal Code"_s, u"txtDHLZip1"_s);
    mcboDHLCntry2 = tab.Row(u"Country"_s, LongListBox(page, u"cboDHLCntry2"_s, CChoiceLists::List::DhlCountries));
    connect(mcboDHLCntry2, &QComboBox::currentIndexChanged, this, [this](int) { cboDHLCntry2_Click(); });
    mtxtDHLCity = tab.Text(u"City"_s, u"txtDHLCity"_s);
    QLineEdit* zip2 = tab.Text(u"Destination Postal Code "_s, u"txtDHLZip2"_s);
    auto* resRow = new QHBoxLayout;
    QButtonGroup* residential = OptionPair(page, resRow, u"optDHLRes"_s, u"Yes"_s, u"No"_s);
    tab.form->addRow(u"Residential Delivery"_s, resRow);

    mcboDHLService = Named(new QStackedWidget(page), u"cboDHLService"_s);
    auto* domestic = ListBox(mcboDHLService, u"cboDHLService0"_s,
                             {u"Second Day"_s, u"Ground"_s, u"Express"_s, u"Next Afternoon"_s, u"Early Delivery"_s});
    auto* international
        = ListBox(mcboDHLService, u"cboDHLService1"_s,
                  {u"Worldwide Priority Express (Dutiable)"_s, u"International Document (Non Dutiable)"_s});
    mcboDHLService->addWidget(domestic);
    mcboDHLService->addWidget(international);
    mcboDHLService->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    tab.form->addRow(u"Service Type "_s, mcboDHLService);

    const auto [len, wdt, hgt] = AddDimensions(page, tab.form, u"DHL"_s);
    QLineEdit* emp = tab.Text(u"Estimated Monthly Packages "_s, u"txtDHLEMP"_s);
    QLineEdit* value = tab.Text(u"Shipment Value Protection $ "_s, u"txtDHLShipVal"_s);
    QCheckBox* saturday = tab.Check(u"Saturday Delivery "_s, u"chkSat"_s);
    auto* date = new QHBoxLayout;
    for (const QString& name : {u"cboDHLMth"_s, u"cboDHLDay"_s, u"cboDHLYr"_s}) {
        QComboBox* box = ListBox(page, name, Numbers(1, 10));
        date->addWidget(box);
        mcolKeyless.append(box);
    }
    date->addStretch();
    tab.form->addRow(u"Shipment Date"_s, date);

    mcolFields[Carrier::Dhl] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::Zip1, Kind::Text, zip1},
        {Key::Zip2, Kind::Text, zip2},
        {Key::ShipToRes, Kind::Option, nullptr, residential, u"0"_s},
        {Key::Cntry2, Kind::List, mcboDHLCntry2},
        {Key::Service, Kind::DhlService, mcboDHLService},
        {Key::Height, Kind::Text, hgt},
        {Key::Len, Kind::Text, len},
        {Key::Width, Kind::Text, wdt},
        {Key::Emp, Kind::Text, emp},
        {Key::ShipProVal, Kind::Text, value},
        {Key::Sat, Kind::Check, saturday},
        {Key::City, Kind::Text, mtxtDHLCity},
    };
    return tab.Finish();
}

QWidget* CCarrierTabs::BuildEbay(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkEbayAutoFill"_s);
    QComboBox* pack
        = tab.List(u"Package size"_s, u"cboEbayPack"_s,
                   {u"Letter"_s, u"Large Envelope"_s, u"USPS Flat Rate Envelope"_s, u"UPS Letter"_s,
                    u"Package/Thick Envelope"_s, u"Large Package/Oversize 1"_s, u"Very large Package/Oversize 2"_s});
    const auto [len, wdt, hgt] = AddDimensions(tab.page, tab.form, u"Ebay"_s);
    QLineEdit* fee = tab.Text(u"Packaging and handling fee"_s, u"txtEbayPackFee"_s);
    QLineEdit* zip1 = tab.Text(u"Seller ZIP Code"_s, u"txtEbayZIP1"_s);
    mcboEbayShow = tab.List(u"Show rates to"_s, u"cboEbayShow"_s, {});
    for (const EbayCity& city : EbayCities)
        mcboEbayShow->addItem(QString::fromUtf16(city.name), city.zip);
    connect(mcboEbayShow, &QComboBox::currentIndexChanged, this, [this](int) { cboEbayShow_Click(); });
    mtxtEbayZIP2 = tab.Text(u"ZIP Code"_s, u"txtEbayZIP2"_s);

    mcolFields[Carrier::Ebay] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::PackSize, Kind::List, pack},
        {Key::ShowRateTo, Kind::List, mcboEbayShow},
        {Key::Height, Kind::Text, hgt},
        {Key::Width, Kind::Text, wdt},
        {Key::Len, Kind::Text, len},
        {Key::Zip1, Kind::Text, zip1},
        {Key::Zip2, Kind::Text, mtxtEbayZIP2},
    };
    mcolKeyless.append(fee);
    return tab.Finish();
}

QWidget* CCarrierTabs::BuildFedEx(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;

    auto* countries = new QStringListModel(CChoiceLists::Entries(CChoiceLists::List::FedExCountries), page);
    auto* places = new QHBoxLayout;
    QComboBox* country[2];
    QLineEdit* zip[2];
    for (int i = 0; i < 2; ++i) {
        auto* box = new QGroupBox(i == 0 ? u"Ship From"_s : u"Ship To"_s, page);
        auto* form = new QFormLayout(box);
        country[i] = EditBox(box, u"cboCntry"_s + QString::number(i + 1), countries);
        form->addRow(u"Country"_s, country[i]);
        zip[i] = TextBox(box, u"txtZip"_s + QString::number(i + 1));
        form->addRow(u"Zip/Postal Code"_s, zip[i]);
        places->addWidget(box);
    }
    layout->addLayout(places);

    auto* service = new QGroupBox(u" Type of Service"_s, page);
    auto* serviceLayout = new QVBoxLayout(service);
    QButtonGroup* optFedEx = OptionPair(service, serviceLayout, u"optFedEx"_s, u" FedEx Express"_s, u" FedEx Ground"_s);
    layout->addWidget(service);

    auto* resRow = new QHBoxLayout;
    QButtonGroup* optFedRes = OptionPair(page, resRow, u"optFedRes"_s, u"No"_s, u"Yes"_s);
    tab.form->addRow(u"Residence"_s, resRow);
    QComboBox* packNo
        = tab.Row(u"Number of packages"_s, EditBox(page, u"cboPackNo"_s, new QStringListModel(Numbers(1, 10), page)));
    packNo->setMinimumContentsLength(6);
    QComboBox* shipDate
        = tab.Row(u"Ship date"_s, EditBox(page, u"cboShipDate"_s, new QStringListModel(ShipDates(9), page)));

    mcolFields[Carrier::FedEx] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::Cntry1, Kind::EditList, country[0], nullptr, u"U.S.A."_s},
        {Key::Cntry2, Kind::EditList, country[1], nullptr, u"U.S.A."_s},
        {Key::Zip1, Kind::Text, zip[0]},
        {Key::Zip2, Kind::Text, zip[1]},
        {Key::Service, Kind::Option, nullptr, optFedEx, u"0"_s},
        {Key::ShipToRes, Kind::Option, nullptr, optFedRes, u"1"_s},
        {Key::PackNo, Kind::Text, packNo, nullptr, u"1"_s},
        {Key::ShipDate, Kind::EditListNumber, shipDate, nullptr, u"Today"_s},
    };
    return tab.Finish();
}

QWidget* CCarrierTabs::BuildUps(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkUPSAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;

    const CChoiceLists::List lists[2]
        = {CChoiceLists::List::UpsOriginCountries, CChoiceLists::List::UpsDestinationCountries};
    auto* places = new QHBoxLayout;
    QComboBox* country[2];
    QLineEdit* city[2];
    QLineEdit* zip[2];
    for (int i = 0; i < 2; ++i) {
        const QString n = QString::number(i + 1);
        auto* box = new QGroupBox(i == 0 ? u"Ship From"_s : u"Ship To"_s, page);
        auto* form = new QFormLayout(box);
        form->setRowWrapPolicy(QFormLayout::WrapLongRows);
        country[i] = LongListBox(box, u"cboUPSCntry"_s + n, lists[i]);
        country[i]->setMinimumContentsLength(20);
        form->addRow(u"Country"_s, country[i]);
        city[i] = TextBox(box, u"txtUPSCity"_s + n);
        form->addRow(u"City"_s, city[i]);
        zip[i] = TextBox(box, u"txtUPSZip"_s + n);
        form->addRow(u"Postal Code (Required for countries with an *)"_s, zip[i]);
        places->addWidget(box);
    }
    layout->addLayout(places);

    QCheckBox* residential = tab.Check(u"This is a Residential Address"_s, u"chkUPSResidential"_s);
    QCheckBox* doc = tab.Check(u"Document Shipment"_s, u"chkUPSDoc"_s);
    QComboBox* packNo = tab.List(u"Number of Packages"_s, u"cboUPSPackNo"_s, Numbers(1, 20));
    QComboBox* shipDate = tab.List(u"Shipment date:"_s, u"cboUPSShipDate"_s, ShipDates(60));
    auto* customs = new QHBoxLayout;
    auto* cusVal = TextBox(page, u"txtUPSCusVal"_s);
    cusVal->setMaximumWidth(100);
    auto* cusCntry = LongListBox(page, u"cboUPSCusCntry"_s, CChoiceLists::List::UpsCurrencies);
    customs->addWidget(cusVal);
    customs->addWidget(cusCntry);
    customs->addStretch();
    tab.form->addRow(u"Customs Value:"_s, customs);

    mcolFields[Carrier::Ups] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::Zip1, Kind::Text, zip[0]},
        {Key::Zip2, Kind::Text, zip[1]},
        {Key::Doc, Kind::CheckNumber, doc},
        {Key::Cntry1, Kind::List, country[0]},
        {Key::Cntry2, Kind::List, country[1]},
        {Key::PackNo, Kind::List, packNo},
        {Key::City1, Kind::Text, city[0]},
        {Key::City2, Kind::Text, city[1]},
        {Key::CusVal, Kind::Text, cusVal},
        {Key::CusCntry, Kind::List, cusCntry},
        {Key::ShipToRes, Kind::Check, residential},
    };
    mcolKeyless.append(shipDate);
    return tab.Finish();
}

QWidget* CCarrierTabs::BuildUspsBusiness(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkUSPSBusiAutoFill"_s);
    QLineEdit* zip1 = tab.Text(u"Origin"_s, u"txtUSPSBusiZip1"_s);
    QLineEdit* zip2 = tab.Text(u"Dest"_s, u"txtUSPSBusiZip2"_s);
    QCheckBox* surcharge = tab.Check(u"Nonmachinable Surcharge"_s, u"chkUSPSBusiSur"_s);
    mcboUSPSBusiSize
        = tab.List(u"Size"_s, u"cboUSPSBusiSize"_s,
                   {u"Letters, Flats, and Small Parcels"_s, u"Cards"_s, u"Keys and Identification Devices"_s});
    connect(mcboUSPSBusiSize, &QComboBox::currentIndexChanged, this, [this](int) { cboUSPSBusiSize_Click(); });
    mcboUSPSBusiRate = tab.List(u"Rate"_s, u"cboUSPSBusiRate"_s, {u"Single-Piece"_s, u"Presorted"_s});

    mcolFields[Carrier::UspsBusiness] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::Zip1, Kind::Text, zip1},
        {Key::Zip2, Kind::Text, zip2},
        {Key::Non, Kind::CheckNumber, surcharge},
        {Key::Size, Kind::List, mcboUSPSBusiSize},
        {Key::Rate, Kind::List, mcboUSPSBusiRate},
    };
    return tab.Finish();
}

QWidget* CCarrierTabs::BuildUspsDomestic(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkUSPSDomAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;
    auto* what = new QGroupBox(u" What would you like to mail?"_s, page);
    auto* whatLayout = new QVBoxLayout(what);
    QButtonGroup* service = OptionPair(what, whatLayout, u"optUSPSDom"_s, u"Letter or Large Envelope"_s, u"Package"_s);
    layout->addWidget(what);
    QLineEdit* zip1 = tab.Text(u"From ZIP Code"_s, u"txtUSPSDomZIP1"_s);
    QLineEdit* zip2 = tab.Text(u"To ZIP Code"_s, u"txtUSPSDomZIP2"_s);

    mcolFields[Carrier::UspsDomestic] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::Service, Kind::Option, nullptr, service, u"0"_s},
        {Key::Zip1, Kind::Text, zip1},
        {Key::Zip2, Kind::Text, zip2},
    };
    return tab.Finish();
}

QWidget* CCarrierTabs::BuildUspsInternational(QWidget* dialog)
{
    CarrierTab tab(dialog, u"chkUSPSIntAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;
    layout->addWidget(new QLabel(u" To which country are you mailing?"_s, page));
    QComboBox* country = LongListBox(page, u"cboUSPSIntCntry"_s, CChoiceLists::List::UspsCountries);
    layout->addWidget(country, 0, Qt::AlignLeft);

    mcolFields[Carrier::UspsInternational] = {
        {Key::AutoFill, Kind::Check, tab.autoFill},
        {Key::Cntry, Kind::List, country},
    };
    return tab.Finish();
}

void CCarrierTabs::ResetControls()
{
    for (const auto& [carrier, fields] : mcolFields) {
        for (const Field& field : fields) {
            switch (field.kind) {
            case Kind::Check:
            case Kind::CheckNumber:
                static_cast<QCheckBox*>(field.control)->setChecked(false);
                break;
            case Kind::List:
                static_cast<QComboBox*>(field.control)->setCurrentIndex(-1);
                break;
            case Kind::EditList:
            case Kind::EditListNumber: {
                auto* box = static_cast<QComboBox*>(field.control);
                box->setCurrentIndex(box->findText(field.initial, Qt::MatchExactly | Qt::MatchCaseSensitive));
                box->setEditText(field.initial);
                break;
            }
            case Kind::Text:
                if (auto* box = qobject_cast<QComboBox*>(field.control)) {
                    box->setCurrentIndex(box->findText(field.initial, Qt::MatchExactly | Qt::MatchCaseSensitive));
                    box->setEditText(field.initial);
                } else {
                    static_cast<QLineEdit*>(field.control)->clear();
                }
                break;
            case Kind::Option:
                field.group->button(field.initial.toInt())->setChecked(true);
                break;
            case Kind::DhlService:
                for (int i = 0; i < 2; ++i)
                    static_cast<QComboBox*>(mcboDHLService->widget(i))->setCurrentIndex(-1);
                break;
            }
        }
    }
    // Before the destination is loaded: domestic service, no city.
    mtxtDHLCity->setEnabled(false);
    mcboDHLService->setCurrentIndex(0);
    if (mcboUSPSBusiRate->count() == 1)
        mcboUSPSBusiRate->addItem(u"Presorted"_s);
    mcboUSPSBusiRate->setCurrentIndex(-1);
    for (QWidget* control : std::as_const(mcolKeyless)) {
        if (auto* box = qobject_cast<QComboBox*>(control))
            box->setCurrentIndex(-1);
        else
            static_cast<QLineEdit*>(control)->clear();
    }
}

const CCarrierTabs::Field* CCarrierTabs::FieldOf(Carrier carrier, Key key) const
{
    const auto fields = mcolFields.find(carrier);
    if (fields != mcolFields.end()) {
        for (const Field& field : fields->second) {
            if (field.key == key)
                return &field;
        }
    }
    qWarning().noquote() << "options: no control feeds" << CarrierKeys::Name(key) << "of"
                         << CarrierKeys::Section(carrier);
    return nullptr;
}

void CCarrierTabs::LoadSettings(IniFile& settings)
{
    for (const Carrier carrier : CarrierKeys::Carriers()) {
        const IniSection stored = settings.Section(CarrierKeys::Section(carrier));
        for (const Key key : CarrierKeys::Written(carrier)) {
            if (const Field* field = FieldOf(carrier, key))
                LoadField(*field, stored.Key(CarrierKeys::Name(key)).Value());
        }
    }
}

void CCarrierTabs::LoadField(const Field& field, const QString& value)
{
    // A value the control cannot take leaves it as it was.
    auto setPosition = [](QComboBox* box, std::optional<int> position) {
        if (position && *position >= -1 && *position < box->count())
            box->setCurrentIndex(*position);
    };
    auto setCheck = [](QCheckBox* box, std::optional<int> state) {
        if (state && (*state == 0 || *state == 1))
            box->setChecked(*state == 1);
    };
    switch (field.kind) {
    case Kind::Check:
        setCheck(static_cast<QCheckBox*>(field.control), IntegerRead(value));
        break;
    case Kind::CheckNumber:
        setCheck(static_cast<QCheckBox*>(field.control), NumberRead(value));
        break;
    case Kind::List:
    case Kind::EditList:
        setPosition(static_cast<QComboBox*>(field.control), IntegerRead(value));
        break;
    case Kind::EditListNumber:
        setPosition(static_cast<QComboBox*>(field.control), NumberRead(value));
        break;
    case Kind::Text:
        if (auto* box = qobject_cast<QComboBox*>(field.control))
            box->setEditText(value);
        else
            static_cast<QLineEdit*>(field.control)->setText(value);
        break;
    case Kind::Option:
        if (const auto index = NumberRead(value); index && (*index == 0 || *index == 1))
            field.group->button(*index)->setChecked(true);
        break;
    case Kind::DhlService: {
        const std::optional<int> position = NumberRead(value);
        for (int i = 0; i < 2; ++i)
            setPosition(static_cast<QComboBox*>(mcboDHLService->widget(i)), position);
        if (!mcboDHLCntry2->currentText().contains(UnitedStates, Qt::CaseInsensitive))
            mcboDHLService->setCurrentIndex(1);
        break;
    }
    }
}

void CCarrierTabs::SaveKeys(IniFile& settings)
{
    for (const Carrier carrier : CarrierKeys::Carriers()) {
        const QString section = CarrierKeys::Section(carrier);
        for (const Key key : CarrierKeys::Written(carrier)) {
            if (const Field* field = FieldOf(carrier, key))
                SaveField(settings, section, *field);
        }
    }
}

void CCarrierTabs::SaveField(IniFile& settings, const QString& section, const Field& field)
{
    IniKey key = settings.Section(section).Key(CarrierKeys::Name(field.key));
    switch (field.kind) {
    case Kind::Check:
    case Kind::CheckNumber:
        key.SetValue(static_cast<QCheckBox*>(field.control)->isChecked() ? 1 : 0);
        break;
    case Kind::List:
        key.SetValue(static_cast<QComboBox*>(field.control)->currentIndex());
        break;
    case Kind::EditList:
    case Kind::EditListNumber: {
        // The typed text decides: text that is not an entry of the list is no position.
        const auto* box = static_cast<QComboBox*>(field.control);
        key.SetValue(box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive));
        break;
    }
    case Kind::Text:
        if (const auto* box = qobject_cast<QComboBox*>(field.control))
            key.SetValue(OneLine(box->currentText()));
        else
            key.SetValue(OneLine(static_cast<QLineEdit*>(field.control)->text()));
        break;
    case Kind::Option:
        key.SetValue(field.group->checkedId() == 1 ? 1 : 0);
        break;
    case Kind::DhlService: {
        const int box = mtxtDHLCity->isEnabled() ? 1 : 0;
        key.SetValue(static_cast<QComboBox*>(mcboDHLService->widget(box))->currentIndex());
        break;
    }
    }
}

void CCarrierTabs::cboDHLCntry2_Click()
{
    const bool domestic = mcboDHLCntry2->currentText().contains(UnitedStates, Qt::CaseInsensitive);
    // A disabled box is drawn in the style's disabled colours.
    mtxtDHLCity->setEnabled(!domestic);
    mcboDHLService->setCurrentIndex(domestic ? 0 : 1);
}
void CCarrierTabs::cboEbayShow_Click()
{
    const int position = mcboEbayShow->currentIndex();
    if (position < 1)
        return;
    mtxtEbayZIP2->setText(u"%1"_s.arg(mcboEbayShow->itemData(position).toInt(), 5, 10, QChar(u'0')));
}
void CCarrierTabs::cboUSPSBusiSize_Click()
{
    if (mcboUSPSBusiSize->currentIndex() == 2) {
        if (mcboUSPSBusiRate->count() == 2) {
            mcboUSPSBusiRate->removeItem(1);
            mcboUSPSBusiRate->setCurrentIndex(0);
        }
    } else if (mcboUSPSBusiRate->count() == 1) {
        mcboUSPSBusiRate->addItem(u"Presorted"_s);
    }
}