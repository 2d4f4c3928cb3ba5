#include "frmAbout.h"

#include "CArtwork.h"
#include "MWindowUtil.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QVersionNumber>

frmAbout::frmAbout(QWidget* parent)
    : QWidget(parent, Qt::Dialog)
{
    const QString title = QStringLiteral("Pesavo");
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About ") + title);

    auto* layout = new QVBoxLayout(this);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(CArtwork::AppIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    layout->addWidget(picture);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QVBoxLayout(frame);
    auto addLabel = [frame, inner](const QString& name, const QString& text) {
        auto* label = new QLabel(text, frame);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        label->setWordWrap(true);
        inner->addWidget(label);
        return label;
    };
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    addLabel(QStringLiteral("lblTitle"), title)->setFont(bold);
    addLabel(QStringLiteral("lblVersion"), VersionText());
    addLabel(QStringLiteral("lblDescription"),
             title + QStringLiteral(" User Interface\n")
                 + QStringLiteral("Copyright \u00A9 The Pesavo developers.\n"
                                  "Free software, distributed in the hope that it will be useful, without any "
                                  "warranty."));
    addLabel(QStringLiteral("lblDisclaimer"),
             QStringLiteral("Warning: this program is protected by copyright law. Reproduction or distribution of it, "
                            "or of any part of it, other than under its licence may result in civil and criminal "
                            "penalties."));
    layout->addWidget(frame);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedWidth(380);
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    MWindowUtil::EnableForms();
}

QString frmAbout::VersionText()
{
    // The program's version record, without leading zeros.
    const QVersionNumber version = QVersionNumber::fromString(QStringLiteral(PESAVO_VERSION));
    return QStringLiteral("Version %1.%2.%3")
        .arg(version.majorVersion())
        .arg(version.minorVersion())
        .arg(version.microVersion());
}
