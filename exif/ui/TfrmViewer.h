#pragma once

#include "base/ui/TTranslationForm.h"
#include "exif/TExifReader.h"

#include <QImage>
#include <QImageIOHandler>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QPushButton;
class TSetup;
class TViewerPicture;
class TViewerSidePanel;

// The program's own viewer for downloaded JPEG files: the picture fitted into the window or at full
// size with drag-to-pan and a navigator, its histogram, its EXIF and maker-note information, and on
// request the camera's focus frame and the detected faces. The window decodes, places itself and
// switches modes; the picture control, the navigator and the side panel are classes of their own.
class TfrmViewer : public TTranslationForm
{
    Q_OBJECT

public:
    enum class ViewMode { Fitted, OneToOne };

    // setup decides the decoder (UseJpegDec); without one the fast decoder is used.
    explicit TfrmViewer(TSetup* setup, QWidget* parent = nullptr);
    ~TfrmViewer() override;

    // The window whose state the viewer follows when shown (maximised or normal).
    void SetMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }

    // Opens fileName (an existing ".JPG" file) without blocking, centred in the area (the main
    // window's size and top left); anything else, or a picture that cannot be decoded, does nothing.
    void ShowImage(const QString& fileName, const QSize& areaSize, const QPoint& areaOrigin);
    // The same, modal; mrCancel without showing anything when the file is no JPEG or cannot be decoded.
    int ShowImageModal(const QString& fileName, const QSize& areaSize, const QPoint& areaOrigin);
    // Replaces the picture of the open window. The old picture, its information and its name stay
    // when the file cannot be decoded.
    bool LoadImage(const QString& fileName);
    // Decodes a JPEG held in memory and places the window for it in the area; false changes nothing.
    bool AssignImage(const QByteArray& jpeg, const QSize& areaSize, const QPoint& areaOrigin);

    // The window for a picture: centred in the area with the picture's proportions (landscape), at
    // most 1024 x 768.
    static QSize WindowSize(const QSize& picture, const QSize& areaSize);
    static QPoint WindowPosition(const QSize& window, const QSize& areaSize, const QPoint& areaOrigin);

    ViewMode Mode() const;
    void SetFitted();
    void SetOneToOne();
    bool FocusDisplay() const;
    void SetFocusDisplay(bool on);
    bool SidePanelVisible() const;
    void HideSidePanel();
    void ShowSidePanel();

    const QImage& Picture() const;
    QString FileName() const { return m_fileName; }
    TExifRect FocusFrame() const;
    const QList<TExifRect>& Faces() const;
    // Top left of the picture in its panel in 1:1 mode.
    QPoint PicturePosition() const;
    // What the navigator shows: the reduced picture with the visible part tinted red.
    QImage NavigatorImage() const;
    QSize ThumbnailSize() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    bool isJpegFile(const QString& fileName) const;
    QImage decode(const QByteArray& jpeg) const;
    void showInfo(const QString& fileName);
    void showWindow();
    void applyMode();
    void updateLabels();
    void setFileNameLabel();

    TSetup* m_setup;
    QWidget* m_mainWindow = nullptr;
    QString m_fileName;
    QRect m_area;
    // How the shown picture was turned from what its file holds, for the frames drawn on it.
    QImageIOHandler::Transformations m_turn = QImageIOHandler::TransformationNone;
    QSize m_stored;

    QWidget* pnlClient = nullptr;
    QWidget* pnlViewer = nullptr;
    TViewerPicture* imgViewer = nullptr;
    QWidget* pnlControl = nullptr;
    TViewerSidePanel* pnlRight = nullptr;
    QPushButton* btnHide = nullptr;
    QPushButton* btnShow = nullptr;
};
