#pragma once

#include <QWidget>

// The about box: title, version, notices. Made anew for each showing and freed when closed.
class frmAbout final : public QWidget
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    static QString VersionText();

protected:
    void closeEvent(QCloseEvent* event) override;
};
