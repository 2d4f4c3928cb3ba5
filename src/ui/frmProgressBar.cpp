#include "frmProgressBar.h"

#include <QProgressBar>
#include <QVBoxLayout>

frmProgressBar::frmProgressBar(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint)
    , mProgressBar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmProgressBar"));
    setWindowTitle(QStringLiteral("Initialize State"));
    mProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    mProgressBar->setRange(0, 16);
    mProgressBar->setValue(0);
    mProgressBar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(mProgressBar);
    setFixedSize(280, 50);
}
