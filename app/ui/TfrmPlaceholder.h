#pragma once

#include <QMainWindow>

class TSetup;

// Stand-in main window: the dark, empty frame of the program. Like the real main window it saves
// the settings when it closes.
class TfrmPlaceholder : public QMainWindow
{
public:
    explicit TfrmPlaceholder(TSetup* setup, QWidget* parent = nullptr);

    // Shows the window and brings it to the front, as asked by a second start.
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TSetup* m_setup;
};
