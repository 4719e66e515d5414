#pragma once

#include <QWidget>

class QLabel;
class QStackedWidget;
class QToolButton;

// The camera properties' head and pages: the title "Kameraparameter" with buttons to the previous
// and next page, each shown only where there is one.
class TRemotePropertyPager : public QWidget
{
    Q_OBJECT

public:
    explicit TRemotePropertyPager(QWidget* parent = nullptr);

    void AddPage(QWidget* page);
    void ShowFirstPage();
    void btnNextParamsClick();
    void btnPrevParamsClick();

    QLabel* lblCameraPropertiesTitel;
    QToolButton* btnPrevParams;
    QToolButton* btnNextParams;
    QStackedWidget* pcCameraProperties;

private:
    void updatePageButtons();
};
