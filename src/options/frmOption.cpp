#include "frmOption.h"

#include "Autostart.h"
#include "CCarrierPages.h"
#include "CChoiceLists.h"
#include "CFormField.h"
#include "CWebUserAdd.h"
#include "GeneralSettings.h"
#include "IniFile.h"
#include "IniValue.h"
#include "ScaleSession.h"
#include "UserPages.h"
#include "frmAddWeb.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDebug>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStringListModel>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString UnitedStates = u"United States Of America"_s;

// The colour pictures are the skins, shown small.
constexpr QSize ThumbSize {150, 84};
// The frame round the chosen colour: 40 twips out from the picture on every side.
constexpr int ShapeMargin = 3;

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

frmOption::frmOption(ScaleSession& session, QList<Skin> skins, QWidget* parent)
    : QDialog(parent)
    , mSession(session)
    , mSkins(std::move(skins))
{
    setObjectName(u"frmOption"_s);
    setWindowTitle(u"Options"_s);
    SetAddPageWizard(nullptr);

    auto* layout = new QVBoxLayout(this);
    mTabStrip = Named(new QTabWidget(this), u"TabStrip"_s);
    // Every tab caption in sight: the dialog is as wide as the ten of them.
    mTabStrip->setUsesScrollButtons(false);
    const std::pair<QString, QWidget*> tabs[] = {
        {u"General"_s, BuildGeneral()},
        {u"Scale Color"_s, BuildScaleColor()},
        {u"Add Web Page"_s, BuildWebPages()},
        {u"DHL"_s, BuildDhl()},
        {u"Ebay"_s, BuildEbay()},
        {u"FedEx Rate Finder"_s, BuildFedEx()},
        {u"UPS"_s, BuildUps()},
        {u"USPS Business"_s, BuildUspsBusiness()},
        {u"USPS Domestic"_s, BuildUspsDomestic()},
        {u"USPS International"_s, BuildUspsInternational()},
    };
    for (int i = 0; i < int(std::size(tabs)); ++i) {
        tabs[i].second->setObjectName(u"Frames"_s + QString::number(i));
        mTabStrip->addTab(tabs[i].second, tabs[i].first);
    }
    layout->addWidget(mTabStrip);
    // The tabs go alphabetically; the file keeps the carrier sections in its own fixed order (FedEx, eBay,
    // DHL, USPS domestic and international, UPS, USPS business), whatever the dialog's arrangement.
    const QStringList writeOrder = {u"_WGX_FEDEX"_s,    u"_WGX_EBAY"_s, u"_WGX_DHL"_s,      u"_WGX_USPS_DOM"_s,
                                    u"_WGX_USPS_INT"_s, u"_WGX_UPS"_s,  u"_WGX_USPS_BUSI"_s};
    std::stable_sort(mSections.begin(), mSections.end(), [&writeOrder](const auto& a, const auto& b) {
        const auto rank = [&writeOrder](const CarrierSection& section) {
            const qsizetype at = writeOrder.indexOf(section.name);
            return at < 0 ? writeOrder.size() : at;
        };
        return rank(a) < rank(b);
    });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = Named(buttons->addButton(u"&OK"_s, QDialogButtonBox::AcceptRole), u"cmdOK"_s);
    QPushButton* cancel = Named(buttons->addButton(u"&Cancel"_s, QDialogButtonBox::RejectRole), u"cmdCancel"_s);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &frmOption::cmdOK_Click);
    connect(cancel, &QPushButton::clicked, this, &frmOption::cmdCancel_Click);
    layout->addWidget(buttons);
}

frmOption::~frmOption() = default;

void frmOption::SetAddPageWizard(AddPageWizard wizard)
{
    if (wizard) {
        mAddPageWizard = std::move(wizard);
        return;
    }
    mAddPageWizard = [this](QWidget* owner, std::function<void(const QString& name)> added) {
        ShowAddWebWizard(mSession, owner, std::move(added));
    };
}

// ---- pages ----

QWidget* frmOption::BuildGeneral()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* web = new QGroupBox(u" Auto - Launch Website"_s, page);
    auto* webLayout = new QVBoxLayout(web);
    mcboWeb = ListBox(web, u"cboWeb"_s);
    mcboWeb->setMinimumContentsLength(30);
    connect(mcboWeb, &QComboBox::activated, this, [this](int) { cboWeb_Click(); });
    webLayout->addWidget(mcboWeb);
    layout->addWidget(web);

    auto* startup = new QGroupBox(u" Startup Option"_s, page);
    auto* startupLayout = new QVBoxLayout(startup);
    // Here the program starts with the desktop session, not with an operating system.
    mchkAutoStart = Named(new QCheckBox(u"Run at startup"_s, startup), u"chkAutoStart"_s);
    startupLayout->addWidget(mchkAutoStart);
    layout->addWidget(startup);

    auto* browser = new QGroupBox(u" Web Browser"_s, page);
    auto* browserLayout = new QVBoxLayout(browser);
    // Starts the browser, unseen, as soon as something is put on the scale, so the page is there when the
    // weight settles; off for those who would rather not have a browser running they did not open.
    mchkPrepare = Named(new QCheckBox(u"Prepare the browser in advance"_s, browser), u"chkPrepare"_s);
    browserLayout->addWidget(mchkPrepare);
    layout->addWidget(browser);
    layout->addStretch();
    return page;
}

QWidget* frmOption::BuildScaleColor()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* box = new QGroupBox(u" Select the Scale Color"_s, page);
    auto* grid = new QGridLayout(box);
    grid->setSpacing(4 * ShapeMargin);
    for (int i = 0; i < mSkins.size(); ++i) {
        const Skin& skin = mSkins.at(i);
        auto* picture = Named(new QToolButton(box), u"Imgs"_s + QString::number(i));
        picture->setIcon(QIcon(skin.picture.scaled(ThumbSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        picture->setIconSize(ThumbSize);
        picture->setAutoRaise(true);
        picture->setToolTip(skin.name);
        picture->setAccessibleName(skin.name);
        connect(picture, &QToolButton::clicked, this, [this, i] { Imgs_Click(i); });
        grid->addWidget(picture, i / 3, i % 3);
        mImgs << picture;
    }
    mShape1 = Named(new QFrame(box), u"Shape1"_s);
    mShape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    mShape1->setLineWidth(2);
    mShape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    // The pictures get their places only when the page is laid out; the frame follows them.
    box->installEventFilter(this);
    layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget* frmOption::BuildWebPages()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    mlvWebpage = Named(new QTreeWidget(page), u"lvWebpage"_s);
    mlvWebpage->setHeaderLabels({u"Name"_s, u"Title"_s, u"URL"_s});
    mlvWebpage->setRootIsDecorated(false);
    mlvWebpage->setUniformRowHeights(true);
    mlvWebpage->setAllColumnsShowFocus(true);
    mlvWebpage->header()->resizeSection(0, 140);
    mlvWebpage->header()->resizeSection(1, 180);
    layout->addWidget(mlvWebpage);

    auto* row = new QHBoxLayout;
    auto* add = Named(new QPushButton(u"&Add"_s, page), u"cmdAdd"_s);
    auto* remove = Named(new QPushButton(u"&Delete"_s, page), u"cmdDelete"_s);
    connect(add, &QPushButton::clicked, this, &frmOption::cmdAdd_Click);
    connect(remove, &QPushButton::clicked, this, &frmOption::cmdDelete_Click);
    row->addWidget(add);
    row->addWidget(remove);
    row->addStretch();
    layout->addLayout(row);

    auto* note
        = new QLabel(u"You can add a new webpage to be included in the Auto Launch website list. The application "
                     u"will remember the address and information for the website and automatically populate "
                     u"the corresponding fields."_s,
                     page);
    note->setWordWrap(true);
    layout->addWidget(note);
    return page;
}

QWidget* frmOption::BuildDhl()
{
    CarrierTab tab(this, u"chkDHLAutoFill"_s);
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
    QList<Field> keyless;
    for (const QString& name : {u"cboDHLMth"_s, u"cboDHLDay"_s, u"cboDHLYr"_s}) {
        QComboBox* box = ListBox(page, name, Numbers(1, 10));
        date->addWidget(box);
        keyless.append({QString(), Kind::List, box});
    }
    date->addStretch();
    tab.form->addRow(u"Shipment Date"_s, date);

    mSections.append({u"_WGX_DHL"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"ZIP1"_s, Kind::Text, zip1},
                          {u"ZIP2"_s, Kind::Text, zip2},
                          {u"SHIP_TO_RES"_s, Kind::Option, nullptr, residential, u"0"_s},
                          {u"CNTRY2"_s, Kind::List, mcboDHLCntry2},
                          {u"SERVICE"_s, Kind::DhlService, mcboDHLService},
                          {u"HEIGHT"_s, Kind::Text, hgt},
                          {u"LEN"_s, Kind::Text, len},
                          {u"WIDTH"_s, Kind::Text, wdt},
                          {u"EMP"_s, Kind::Text, emp},
                          {u"SHIP_PRO_VAL"_s, Kind::Text, value},
                          {u"SAT"_s, Kind::Check, saturday},
                          {u"CITY"_s, Kind::Text, mtxtDHLCity},
                      }});
    mSections.append({QString(), keyless});
    return tab.Finish();
}

QWidget* frmOption::BuildEbay()
{
    CarrierTab tab(this, u"chkEbayAutoFill"_s);
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

    mSections.append({u"_WGX_EBAY"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"PACK_SIZE"_s, Kind::List, pack},
                          {u"SHOW_RATE_TO"_s, Kind::List, mcboEbayShow},
                          {u"HEIGHT"_s, Kind::Text, hgt},
                          {u"WIDTH"_s, Kind::Text, wdt},
                          {u"LEN"_s, Kind::Text, len},
                          {u"ZIP1"_s, Kind::Text, zip1},
                          {u"ZIP2"_s, Kind::Text, mtxtEbayZIP2},
                      }});
    mSections.append({QString(), {{QString(), Kind::Text, fee}}});
    return tab.Finish();
}

QWidget* frmOption::BuildFedEx()
{
    CarrierTab tab(this, u"chkAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;

    auto* countries = new QStringListModel(CChoiceLists::Entries(CChoiceLists::List::FedExCountries), this);
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
        = tab.Row(u"Number of packages"_s, EditBox(page, u"cboPackNo"_s, new QStringListModel(Numbers(1, 10), this)));
    packNo->setMinimumContentsLength(6);
    QComboBox* shipDate
        = tab.Row(u"Ship date"_s, EditBox(page, u"cboShipDate"_s, new QStringListModel(ShipDates(9), this)));

    mSections.append({u"_WGX_FEDEX"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"CNTRY1"_s, Kind::EditList, country[0], nullptr, u"U.S.A."_s},
                          {u"CNTRY2"_s, Kind::EditList, country[1], nullptr, u"U.S.A."_s},
                          {u"ZIP1"_s, Kind::Text, zip[0]},
                          {u"ZIP2"_s, Kind::Text, zip[1]},
                          {u"SERVICE"_s, Kind::Option, nullptr, optFedEx, u"0"_s},
                          {u"SHIP_TO_RES"_s, Kind::Option, nullptr, optFedRes, u"1"_s},
                          {u"PACK_NO"_s, Kind::Text, packNo, nullptr, u"1"_s},
                          {u"SHIP_DATE"_s, Kind::EditListNumber, shipDate, nullptr, u"Today"_s},
                      }});
    return tab.Finish();
}

QWidget* frmOption::BuildUps()
{
    CarrierTab tab(this, u"chkUPSAutoFill"_s);
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

    mSections.append({u"_WGX_UPS"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"ZIP1"_s, Kind::Text, zip[0]},
                          {u"ZIP2"_s, Kind::Text, zip[1]},
                          {u"DOC"_s, Kind::CheckNumber, doc},
                          {u"CNTRY1"_s, Kind::List, country[0]},
                          {u"CNTRY2"_s, Kind::List, country[1]},
                          {u"PACK_NO"_s, Kind::List, packNo},
                          {u"CITY1"_s, Kind::Text, city[0]},
                          {u"CITY2"_s, Kind::Text, city[1]},
                          {u"CUS_VAL"_s, Kind::Text, cusVal},
                          {u"CUS_CNTRY"_s, Kind::List, cusCntry},
                          {u"SHIP_TO_RES"_s, Kind::Check, residential},
                      }});
    mSections.append({QString(), {{QString(), Kind::List, shipDate}}});
    return tab.Finish();
}

QWidget* frmOption::BuildUspsBusiness()
{
    CarrierTab tab(this, u"chkUSPSBusiAutoFill"_s);
    QLineEdit* zip1 = tab.Text(u"Origin"_s, u"txtUSPSBusiZip1"_s);
    QLineEdit* zip2 = tab.Text(u"Dest"_s, u"txtUSPSBusiZip2"_s);
    QCheckBox* surcharge = tab.Check(u"Nonmachinable Surcharge"_s, u"chkUSPSBusiSur"_s);
    mcboUSPSBusiSize
        = tab.List(u"Size"_s, u"cboUSPSBusiSize"_s,
                   {u"Letters, Flats, and Small Parcels"_s, u"Cards"_s, u"Keys and Identification Devices"_s});
    connect(mcboUSPSBusiSize, &QComboBox::currentIndexChanged, this, [this](int) { cboUSPSBusiSize_Click(); });
    mcboUSPSBusiRate = tab.List(u"Rate"_s, u"cboUSPSBusiRate"_s, {u"Single-Piece"_s, u"Presorted"_s});

    mSections.append({u"_WGX_USPS_BUSI"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"ZIP1"_s, Kind::Text, zip1},
                          {u"ZIP2"_s, Kind::Text, zip2},
                          {u"NON"_s, Kind::CheckNumber, surcharge},
                          {u"SIZE"_s, Kind::List, mcboUSPSBusiSize},
                          {u"RATE"_s, Kind::List, mcboUSPSBusiRate},
                      }});
    return tab.Finish();
}

QWidget* frmOption::BuildUspsDomestic()
{
    CarrierTab tab(this, u"chkUSPSDomAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;
    auto* what = new QGroupBox(u" What would you like to mail?"_s, page);
    auto* whatLayout = new QVBoxLayout(what);
    QButtonGroup* service = OptionPair(what, whatLayout, u"optUSPSDom"_s, u"Letter or Large Envelope"_s, u"Package"_s);
    layout->addWidget(what);
    QLineEdit* zip1 = tab.Text(u"From ZIP Code"_s, u"txtUSPSDomZIP1"_s);
    QLineEdit* zip2 = tab.Text(u"To ZIP Code"_s, u"txtUSPSDomZIP2"_s);

    mSections.append({u"_WGX_USPS_DOM"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"SERVICE"_s, Kind::Option, nullptr, service, u"0"_s},
                          {u"ZIP1"_s, Kind::Text, zip1},
                          {u"ZIP2"_s, Kind::Text, zip2},
                      }});
    return tab.Finish();
}

QWidget* frmOption::BuildUspsInternational()
{
    CarrierTab tab(this, u"chkUSPSIntAutoFill"_s);
    QWidget* page = tab.page;
    QVBoxLayout* layout = tab.layout;
    layout->addWidget(new QLabel(u" To which country are you mailing?"_s, page));
    QComboBox* country = LongListBox(page, u"cboUSPSIntCntry"_s, CChoiceLists::List::UspsCountries);
    layout->addWidget(country, 0, Qt::AlignLeft);

    mSections.append({u"_WGX_USPS_INT"_s,
                      {
                          {u"AUTO_FILL"_s, Kind::Check, tab.autoFill},
                          {u"CNTRY"_s, Kind::List, country},
                      }});
    return tab.Finish();
}

// ---- loading and saving ----

void frmOption::Form_Load()
{
    QString error;
    mBackupTaken = !mSession.Data1Path().isEmpty()
        && IniFile::CopyFileAtomic(mSession.Data1Path(), mSession.Data2Path(), &error);
    if (!mBackupTaken)
        qWarning().noquote() << "options: backup copy not taken, Cancel will keep the changes:" << error;

    ResetControls();

    mlvWebpage->clear();
    for (const QString& name : mSession.Pages())
        AddPageRow(name);

    // The main window's list: "None", the carriers, then the user's pages.
    mcboWeb->clear();
    for (int page = 0; page <= 8; ++page)
        mcboWeb->addItem(CCarrierPages::LauncherCaption(page));
    mcboWeb->addItems(mSession.Pages());

    mSkin = qBound(0, mSession.General().skin, int(mImgs.size()) - 1);
    PlaceShape();

    LoadSettings();
    mTabStrip->setCurrentIndex(0);
    mcboWeb->setFocus();
}

void frmOption::ResetControls()
{
    for (const CarrierSection& section : std::as_const(mSections)) {
        for (const Field& field : section.fields) {
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
    mchkAutoStart->setChecked(false);
}

void frmOption::LoadSettings()
{
    IniFile& settings = mSession.Settings();
    if (const auto startup = GeneralSettings::StoredStartup(settings))
        mchkAutoStart->setChecked(*startup);
    mchkPrepare->setChecked(mSession.General().prepareBrowser);
    if (const auto page = IntegerRead(GeneralSettings::StoredPage(settings));
        page && *page >= -1 && *page < mcboWeb->count()) {
        mcboWeb->setCurrentIndex(*page);
        cboWeb_Click();
    }

    for (const CarrierSection& section : std::as_const(mSections)) {
        if (section.name.isEmpty())
            continue;
        IniSection stored = settings.Section(section.name);
        for (const Field& field : section.fields)
            LoadField(field, stored.Key(field.key).Value());
    }
}

void frmOption::LoadField(const Field& field, const QString& value)
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

void frmOption::SaveSettings()
{
    {
        // Every key in one replacement of the file; the copy below must see them all.
        const IniFile::Batch batch(mSession.Settings());
        SaveKeys();
    }
    QString error;
    if (!mSession.Data1Path().isEmpty() && !IniFile::CopyFileAtomic(mSession.Data1Path(), mSession.Data2Path(), &error))
        qWarning().noquote() << "options: backup copy not refreshed:" << error;
}

void frmOption::SaveKeys()
{
    IniFile& settings = mSession.Settings();
    GeneralSettings::SaveStartup(settings, mchkAutoStart->isChecked());
    // The running session follows at once; it writes its copy again at the end.
    mSession.General().prepareBrowser = mchkPrepare->isChecked();
    GeneralSettings::SavePrepareBrowser(settings, mchkPrepare->isChecked());
    GeneralSettings::SavePage(settings, mcboWeb->currentIndex());

    QString error;
    if (!Autostart::RegisterStartup(mchkAutoStart->isChecked(), u"Pesavo"_s, QCoreApplication::applicationFilePath(),
                                    &error))
        qWarning().noquote() << "options: start with the session:" << error;

    mSession.ChooseSkin(mSkin);

    for (const CarrierSection& section : std::as_const(mSections)) {
        if (section.name.isEmpty())
            continue;
        for (const Field& field : section.fields)
            SaveField(section.name, field);
    }
}

void frmOption::SaveField(const QString& section, const Field& field)
{
    IniKey key = mSession.Settings().Section(section).Key(field.key);
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

// ---- buttons ----

void frmOption::cmdOK_Click()
{
    SaveSettings();
    Form_Unload();
}

void frmOption::cmdCancel_Click()
{
    // What pages added here put into the keyring goes with them.
    mDroppedSecrets.append(AllPageSecrets());
    // Without this opening's copy, an older one would throw away more than the edits made here.
    QString error;
    if (mBackupTaken && !IniFile::CopyFileAtomic(mSession.Data2Path(), mSession.Data1Path(), &error))
        qWarning().noquote() << "options: settings not restored:" << error;
    // The choice the restored file holds, before the main window shows (and stores) the page list again.
    if (const auto page = IniValue::ToInt16(GeneralSettings::StoredPage(mSession.Settings())))
        mSession.ChoosePage(*page);
    mSession.ReloadPages();
    Form_Unload();
}

void frmOption::reject()
{
    // Escape.
    cmdCancel_Click();
}

void frmOption::closeEvent(QCloseEvent* event)
{
    event->accept();
    Form_Unload();
}

void frmOption::Form_Unload()
{
    const QList<SecretStore::Key> kept = AllPageSecrets();
    if (SecretStore* store = SecretStore::Shared()) {
        for (const SecretStore::Key& key : std::as_const(mDroppedSecrets)) {
            if (!kept.contains(key))
                store->Delete(key, [field = key.field](bool ok, const QString& error) {
                    if (!ok)
                        qWarning().noquote() << "options: password of" << field << "left in the keyring:" << error;
                });
        }
    }
    mDroppedSecrets.clear();
    hide();
    Q_EMIT Unloaded();
}

// ---- general and colour ----

void frmOption::cboWeb_Click()
{
    mSession.ChoosePage(mcboWeb->currentIndex());
}

void frmOption::Imgs_Click(int index)
{
    if (index < 0 || index >= mImgs.size())
        return;
    mSkin = index;
    PlaceShape();
}

void frmOption::PlaceShape()
{
    QToolButton* chosen = mImgs.value(mSkin);
    if (!chosen)
        return;
    mShape1->setGeometry(chosen->geometry().adjusted(-ShapeMargin, -ShapeMargin, ShapeMargin, ShapeMargin));
    mShape1->raise();
    mShape1->show();
}

bool frmOption::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mShape1->parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        PlaceShape();
    return QDialog::eventFilter(watched, event);
}

// ---- carrier rules ----

void frmOption::cboDHLCntry2_Click()
{
    const bool domestic = mcboDHLCntry2->currentText().contains(UnitedStates, Qt::CaseInsensitive);
    // A disabled box is drawn in the style's disabled colours.
    mtxtDHLCity->setEnabled(!domestic);
    mcboDHLService->setCurrentIndex(domestic ? 0 : 1);
}

void frmOption::cboEbayShow_Click()
{
    const int position = mcboEbayShow->currentIndex();
    if (position < 1)
        return;
    mtxtEbayZIP2->setText(u"%1"_s.arg(mcboEbayShow->itemData(position).toInt(), 5, 10, QChar(u'0')));
}

void frmOption::cboUSPSBusiSize_Click()
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

// ---- user pages ----

void frmOption::AddPageRow(const QString& name)
{
    auto* row = new QTreeWidgetItem(mlvWebpage);
    row->setText(0, name);
    const IniSection page = mSession.Settings().Section(name);
    row->setText(1, page.Key(u"_WGX_TITLE"_s).Value());
    row->setText(2, page.Key(u"_WGX_ADDRESS"_s).Value());
}

void frmOption::ShowAddWebWizard(ScaleSession& session, QWidget* owner, std::function<void(const QString& name)> added)
{
    // Owned by the dialog and modal to it: OK, Cancel and Delete wait until the wizard is done.
    auto* wizard = new frmAddWeb(session, owner);
    wizard->setWindowModality(Qt::WindowModal);
    QObject::connect(wizard, &frmAddWeb::Closed, owner, [wizard, added = std::move(added)](bool recorded) {
        if (recorded)
            added(wizard->PageName());
    });
    wizard->Start();
}

void frmOption::cmdAdd_Click()
{
    if (mSession.Pages().size() >= UserPages::MaxPages)
        return;
    mAddPageWizard(this, [this](const QString& name) { AddedPage(name); });
}

void frmOption::AddedPage(const QString& name)
{
    if (name.isEmpty())
        return;
    AddPageRow(name);
    if (mcboWeb->findText(name, Qt::MatchFixedString) < 0)
        mcboWeb->addItem(name);
}

void frmOption::cmdDelete_Click()
{
    QTreeWidgetItem* row = mlvWebpage->currentItem();
    if (!row || !row->isSelected())
        return;
    const QString name = row->text(0);
    delete row;
    if (!UserPages::Remove(mSession.Settings(), name))
        qWarning().noquote() << "options: page" << name << "not taken out of the list";

    // Removing the chosen page falls back to "None", and the main window must follow that choice.
    const bool wasChosen = mcboWeb->currentIndex() > 0 && mcboWeb->currentText() == name;
    for (int i = mcboWeb->count() - 1; i >= 0; --i) {
        if (mcboWeb->itemText(i) == name)
            mcboWeb->removeItem(i);
    }
    if (wasChosen)
        mcboWeb->setCurrentIndex(0);

    mDroppedSecrets.append(CWebUserAdd::PageSecrets(mSession.Settings(), name));
    DeletePageSections(name);
    mSession.ReloadPages();
    mSession.ChoosePage(mcboWeb->currentIndex());
}

QList<SecretStore::Key> frmOption::AllPageSecrets() const
{
    QList<SecretStore::Key> keys;
    for (const QString& page : mSession.Pages())
        keys.append(CWebUserAdd::PageSecrets(mSession.Settings(), page));
    return keys;
}

void frmOption::DeletePageSections(const QString& name)
{
    if (name.isEmpty())
        return;
    IniSection section = mSession.Settings().Section(name);
    const int frames = IniValue::ToInt16(section.Key(u"_WGX_FRM_CNT"_s).Value()).value_or(0);
    section.Delete();
    for (int i = 0; i < frames; ++i)
        DeletePageSections(name + u"_FRAME"_s + QString::number(i));
}
