#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

// The main window's top bar: the program's name or the progress of a long operation, and a button
// for each page of the page table that has one. A plain panel (no "Tfra" class), so its controls keep the
// main window's text keys.
class TTopBar : public QWidget
{
    Q_OBJECT

public:
    explicit TTopBar(QWidget* parent = nullptr);

    // Shows the progress line; a finished operation leaves it for 3 s before the title returns.
    void ShowProgress(const QString& caption, const QString& detail, bool finished, int percent);
    void ShowTitle();
    // The active page's button white, the others grey; nullptr greys them all.
    void ColourButtons(QPushButton* active);

    QLabel* lblAppShortName;
    QStackedWidget* pcTitle;
    QWidget* tshTitle;
    QLabel* lblAppTitle;
    QWidget* tshProgress;
    QLabel* lblProgressCaption;
    QLabel* lblProgressDetail;
    QProgressBar* gauProgress;
    QTimer tmrProgress;

    // The page button of that object name; nullptr for none.
    QPushButton* PageButton(const char* name) const;

private:
    QWidget* createProgress(const QFont& base);
    QPushButton* addPageButton(const QString& name, const QString& caption);

    QList<QPushButton*> m_pageButtons;
};
