#include "frmAddWeb.h"

#include "HtmlDocument.h"
#include "IniFile.h"
#include "MFieldKey.h"
#include "ScaleSession.h"
#include "SecretStore.h"
#include "UserPages.h"
#include "Utility.h"
#include "WebBrowser.h"

#include <QCloseEvent>
#include <QDebug>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QWindow>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Layout in pixels (15 twips each): the small and large gaps between stacked controls, and the
// margin under the last button.
constexpr int kGap = 3;
constexpr int kLargeGap = 7;
constexpr int kBottom = 20;
constexpr int kWidth = 470;
constexpr int kLeft = 26;
constexpr int kInner = kWidth - 2 * kLeft;
constexpr int kButtonWidth = 90;
constexpr int kStep1TextHeight = 70;
constexpr int kStep2TextHeight = 67; // 1000 twips
constexpr int kStep3TextHeight = 262;

const QString kStep1Text = u"I. Assign a Name to identify the page\r\n\r\nII. Press Next to open browser."_s;
const QString kStep2Text = u"I. In the opened browser, go to your desired webpage.\r\n\r\n"
                           "II. Press Next when the webpage has finished loading."_s;
const QString kStep3Text = u"I. Fill in the information you want the application to populate for you.\r\n\r\n"
                           "II. Click the field on the webpage to populate and enter one of the following values:\r\n"
                           "  LB - populate with weight in pounds\r\n"
                           "  OZ - populate with weight in ounces\r\n"
                           "  KG - populate with weight in kilograms\r\n"
                           "  G - populate with weight in grams\r\n\r\n"
                           "For example:\r\n"
                           "The webpage field for weight in ounces (as shown in the image below), type OZ in the "
                           "field then Finish to populate the weight field when the webpage is launched "
                           "automatically by the application. You can also fill in other fields on the website "
                           "such as zip code, country, and package type.\r\n\r\n"
                           "III. Select Finish to save the information and add the webpage."_s;

const QString kNoKeyringText = u"Passwords on the page are not saved: no desktop keyring answers."_s;

QString FrameSection(const QString& section, int index)
{
    return section + u"_FRAME"_s + QString::number(index);
}

// Browsers give a text area's line breaks as LF; the stored form of any line break is the marker.
QString TextAreaValue(const QString& value)
{
    QString text = value.left(40);
    text.replace(u"\r\n"_s, u"_CRLF_"_s);
    text.replace(u'\n', u"_CRLF_"_s);
    text.replace(u'\r', u"_CRLF_"_s);
    return text;
}

bool SameName(const QString& a, const QString& b)
{
    return a.toLower() == b.toLower();
}

} // namespace

frmAddWeb::frmAddWeb(ScaleSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , mSession(session)
    , mLabel1(new QLabel(u"Add New Auto Fill Web Page"_s, this))
    , mlblstep(new QLabel(u"Step 1"_s, this))
    , mTextBox(new QTextEdit(this))
    , mLabels0(new QLabel(u"Name"_s, this))
    , mtxtName(new QLineEdit(this))
    , mFrames(new QWidget(this))
    , mPicture1(new QLabel(mFrames))
    , mLabels1(new QLabel(u"Type OZ in the weight field"_s, mFrames))
    , mPicture2(new QLabel(mFrames))
    , mLabels2(new QLabel(
          u"The application will fill 6.1 in the field next time if the reading of the scale is 6.1oz"_s, mFrames))
    , mImage1(new QLabel(this))
    , mcmdNext(new QPushButton(u"&Next"_s, this))
    , mcmdFinish(new QPushButton(u"&Finish"_s, this))
    , mcmdCancel(new QPushButton(u"&Cancel"_s, this))
{
    setObjectName(u"frmAddWeb"_s);
    setWindowTitle(u"Add New Auto Fill Web Page"_s);
    setAutoFillBackground(true);
    const std::pair<QWidget*, const char*> names[] = {
        {mLabel1, "Label1"},       {mlblstep, "lblstep"},     {mTextBox, "TextBox"},   {mLabels0, "Labels0"},
        {mtxtName, "txtName"},     {mFrames, "Frames"},       {mPicture1, "Picture1"}, {mLabels1, "Labels1"},
        {mPicture2, "Picture2"},   {mLabels2, "Labels2"},     {mImage1, "Image1"},     {mcmdNext, "cmdNext"},
        {mcmdFinish, "cmdFinish"}, {mcmdCancel, "cmdCancel"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));

    QFont heading = font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.25);
    mLabel1->setFont(heading);
    mLabel1->setGeometry(kLeft, 22, kInner - 56, 24);
    QFont stepFont = font();
    stepFont.setBold(true);
    mlblstep->setFont(stepFont);
    mlblstep->setGeometry(kLeft, 50, 120, 20);
    mImage1->setPixmap(QGuiApplication::windowIcon().pixmap(44, 44));
    mImage1->setGeometry(kWidth - kLeft - 44, 18, 44, 44);

    mLabels0->setGeometry(kLeft, 78, 48, 24);
    mtxtName->setGeometry(kLeft + 52, 76, kInner - 52, 26);
    mtxtName->setMaxLength(200);
    mTextBox->setReadOnly(true);
    mTextBox->setFocusPolicy(Qt::NoFocus);
    mTextBox->setPlainText(kStep1Text);

    // The worked example: a weight field holding the code, and the same field filled later.
    mPicture1->setPixmap(ExampleField(u"OZ"_s));
    mPicture1->setGeometry(10, 8, 150, 34);
    mLabels1->setGeometry(170, 8, kInner - 180, 34);
    mPicture2->setPixmap(ExampleField(u"6.1"_s));
    mPicture2->setGeometry(10, 50, 150, 34);
    mLabels2->setGeometry(170, 46, kInner - 180, 44);
    mLabels2->setWordWrap(true);
    mFrames->setFixedSize(kInner, 94);

    mcmdNext->setDefault(true);
    mcmdFinish->setEnabled(false);
    mcmdFinish->hide();
    for (QPushButton* button : {mcmdNext, mcmdFinish, mcmdCancel})
        button->setFixedSize(kButtonWidth, 28);
    connect(mcmdNext, &QPushButton::clicked, this, &frmAddWeb::cmdNext_Click);
    connect(mcmdFinish, &QPushButton::clicked, this, &frmAddWeb::cmdFinish_Click);
    connect(mcmdCancel, &QPushButton::clicked, this, &frmAddWeb::cmdCancel_Click);
    connect(mtxtName, &QLineEdit::returnPressed, this, &frmAddWeb::cmdNext_Click);

    setFixedWidth(kWidth);
    ArrangeStep(kStep1TextHeight);
}

frmAddWeb::~frmAddWeb()
{
    ReleaseBrowser();
}

void frmAddWeb::Start()
{
    // Opened by the user to type a name: it takes the focus now. Later it stays above the browser the
    // user works in without taking the focus back.
    show();
    raise();
    activateWindow();
    mtxtName->setFocus();
}

void frmAddWeb::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SetRoundRegion();
}

void frmAddWeb::ArrangeStep(int textHeight)
{
    const int textTop = mStep == 0 ? 110 : 76; // below the name box while it shows
    mTextBox->setGeometry(kLeft, textTop, kInner, textHeight);
    const int below = textTop + textHeight;
    int bottom = 0;
    if (mStep >= 2) {
        mFrames->move(kLeft, below + kGap);
        mFrames->show();
        const int buttons = mFrames->y() + mFrames->height() + kLargeGap;
        mcmdFinish->move(kWidth - kLeft - 2 * kButtonWidth - 8, buttons);
        mcmdCancel->move(kWidth - kLeft - kButtonWidth, buttons);
        bottom = mcmdFinish->y() + mcmdFinish->height();
    } else {
        mFrames->hide();
        const int buttons = below + kLargeGap;
        mcmdNext->move(kWidth - kLeft - 2 * kButtonWidth - 8, buttons);
        mcmdCancel->move(kWidth - kLeft - kButtonWidth, buttons);
        bottom = mcmdNext->y() + mcmdNext->height();
    }
    setFixedHeight(bottom + kBottom);
    SetRoundRegion();
}

QPixmap frmAddWeb::ExampleField(const QString& text)
{
    // Our own drawing of a page's weight field: a caption and an input box holding the text.
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap picture(QSize(150, 34) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    painter.drawText(QRectF(0, 0, 56, 34), Qt::AlignVCenter | Qt::AlignLeft, u"Weight:"_s);
    const QRectF box(58, 5, 88, 24);
    painter.setPen(QPen(QColor(0x7a, 0x8a, 0x9a), 1.2));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(box, 3, 3);
    font.setPixelSize(13);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0x10, 0x40, 0x90));
    painter.drawText(box.adjusted(7, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    return picture;
}

void frmAddWeb::mousePressEvent(QMouseEvent* event)
{
    // A caption-less window: its background is where it is taken to be moved.
    if (event->button() == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

void frmAddWeb::closeEvent(QCloseEvent* event)
{
    if (!mClosed) {
        event->ignore();
        cmdCancel_Click();
        return;
    }
    QWidget::closeEvent(event);
}

void frmAddWeb::ShowMessage(const QString& text, const QString& title)
{
    // Not a child of the wizard: a failed Finish closes the wizard right after showing it.
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box->setObjectName(u"msgAddWeb"_s);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    mMessage = box;
    box->show();
}

void frmAddWeb::cmdNext_Click()
{
    if (mStep == 0) {
        const QString name = mtxtName->text().trimmed();
        mtxtName->setText(name);
        if (name.isEmpty())
            return;
        if (name.left(5).toLower() == u"_wgx_"_s) {
            ShowMessage(u"\"_wgx_\" is reserved for system use"_s, u"ERROR"_s);
            return;
        }
        // Names are keys without regard to letter case, like the page list's.
        for (const QString& page : mSession.Pages()) {
            if (SameName(page, name)) {
                ShowMessage(u"Duplicate Web Name"_s, u"Error"_s);
                return;
            }
        }
        mPageName = name;
        if (!m_objAutoFill) {
            QString error;
            m_objAutoFill = mSession.OpenBrowser(WebPageUse::AddPage, &error);
            if (!m_objAutoFill) {
                qWarning().noquote() << "Add page: no browser window:"
                                     << (error.isEmpty() ? u"none configured"_s : error);
                mPageName.clear();
                ShowMessage(u"Duplicate Web Name"_s, u"Error"_s);
                return;
            }
            connect(m_objAutoFill.get(), &WebBrowser::DocumentComplete, this,
                    &frmAddWeb::m_objAutoFill_DocumentComplete);
            connect(m_objAutoFill.get(), &WebBrowser::OnQuit, this, &frmAddWeb::m_objAutoFill_OnQuit);
        }
        m_objAutoFill->SetVisible(true);
        // Known by step 3, which says when passwords cannot be kept.
        if (SecretStore* store = SecretStore::Shared()) {
            store->Probe([wizard = QPointer<frmAddWeb>(this)](bool answers) {
                if (!wizard)
                    return;
                wizard->mKeyring = answers;
                if (wizard->mStep == 2)
                    wizard->SetStep3Text();
            });
        } else {
            mKeyring = false;
        }
        mtxtName->hide();
        mLabels0->hide();
        mlblstep->setText(u"Step 2"_s);
        mTextBox->setPlainText(kStep2Text);
        mStep = 1;
        ArrangeStep(kStep2TextHeight);
        return;
    }
    if (!m_objAutoFill) {
        cmdCancel_Click(); // the browser was closed
        return;
    }
    if (!mbPageLoaded) {
        // A page the user opened in a new tab of the window loads where we do not listen.
        const auto front = m_objAutoFill->FrontDocument();
        const QString url = front ? front->URL().value_or(QString()) : QString();
        if (url.isEmpty() || url.startsWith(u"about:"_s))
            return;
        mbPageLoaded = true;
    }
    ShowStep3();
}

void frmAddWeb::ShowStep3()
{
    mlblstep->setText(u"Step 3"_s);
    mcmdNext->setEnabled(false);
    mcmdNext->hide();
    mcmdFinish->setEnabled(true);
    mcmdFinish->show();
    mcmdFinish->raise();
    mcmdFinish->setDefault(true);
    SetStep3Text();
    mStep = 2;
    ArrangeStep(kStep3TextHeight);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(x(), area.top() + (area.height() - height()) / 2);
    }
}

void frmAddWeb::SetStep3Text()
{
    mTextBox->setPlainText(mKeyring == false ? kStep3Text + u"\r\n\r\n"_s + kNoKeyringText : kStep3Text);
    // The codes to type stand out: LB, OZ and KG, then the G that follows KG.
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextDocument* text = mTextBox->document();
    QTextCursor kg;
    for (const QString& code : {u"LB -"_s, u"OZ -"_s, u"KG -"_s}) {
        QTextCursor found = text->find(code);
        if (found.isNull())
            continue;
        found.setPosition(found.selectionStart());
        found.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 2);
        found.mergeCharFormat(bold);
        kg = found;
    }
    if (!kg.isNull()) {
        QTextCursor g = text->find(u"G -"_s, kg.selectionEnd());
        if (!g.isNull()) {
            g.setPosition(g.selectionStart());
            g.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 1);
            g.mergeCharFormat(bold);
        }
    }
    mTextBox->moveCursor(QTextCursor::Start);
}

void frmAddWeb::cmdFinish_Click()
{
    if (!m_objAutoFill || !mbPageLoaded) {
        cmdCancel_Click();
        return;
    }
    QString why;
    if (!RecordPage(&why)) {
        ShowMessage(why.isEmpty() ? u"Error in adding the page"_s : why, u"ERROR"_s);
        cmdCancel_Click();
        return;
    }
    mPageAdded = true;
    // The main window's page menu and list take the new page now, from the settings just written.
    mSession.ReloadPages();
    Unload(true);
}

bool frmAddWeb::RecordPage(QString* why)
{
    IniFile* settings = &mSession.Settings();
    // The tab the user filled: ours, or the one in front if they opened the page in a new tab.
    const auto document = m_objAutoFill->FrontDocument();
    if (!settings || !document)
        return false;
    // Read in a world of ours, so the page cannot give another address than the one it is at.
    const auto address = document->URL();
    if (!address)
        return false;
    if (!WebBrowser::IsNavigable(*address) || address->startsWith(u"about:"_s, Qt::CaseInsensitive)) {
        *why = u"Only web pages (http, https) and local files can be added."_s;
        return false;
    }
    // Everything is read before anything is written: a page refused for its size leaves no trace.
    std::vector<RecordedDocument> documents;
    if (!CollectDocuments(document.get(), mPageName, documents, why))
        return false;
    // A section left from an earlier page of this name must not lend it stale fields.
    IniSection section = settings->Section(mPageName);
    section.Delete();
    if (!section.Key(u"_WGX_ADDRESS"_s).SetValue(*address))
        return false;
    section.Key(u"_WGX_TITLE"_s).SetValue(document->Title().value_or(QString()));
    mWeightCodes.clear();
    QList<Secret> secrets;
    SecretStore* store = SecretStore::Shared();
    // Without a keyring the passwords are not kept anywhere.
    if (!WriteDocuments(*settings, documents, &mWeightCodes, store && mKeyring != false ? &secrets : nullptr))
        return false;
    if (!section.Key(u"_WGX_WGT_TYPE"_s).SetValue(WeightTypes(mWeightCodes)))
        return false;
    // The page joins the list last, so a failure above leaves no entry that names a half-recorded page.
    if (!UserPages::Add(*settings, mPageName))
        return false;
    // The keyring answers later; a launch asked meanwhile reads after these writes.
    for (const Secret& entry : std::as_const(secrets)) {
        const SecretStore::Key key = entry.first;
        store->Store(key, entry.second, [key](bool ok, const QString& error) {
            if (!ok)
                qWarning().noquote() << "Add page: password of" << key.field << "not kept in the keyring:" << error;
        });
    }
    return true;
}

bool frmAddWeb::RecordPageFields(IniFile& settings, HtmlDocument* document, const QString& section,
                                 QString* weightCodes, QList<Secret>* secrets, QString* why)
{
    std::vector<RecordedDocument> documents;
    QString refused;
    if (!CollectDocuments(document, section, documents, &refused)) {
        if (why)
            *why = refused;
        return false;
    }
    return WriteDocuments(settings, documents, weightCodes, secrets);
}

bool frmAddWeb::CollectDocuments(HtmlDocument* top, const QString& section, std::vector<RecordedDocument>& out,
                                 QString* why)
{
    qsizetype fields = 0;
    qsizetype bytes = 0;
    bool tooLarge = false;
    const std::function<bool(HtmlDocument*, const QString&)> collect
        = [&](HtmlDocument* document, const QString& name) {
              const auto record = document ? document->RecordFields() : std::nullopt;
              // A frame that cannot be read keeps its place (an empty section): the sections stay paired with the
              // frames.
              out.push_back({name, record ? Utility::OriginOf(document->URL().value_or(QString())) : QString(),
                             record.value_or(QJsonObject()), 0});
              if (!record)
                  return false;
              const QJsonArray recorded = record->value(u"fields"_s).toArray();
              fields += recorded.size();
              for (const QJsonValue& field : recorded) {
                  const QJsonObject entry = field.toObject();
                  bytes += entry.value(u"name"_s).toString().size() + entry.value(u"value"_s).toString().size() + 16;
              }
              if (fields > MaxRecordedFields || bytes > MaxRecordedBytes) {
                  tooLarge = true;
                  return false;
              }
              const int frames = document->FrameCount();
              out[out.size() - 1].frames = frames;
              for (int i = 0; i < frames && !tooLarge; ++i)
                  collect(document->Frame(i).get(), FrameSection(name, i));
              return true;
          };
    if (!collect(top, section) || tooLarge) {
        if (tooLarge && why)
            *why = u"This page has more than %1 fields or 1 MB of values, too much to record. Nothing was saved."_s.arg(
                QLocale(QLocale::English).toString(MaxRecordedFields));
        return false;
    }
    return true;
}

bool frmAddWeb::WriteDocuments(IniFile& settings, const std::vector<RecordedDocument>& documents, QString* weightCodes,
                               QList<Secret>* secrets)
{
    bool ok = true;
    for (const RecordedDocument& document : documents) {
        if (document.record.isEmpty())
            continue;
        ok = WriteDocument(settings, document, weightCodes, secrets) && ok;
    }
    return ok && !documents.empty() && !documents.front().record.isEmpty();
}

bool frmAddWeb::WriteDocument(IniFile& settings, const RecordedDocument& document, QString* weightCodes,
                              QList<Secret>* secrets)
{
    QStringList text, radio, checkBoxes, others, lists, textAreas, inKeyring, combos;
    QList<std::pair<QString, QString>> values;
    const auto noteCode = [weightCodes](const QString& value) {
        if (weightCodes && IsWeightCode(value))
            weightCodes->append(value);
    };
    for (const QJsonValue& entry : document.record.value(u"fields"_s).toArray()) {
        const QJsonObject field = entry.toObject();
        const QString tag = field.value(u"tag"_s).toString();
        const QString type = field.value(u"type"_s).toString();
        const QString name = field.value(u"name"_s).toString();
        const QString shadow = field.value(u"shadow"_s).toString();
        const QString key = MFieldKey::FormatKey(field.value(u"n"_s).toInt(), name, shadow);
        if (tag == u"input"_s && type == u"checkbox"_s) {
            values.append({key, field.value(u"checked"_s).toBool() ? u"1"_s : u"0"_s});
            checkBoxes.append(key);
        } else if (tag == u"input"_s && type == u"radio"_s) {
            const int checked = field.value(u"checked"_s).toInt(-1);
            if (checked < 0)
                continue; // a group with nothing checked is not recorded
            values.append({MFieldKey::GroupKey(name, shadow), QString::number(checked)});
            radio.append(MFieldKey::GroupKey(name, shadow));
        } else if (tag == u"input"_s && type == u"password"_s && !field.value(u"value"_s).toString().isEmpty()
                   && !IsWeightCode(field.value(u"value"_s).toString())) {
            // Never into the settings file: the keyring keeps it, pinned to this document's origin.
            values.append({key, QString()});
            others.append(key);
            if (secrets && !document.origin.isEmpty()) {
                secrets->append({{document.section, document.origin, key}, field.value(u"value"_s).toString()});
                inKeyring.append(key);
            }
        } else if (tag == u"input"_s) {
            const QString value = field.value(u"value"_s).toString();
            values.append({key, value});
            (type == u"text"_s ? text : others).append(key);
            noteCode(value);
        } else if (tag == u"select"_s) {
            QString value = QString::number(field.value(u"index"_s).toInt(-1));
            if (type == u"select-multiple"_s) {
                QStringList selected;
                for (const QJsonValue& position : field.value(u"selected"_s).toArray())
                    selected.append(QString::number(position.toInt()));
                value = selected.join(u',');
            }
            values.append({key, value});
            lists.append(key);
        } else if (tag == u"combobox"_s) {
            values.append({key, field.value(u"value"_s).toString()});
            combos.append(key);
        } else if (tag == u"textarea"_s) {
            const QString value = field.value(u"value"_s).toString();
            values.append({key, TextAreaValue(value)});
            textAreas.append(key);
            noteCode(value);
        }
    }
    IniSection target = settings.Section(document.section);
    // A field whose name or value the settings file cannot hold (a line break in it) is left out.
    // Only a page that has them gets the list of its comboboxes: other sections stay as they were.
    if (!combos.isEmpty())
        values.append({u"_WGX_COMBO"_s, combos.join(u',')});
    if (!target.SetValues(values))
        qWarning().noquote() << "Add page:" << settings.LastError();
    return target.SetValues({{u"_WGX_TEXT"_s, text.join(u',')},
                             {u"_WGX_RADIO"_s, radio.join(u',')},
                             {u"_WGX_CHKBOX"_s, checkBoxes.join(u',')},
                             {u"_WGX_OTHERS"_s, others.join(u',')},
                             {u"_WGX_SELECT"_s, lists.join(u',')},
                             {u"_WGX_TEXTAREA"_s, textAreas.join(u',')},
                             {u"_WGX_FRM_CNT"_s, QString::number(document.frames)},
                             {u"_WGX_ORIGIN"_s, document.origin},
                             {u"_WGX_KEYRING"_s, inKeyring.join(u',')}});
}

QString frmAddWeb::WeightTypes(const QString& weightCodes)
{
    QString codes = weightCodes.toLower();
    QString types;
    if (codes.contains(u"kg"_s)) {
        types += u",kg"_s;
        codes.remove(u"kg"_s);
    }
    if (codes.contains(u"g"_s))
        types += u",g"_s;
    if (codes.contains(u"lb"_s))
        types += u",lb"_s;
    if (codes.contains(u"oz"_s))
        types += u",oz"_s;
    return types;
}

bool frmAddWeb::IsWeightCode(const QString& text)
{
    return MFieldKey::IsWeightCode(text);
}

void frmAddWeb::cmdCancel_Click()
{
    Unload(false);
}

void frmAddWeb::m_objAutoFill_DocumentComplete(const QString& url)
{
    // The blank page the window opens with is not the user's page.
    if (url.isEmpty() || url.startsWith(u"about:"_s))
        return;
    mbPageLoaded = true;
}

void frmAddWeb::m_objAutoFill_OnQuit()
{
    WebBrowser::Release(m_objAutoFill, this, true);
}

void frmAddWeb::ReleaseBrowser()
{
    // The browser window stays open for the user; only our hold on it goes.
    WebBrowser::Release(m_objAutoFill, this, false);
}

void frmAddWeb::Unload(bool added)
{
    if (mClosed)
        return;
    mClosed = true;
    ReleaseBrowser();
    hide();
    Q_EMIT Closed(added);
    deleteLater();
}

void frmAddWeb::SetRoundRegion()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(10, 10, width() - 20, height() - 20), 20, 20);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
    update();
}
