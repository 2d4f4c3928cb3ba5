#pragma once

#include "SecretStore.h"

#include <QDialog>
#include <QList>
#include <QPixmap>
#include <QString>

#include <functional>
#include <memory>

class CCarrierTabs;
class QAbstractButton;
class QCheckBox;
class ScaleSession;
class QComboBox;
class QFrame;
class QTabWidget;
class QToolButton;
class QTreeWidget;

// The options window: the page launched on a settled weight, start with the session,
// the scale colour, the user's own pages and what the carrier fillers put into the
// carriers' forms.
//
// It edits the live settings file directly. Each showing starts by copying it over
// the backup copy; OK keeps the edits and refreshes the copy, Cancel (or Escape) puts
// the copy back. The close box does neither: page changes and the auto-launch choice,
// which take effect at once, stay; the other edits are dropped at the next showing.
class frmOption final : public QDialog
{
    Q_OBJECT
public:
    // A colour the main window can take, as the "Scale Color" tab offers it.
    struct Skin
    {
        QPixmap picture;
        QString name;
    };
    frmOption(ScaleSession& session, QList<Skin> skins, QWidget* parent = nullptr);
    ~frmOption() override;

    // Starts the add-page wizard over `owner`; `added` gets the page's name once the wizard has
    // recorded a page (the page, its sections and the page list are then written).
    using AddPageWizard = std::function<void(QWidget* owner, std::function<void(const QString& name)> added)>;
    // Replaces the wizard "Add" starts (tests); an empty function restores the program's own.
    void SetAddPageWizard(AddPageWizard wizard);

    // Takes the backup copy and fills every control afresh; run before each showing.
    void Form_Load();
    // Hides the window and gives the other windows back, saving or restoring nothing.
    void Form_Unload();
    void LoadSettings();
    void SaveSettings();
    // Removes a user page's section and, through its frame count, its frame sections.
    void DeletePageSections(const QString& name);
    // The keyring entries of every page in the settings.
    QList<SecretStore::Key> AllPageSecrets() const;

    void cmdOK_Click();
    void cmdCancel_Click();
    void cmdAdd_Click();
    void cmdDelete_Click();
    void Imgs_Click(int index);
    void cboWeb_Click();

    int ChosenSkin() const { return mintSkin; }

Q_SIGNALS:
    // The dialog has closed, whichever way: the windows it kept disabled may be used again.
    void Unloaded();

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildGeneral();
    QWidget* BuildScaleColor();
    QWidget* BuildWebPages();

    void ResetControls();
    void SaveKeys();
    void AddPageRow(const QString& name);
    void AddedPage(const QString& name);
    static void ShowAddWebWizard(ScaleSession& session, QWidget* owner, std::function<void(const QString& name)> added);
    void PlaceShape();

    ScaleSession& mobjSession;
    QList<Skin> mcolSkins;
    std::unique_ptr<CCarrierTabs> mobjCarrierTabs;
    AddPageWizard mfnAddPageWizard;
    int mintSkin = 0;
    bool mbBackupTaken = false;
    // Keyring entries of pages deleted (or, on Cancel, added) while the dialog is open: they go when
    // it closes, unless the file it leaves still names them (Cancel brought the page back).
    QList<SecretStore::Key> mcolDroppedSecrets;

    QTabWidget* mTabStrip = nullptr;
    QComboBox* mcboWeb = nullptr;
    QCheckBox* mchkAutoStart = nullptr;
    QCheckBox* mchkPrepare = nullptr;
    QList<QToolButton*> mImgs;
    QFrame* mShape1 = nullptr;
    QTreeWidget* mlvWebpage = nullptr;
};
