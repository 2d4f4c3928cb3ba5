#pragma once

#include <functional>

class frmLCDDisplay;
class frmProgressBar;
class frmScale;
class QWidget;

// The program's windows, made together by MMain::Main and let go together by MMain::ExitApp. The windows are
// handed this record when they are made; what shows a dialog over them or hides them reaches it through
// MMain::Windows().
struct DisplayWindows
{
    frmScale* scale = nullptr;
    frmLCDDisplay* lcd = nullptr;
    frmProgressBar* progress = nullptr;
    // The options dialog, made by whoever assembles the program, and how it is opened.
    QWidget* options = nullptr;
    std::function<void()> showOptions;
    // The display window in use: the main window or the compact one. None before the start and after the end.
    QWidget* shown = nullptr;
};
