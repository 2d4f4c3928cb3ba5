#pragma once

#include "SecretStore.h"

#include <QJsonObject>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class HtmlDocument;
class IniFile;
class QLabel;
class QLineEdit;

class QPushButton;
class ScaleSession;
class QTextEdit;
class WebBrowser;

// The three-step wizard that teaches the program a web page of the user's own: a name, a browser window
// in which the user goes to the page, fills it and types a weight code (LB, OZ, KG or G) into the
// weight field, then Finish records every field into the settings, and the page joins the page list.
//
// Use: make one, connect Closed, call Start(). It frees itself once closed; PageName() and
// PageAdded() are valid until then (and in the Closed handler).
class frmAddWeb final : public QWidget
{
    Q_OBJECT
public:
    frmAddWeb(ScaleSession& session, QWidget* parent = nullptr);
    ~frmAddWeb() override;

    // Shows the wizard at step 1, above the other windows, ready for the name.
    void Start();

    // The trimmed name accepted in step 1, and whether Finish recorded the page under it.
    QString PageName() const { return mPageName; }
    bool PageAdded() const { return mPageAdded; }

    // A password typed into the page and where it goes in the keyring.
    using Secret = std::pair<SecretStore::Key, QString>;
    // Records the form fields of a document, and of its frames, into the section of that name and its
    // frame sections, each with the origin of its document; the weight codes met are appended to
    // *weightCodes. False when the document itself could not be read or its section not written, and
    // when the page is larger than a recording may be (then *why says so and nothing is written); a
    // field or frame that fails is left out. A password never goes into the settings: its field is
    // recorded empty and, with `secrets`, listed in _WGX_KEYRING, its value appended to *secrets for
    // the keyring; without, it is not kept at all.
    static bool RecordPageFields(IniFile& settings, HtmlDocument* document, const QString& section,
                                 QString* weightCodes, QList<Secret>* secrets = nullptr, QString* why = nullptr);
    // A recording holds at most this much, so a page cannot fill the settings file or the memory.
    static constexpr qsizetype MaxRecordedFields = 5000;
    static constexpr qsizetype MaxRecordedBytes = 1024 * 1024;
    // ",kg", ",g", ",lb", ",oz" for the units among the collected codes (a "kg" is not also a "g").
    static QString WeightTypes(const QString& weightCodes);
    static bool IsWeightCode(const QString& text);

    // For the tests and the options dialog's page list.
    int Step() const { return mStep; }
    bool PageLoaded() const { return mbPageLoaded; }
    WebBrowser* Browser() const { return m_objAutoFill.get(); }
    QMessageBox* Message() const { return mMessage.data(); }

public Q_SLOTS:
    void cmdNext_Click();
    void cmdFinish_Click();
    void cmdCancel_Click();

Q_SIGNALS:
    // The wizard has closed: Finish recorded the page (added), or it was cancelled.
    void Closed(bool added);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The wizard's rounded outline, at its size of the moment.
    void SetRoundRegion();
    void m_objAutoFill_DocumentComplete(const QString& url);
    void m_objAutoFill_OnQuit();
    void ShowMessage(const QString& text, const QString& title);
    void ShowStep3();
    void SetStep3Text();
    void ReleaseBrowser();
    void Unload(bool added);
    // A document read for the recording, before anything is written.
    struct RecordedDocument
    {
        QString section;
        QString origin;
        QJsonObject record; // empty when it could not be read
        int frames = 0;
    };
    bool RecordPage(QString* why);
    static bool CollectDocuments(HtmlDocument* top, const QString& section, std::vector<RecordedDocument>& out,
                                 QString* why);
    static bool WriteDocuments(IniFile& settings, const std::vector<RecordedDocument>& documents, QString* weightCodes,
                               QList<Secret>* secrets);
    static bool WriteDocument(IniFile& settings, const RecordedDocument& document, QString* weightCodes,
                              QList<Secret>* secrets);
    void ArrangeStep(int textHeight);
    static QPixmap ExampleField(const QString& text);

    ScaleSession& mSession;
    QLabel* mLabel1;
    QLabel* mlblstep;
    QTextEdit* mTextBox;
    QLabel* mLabels0;
    QLineEdit* mtxtName;
    QWidget* mFrames;
    QLabel* mPicture1;
    QLabel* mLabels1;
    QLabel* mPicture2;
    QLabel* mLabels2;
    QLabel* mImage1;
    QPushButton* mcmdNext;
    QPushButton* mcmdFinish;
    QPushButton* mcmdCancel;

    std::unique_ptr<WebBrowser> m_objAutoFill;
    QPointer<QMessageBox> mMessage;
    QString mPageName;
    QString mWeightCodes;
    // Whether a desktop keyring answered; unknown until it has.
    std::optional<bool> mKeyring;
    int mStep = 0;
    bool mbPageLoaded = false;
    bool mPageAdded = false;
    bool mClosed = false;
};
