#include "frmOption.h"

#include "MWindowUtil.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmOption::frmOption(QWidget* parent)
    : QWidget(parent, Qt::Dialog)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(QStringLiteral("Options"));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("Options are not available in this version."), this);
    note->setObjectName(QStringLiteral("lblPlaceholder"));
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("cmdOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(ok, &QPushButton::clicked, this, [this] { Finish(true); });
    connect(cancel, &QPushButton::clicked, this, [this] { Finish(false); });
    layout->addWidget(buttons);
    resize(360, 140);
}

void frmOption::Finish(bool accepted)
{
    hide();
    MWindowUtil::EnableForms();
    Q_EMIT Closed(accepted);
}

void frmOption::closeEvent(QCloseEvent* event)
{
    // The window is reused for every opening: closing it is a cancel, not an unload.
    event->ignore();
    Finish(false);
}
