#include "frmOption.h"

#include "Autostart.h"
#include "CCarrierPages.h"
#include "CCarrierTabs.h"
#include "CFormField.h"
#include "CWebUserAdd.h"
#include "GeneralSettings.h"
#include "IniFile.h"
#include "IniValue.h"
#include "ScaleSession.h"
#include "UserPages.h"
#include "frmAddWeb.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// The colour pictures are the skins, shown small.
constexpr QSize ThumbSize {150, 84};
// The frame round the chosen colour: 40 twips out from the picture on every side.
constexpr int ShapeMargin = 3;

template <typename T> T* Named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

frmOption::frmOption(ScaleSession& session, QList<Skin> skins, QWidget* parent)
    : QDialog(parent)
    , mobjSession(session)
    , mcolSkins(std::move(skins))
{
    setObjectName(u"frmOption"_s);
    setWindowTitle(u"Options"_s);
    SetAddPageWizard(nullptr);

    auto* layout = new QVBoxLayout(this);
    mTabStrip = Named(new QTabWidget(this), u"TabStrip"_s);
    // Every tab caption in sight: the dialog is as wide as the ten of them.
    mTabStrip->setUsesScrollButtons(false);
    QList<CCarrierTabs::Tab> tabs = {
        {u"General"_s, BuildGeneral()},
        {u"Scale Color"_s, BuildScaleColor()},
        {u"Add Web Page"_s, BuildWebPages()},
    };
    mobjCarrierTabs = std::make_unique<CCarrierTabs>(this);
    tabs.append(mobjCarrierTabs->Tabs());
    for (int i = 0; i < tabs.size(); ++i) {
        tabs.at(i).page->setObjectName(u"Frames"_s + QString::number(i));
        mTabStrip->addTab(tabs.at(i).page, tabs.at(i).caption);
    }
    layout->addWidget(mTabStrip);

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
        mfnAddPageWizard = std::move(wizard);
        return;
    }
    mfnAddPageWizard = [this](QWidget* owner, std::function<void(const QString& name)> added) {
        ShowAddWebWizard(mobjSession, owner, std::move(added));
    };
}

// ---- pages ----

QWidget* frmOption::BuildGeneral()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* web = new QGroupBox(u" Auto - Launch Website"_s, page);
    auto* webLayout = new QVBoxLayout(web);
    mcboWeb = Named(new QComboBox(web), u"cboWeb"_s);
    mcboWeb->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    mcboWeb->setMaxVisibleItems(20);
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
    for (int i = 0; i < mcolSkins.size(); ++i) {
        const Skin& skin = mcolSkins.at(i);
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

// ---- loading and saving ----

void frmOption::Form_Load()
{
    QString error;
    mbBackupTaken = !mobjSession.Data1Path().isEmpty()
        && IniFile::CopyFileAtomic(mobjSession.Data1Path(), mobjSession.Data2Path(), &error);
    if (!mbBackupTaken)
        qWarning().noquote() << "options: backup copy not taken, Cancel will keep the changes:" << error;

    ResetControls();

    mlvWebpage->clear();
    for (const QString& name : mobjSession.Pages())
        AddPageRow(name);

    // The main window's list: "None", the carriers, then the user's pages.
    mcboWeb->clear();
    for (int page = 0; page <= 8; ++page)
        mcboWeb->addItem(CCarrierPages::LauncherCaption(page));
    mcboWeb->addItems(mobjSession.Pages());

    mintSkin = qBound(0, mobjSession.General().skin, int(mImgs.size()) - 1);
    PlaceShape();

    LoadSettings();
    mTabStrip->setCurrentIndex(0);
    mcboWeb->setFocus();
}

void frmOption::ResetControls()
{
    mobjCarrierTabs->ResetControls();
    mchkAutoStart->setChecked(false);
}

void frmOption::LoadSettings()
{
    IniFile& settings = mobjSession.Settings();
    if (const auto startup = GeneralSettings::StoredStartup(settings))
        mchkAutoStart->setChecked(*startup);
    mchkPrepare->setChecked(mobjSession.General().prepareBrowser);
    if (const auto page = CFormField::ToInt32(GeneralSettings::StoredPage(settings));
        page && *page >= -1 && *page < mcboWeb->count()) {
        mcboWeb->setCurrentIndex(*page);
        cboWeb_Click();
    }

    mobjCarrierTabs->LoadSettings(settings);
}

void frmOption::SaveSettings()
{
    {
        // Every key in one replacement of the file; the copy below must see them all.
        const IniFile::Batch batch(mobjSession.Settings());
        SaveKeys();
    }
    QString error;
    if (!mobjSession.Data1Path().isEmpty()
        && !IniFile::CopyFileAtomic(mobjSession.Data1Path(), mobjSession.Data2Path(), &error))
        qWarning().noquote() << "options: backup copy not refreshed:" << error;
}

void frmOption::SaveKeys()
{
    IniFile& settings = mobjSession.Settings();
    GeneralSettings::SaveStartup(settings, mchkAutoStart->isChecked());
    // The running session follows at once; it writes its copy again at the end.
    mobjSession.General().prepareBrowser = mchkPrepare->isChecked();
    GeneralSettings::SavePrepareBrowser(settings, mchkPrepare->isChecked());
    GeneralSettings::SavePage(settings, mcboWeb->currentIndex());

    QString error;
    if (!Autostart::RegisterStartup(mchkAutoStart->isChecked(), u"Pesavo"_s, QCoreApplication::applicationFilePath(),
                                    &error))
        qWarning().noquote() << "options: start with the session:" << error;

    mobjSession.ChooseSkin(mintSkin);

    mobjCarrierTabs->SaveKeys(settings);
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
    mcolDroppedSecrets.append(AllPageSecrets());
    // Without this opening's copy, an older one would throw away more than the edits made here.
    QString error;
    if (mbBackupTaken && !IniFile::CopyFileAtomic(mobjSession.Data2Path(), mobjSession.Data1Path(), &error))
        qWarning().noquote() << "options: settings not restored:" << error;
    // The choice the restored file holds, before the main window shows (and stores) the page list again.
    if (const auto page = IniValue::ToInt16(GeneralSettings::StoredPage(mobjSession.Settings())))
        mobjSession.ChoosePage(*page);
    mobjSession.ReloadPages();
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
        for (const SecretStore::Key& key : std::as_const(mcolDroppedSecrets)) {
            if (!kept.contains(key))
                store->Delete(key, [field = key.field](bool ok, const QString& error) {
                    if (!ok)
                        qWarning().noquote() << "options: password of" << field << "left in the keyring:" << error;
                });
        }
    }
    mcolDroppedSecrets.clear();
    hide();
    Q_EMIT Unloaded();
}

// ---- general and colour ----

void frmOption::cboWeb_Click()
{
    mobjSession.ChoosePage(mcboWeb->currentIndex());
}

void frmOption::Imgs_Click(int index)
{
    if (index < 0 || index >= mImgs.size())
        return;
    mintSkin = index;
    PlaceShape();
}

void frmOption::PlaceShape()
{
    QToolButton* chosen = mImgs.value(mintSkin);
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

// ---- user pages ----

void frmOption::AddPageRow(const QString& name)
{
    auto* row = new QTreeWidgetItem(mlvWebpage);
    row->setText(0, name);
    const IniSection page = mobjSession.Settings().Section(name);
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
    if (mobjSession.Pages().size() >= UserPages::MaxPages)
        return;
    mfnAddPageWizard(this, [this](const QString& name) { AddedPage(name); });
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
    if (!UserPages::Remove(mobjSession.Settings(), name))
        qWarning().noquote() << "options: page" << name << "not taken out of the list";

    // Removing the chosen page falls back to "None", and the main window must follow that choice.
    const bool wasChosen = mcboWeb->currentIndex() > 0 && mcboWeb->currentText() == name;
    for (int i = mcboWeb->count() - 1; i >= 0; --i) {
        if (mcboWeb->itemText(i) == name)
            mcboWeb->removeItem(i);
    }
    if (wasChosen)
        mcboWeb->setCurrentIndex(0);

    mcolDroppedSecrets.append(CWebUserAdd::PageSecrets(mobjSession.Settings(), name));
    DeletePageSections(name);
    mobjSession.ReloadPages();
    mobjSession.ChoosePage(mcboWeb->currentIndex());
}

QList<SecretStore::Key> frmOption::AllPageSecrets() const
{
    QList<SecretStore::Key> keys;
    for (const QString& page : mobjSession.Pages())
        keys.append(CWebUserAdd::PageSecrets(mobjSession.Settings(), page));
    return keys;
}

void frmOption::DeletePageSections(const QString& name)
{
    if (name.isEmpty())
        return;
    IniSection section = mobjSession.Settings().Section(name);
    const int frames = IniValue::ToInt16(section.Key(u"_WGX_FRM_CNT"_s).Value()).value_or(0);
    section.Delete();
    for (int i = 0; i < frames; ++i)
        DeletePageSections(name + u"_FRAME"_s + QString::number(i));
}
