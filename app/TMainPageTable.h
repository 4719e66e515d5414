#pragma once

#include <QtGlobal>

#include <span>

class TSetup;
class TfraCameraPage;
class TfrmViewer;

// What the pages get when they are made.
struct TPageContext
{
    TSetup* Setup = nullptr;
    TfrmViewer* Viewer = nullptr;
};

// One page of the main window. The window makes its sheets, its top bar buttons, the capability
// rules and the stops on leaving from these rows: a new page is one row.
struct TMainPageRow
{
    // What becomes of a page when another one is shown.
    enum Leaving : quint8 {
        // Nothing runs on it that needs stopping.
        lvKeep,
        // It keeps the camera busy (live view, polling): stopped when another page is shown and when
        // the window closes. Such a page needs the camera's private mode, and the camera clock is not
        // set while it is current.
        lvStop,
    };

    // Object names: the sheet, the page on it, and the top bar button (nullptr: reached only by
    // keyboard). The names are also the text keys ("TfrmMain.<Button>.Caption").
    const char* Sheet;
    const char* Page;
    const char* Button;
    // The button's German caption.
    const char* Caption;
    // The camera capability (TCamera::Capability) that enables it; 0 for a page of the program's own,
    // which the camera neither enables nor is handed to.
    quint8 Capability;
    Leaving OnLeave;
    // With Ctrl+Alt+Shift in debug mode the key shows the page directly (0: none).
    int DirectKey;
    TfraCameraPage* (*Create)(const TPageContext& context);
};

// The rows in the order of the top bar's buttons.
std::span<const TMainPageRow> MainPageTable();
