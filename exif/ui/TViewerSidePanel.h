#pragma once

#include <QWidget>

class QImage;
class QLayout;
class QLabel;
class TKmPropertyList;
class TViewerNavigator;
class TViewerPicture;

// The viewer's right panel: the information list, the file name, the navigator with the switches
// for 1:1, fitted and the focus display, and the histogram. A plain panel (no "Tfra" class), so its
// controls keep the viewer's text keys.
class TViewerSidePanel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Width = 280;
    // As wide as the information list's longest caption needs beside a value (never below Width,
    // never over half of the window).
    void FitToCaptions();

    TViewerSidePanel(const TViewerPicture* picture, QWidget* parent);

    // The active mode's label and a focus display that is on in white, the others in the text colour.
    void ShowSwitches(bool oneToOne, bool focusDisplay);
    void ClearHistogram();
    // Shares the pixels; the histogram keeps no copy of its own.
    void SetHistogramBitmap(const QImage& picture);

    TKmPropertyList* plExifData;
    QLabel* lblFileName;
    TViewerNavigator* pbxPreview;
    QLabel* imgMagnifier;
    QLabel* lblFocusInfo;
    QLabel* lblOneToOne;
    QLabel* lblFitted;
    QWidget* ihgViewer;

signals:
    // lblFileName and imgMagnifier switch to 1:1 as lblOneToOne does.
    void OneToOneClicked();
    void FittedClicked();
    void FocusInfoClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* createSwitches(QWidget* tools);
    QLabel* clickLabel(QWidget* parent, const char* name, const QString& caption);
};
