#pragma once

#include <QWidget>

// The options window. For now it only opens and closes with OK and Cancel, giving
// the windows back when it closes; the general options, the carrier pages and the
// page list that belong in it are not built yet.
class frmOption final : public QWidget
{
    Q_OBJECT
public:
    explicit frmOption(QWidget* parent = nullptr);

Q_SIGNALS:
    void Closed(bool accepted);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Finish(bool accepted);
};
