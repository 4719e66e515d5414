#pragma once

#include "app/TMainPages.h"

#include <QObject>

class TSetup;
class TfrmMain;

// The keys the main window sees before the focused control does, Ctrl+Alt+Shift with a letter: in
// debug mode D toggles the pages' debug views and each page's key of the page table shows that page
// directly; otherwise L saves the log.
class TMainKeys : public QObject
{
    Q_OBJECT

public:
    TMainKeys(TfrmMain& window, const TSetup& setup);
    ~TMainKeys() override;

    // True when the key did something.
    bool Handle(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shown and enabled without asking the camera.
    void showDirectly(const TMainPages::Entry& entry);

    TfrmMain& m_window;
    const TSetup& m_setup;
};
