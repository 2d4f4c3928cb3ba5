#pragma once

#include <QString>
#include <QWidget>

class QProgressBar;

// "Initialize State": how far the scale calculator is through its start-up reports.
class frmProgressBar final : public QWidget
{
    Q_OBJECT
public:
    explicit frmProgressBar(QWidget* parent = nullptr);

    QProgressBar* ProgressBar() const { return mProgressBar; }
    // "INIT" while the initialisation runs, so that showing the display window shows this too.
    QString Tag;

private:
    QProgressBar* mProgressBar;
};
