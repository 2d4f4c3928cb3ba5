#pragma once

#include <QRect>
#include <QSize>

#include <array>

// Where the main window's controls sit on its skin, in pixels from the panel's top-left. The skin pictures
// and the window mask are drawn around these rectangles, the window places its controls by them, and the
// artwork test checks the mask against them: one table, so a layout change moves all four together.
namespace WindowLayout {

constexpr QSize ReadoutSize {225, 61};

constexpr QRect Readout {QPoint(130, 100), ReadoutSize}; // picBox
constexpr QRect Tare {30, 110, 73, 28}; // picTare
constexpr QRect KgLb {30, 150, 73, 28}; // pickgslbs
constexpr QRect AutoHold {390, 110, 73, 28}; // picAutoHold
constexpr QRect Converter {390, 150, 73, 28}; // picConv
constexpr QRect Web {180, 168, 130, 28}; // picWeb
constexpr QRect Options {210, 222, 60, 23}; // picOpt
constexpr QRect Minimise {425, 97, 10, 10}; // picMin
constexpr QRect Close {440, 97, 10, 10}; // picCls
// cboWeb: its x is centred on the panel when the window is laid out (157 on the 505-pixel skin).
constexpr QRect PageList {155, 197, 190, 24};

// The eight picture buttons in the order the skins draw their sockets.
constexpr std::array<QRect, 8> Buttons {Tare, KgLb, AutoHold, Converter, Web, Options, Minimise, Close};

// 100 twips at 96 dpi (15 twips per pixel), rounded: the extra height below the content of the main and
// compact windows that their outline cuts away again.
constexpr int ExtraHeight = 7;

} // namespace WindowLayout
