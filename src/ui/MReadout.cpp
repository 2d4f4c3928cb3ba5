#include "MReadout.h"

#include "AppState.h"
#include "CArtwork.h"
#include "MMain.h"
#include "Utility.h"
#include "WindowLayout.h"
#include "frmLCDDisplay.h"
#include "frmScale.h"

#include <QHash>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace MReadout {

namespace {

// Kept in the application state, so a fresh state (a test) starts from the unlit readout.
ReadoutCanvas& TheCanvas()
{
    ReadoutCanvas& canvas = App().gReadout;
    if (canvas.picture.isNull()) {
        canvas.picture = CArtwork::ReadoutBackground().toImage().convertToFormat(QImage::Format_RGB32);
    }
    return canvas;
}

void Paint(QPoint position, const QImage& glyph, const QString& name)
{
    ReadoutCanvas& canvas = TheCanvas();
    if (!glyph.isNull()) {
        QPainter painter(&canvas.picture);
        painter.drawImage(position, glyph);
    }
    canvas.painted.insert(position, name);
}

} // namespace

void InitSkinLayout()
{
    SkinLayout& l = App().gLayout;
    for (int i = 0; i < 5; ++i)
        l.digits[i] = QPoint(20 + 30 * i, 10);
    l.kgLabel = {142, 45};
    l.lbLabel = {55, 45};
    l.ozLabel = {142, 45};
    l.holdMsg = {170, 23};
    l.errorMsg = {170, 35};
    l.statusMsg = {170, 10};
    l.kgPoint = {71, 20};
    l.ozPoint = {131, 20};
    l.minusSign = {5, 20};
    l.colon = {71, 16};
    l.picTare = WindowLayout::Tare.topLeft();
    l.picOpt = WindowLayout::Options.topLeft();
    l.picAutoHold = WindowLayout::AutoHold.topLeft();
    l.picConv = WindowLayout::Converter.topLeft();
    l.pickgslbs = WindowLayout::KgLb.topLeft();
    l.picWeb = WindowLayout::Web.topLeft();
    l.cboWeb = WindowLayout::PageList.topLeft();
    l.picMin = WindowLayout::Minimise.topLeft();
    l.picCls = WindowLayout::Close.topLeft();
    l.picBox = WindowLayout::Readout.topLeft();
}

void PlaceControl(QWidget* control, QPoint position)
{
    if (!control)
        return;
    control->move(control->x(), position.y());
    control->move(position.x(), position.y());
}

void DrawMessage(QPoint position, const QString& key)
{
    Paint(position, CArtwork::NumPicture(key).toImage(), key);
}

void DrawMessage(QPoint position, int imageIndex)
{
    Paint(position, CArtwork::NumPicture(imageIndex).toImage(), QString::number(imageIndex));
}

void RefreshReadout()
{
    const QPixmap picture = QPixmap::fromImage(TheCanvas().picture);
    const DisplayWindows& windows = MMain::Windows();
    if (windows.scale)
        windows.scale->SetReadoutPicture(picture);
    if (windows.lcd)
        windows.lcd->SetReadoutPicture(picture);
}

void DrawWeight(double weightKg)
{
    const AppState& app = App();
    const SkinLayout& l = app.gLayout;
    bool unlit[5] = {false, false, false, false, false};
    QString text;

    if (app.General().unit == 0) {
        DrawMessage(l.ozPoint, QStringLiteral("PTNULL"));
        DrawMessage(l.colon, QStringLiteral("PTNULL"));
        DrawMessage(l.lbLabel, QStringLiteral("MSGNULL"));
        DrawMessage(l.kgLabel, QStringLiteral("MSGKG"));
        DrawMessage(l.kgPoint, QStringLiteral("PT"));
        const double v = std::fabs(SplitWeight(weightKg, SplitMode::Kg)[SplitPart::Kg]);
        text = QString::asprintf("%06.3f", v);
        if (v < 10)
            unlit[0] = true;
    } else {
        DrawMessage(l.kgPoint, QStringLiteral("PTNULL"));
        DrawMessage(l.ozPoint, QStringLiteral("PT"));
        DrawMessage(l.ozLabel, QStringLiteral("MSGOZ"));
        const auto parts = SplitWeight(weightKg, SplitMode::LbOz);
        const double p = std::fabs(parts[SplitPart::Lb]);
        const double o = std::fabs(parts[SplitPart::Oz]);
        text = QString::asprintf("%02.0f", p);
        if (p == 0) {
            DrawMessage(l.lbLabel, QStringLiteral("MSGNULL"));
            DrawMessage(l.colon, QStringLiteral("PTNULL"));
            unlit[0] = unlit[1] = true;
        } else {
            DrawMessage(l.lbLabel, QStringLiteral("MSGLB"));
            DrawMessage(l.colon, QStringLiteral("PTCOL"));
            if (p < 10)
                unlit[0] = true;
        }
        text += QString::asprintf("%04.1f", o);
        if (o < 10)
            unlit[2] = true;
    }

    text.remove(QLatin1Char('.'));

    DrawMessage(l.minusSign, QStringLiteral("PTNULL"));
    const bool negative = weightKg < 0 && text != QLatin1String("00000");
    if (negative)
        DrawMessage(l.minusSign, QStringLiteral("PTNEG"));

    const bool fault = app.gSession && app.gSession->CurrentFault() != ScaleSession::Fault::None;
    if (!fault)
        DrawMessage(l.errorMsg, negative ? QStringLiteral("MSGERROR") : QStringLiteral("MSGNULL"));

    for (int i = 0; i < 5; ++i) {
        if (unlit[i] || i >= text.size()) {
            DrawMessage(l.digits[i], QStringLiteral("NULL"));
        } else {
            const int d = text.at(i).digitValue();
            DrawMessage(l.digits[i], d + 1);
        }
    }
    RefreshReadout();
}

QImage& PicHiden()
{
    return TheCanvas().picture;
}

QString PaintedAt(QPoint position)
{
    return TheCanvas().painted.value(position);
}

} // namespace MReadout
