#pragma once

#include "base/ui/TTranslationForm.h"
#include "exif/TExifReader.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class QLabel;
class QPushButton;
class QTimer;
class TKmPropertyList;
class TSetup;

// The program's own viewer for downloaded JPEG files: the picture fitted into the window or at full
// size with drag-to-pan and a navigator, its histogram, its EXIF and maker-note information, and on
// request the camera's focus frame and the detected faces.
//
// Only the decoded picture is held at full size. The focus and face frames are drawn over it while
// painting, so switching them off and on can never leave a frame drawn twice, and no second full-size
// copy exists; the fitted view paints a copy reduced to the window.
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

    ViewMode Mode() const { return m_mode; }
    void SetFitted();
    void SetOneToOne();
    bool FocusDisplay() const { return m_focusDisplay; }
    void SetFocusDisplay(bool on);
    bool SidePanelVisible() const;
    void HideSidePanel();
    void ShowSidePanel();

    const QImage& Picture() const { return m_master; }
    QString FileName() const { return m_fileName; }
    TExifRect FocusFrame() const { return m_focusFrame; }
    const QList<TExifRect>& Faces() const { return m_faces; }
    // Top left of the picture in its panel in 1:1 mode.
    QPoint PicturePosition() const;
    // What the navigator shows: the reduced picture with the visible part tinted red.
    QImage NavigatorImage() const { return m_navigator; }
    QSize ThumbnailSize() const { return m_thumbnail.size(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildSidePanel(QWidget* pnlRight);
    bool isJpegFile(const QString& fileName) const;
    QImage decode(const QByteArray& jpeg) const;
    void takePicture(QImage picture);
    void showInfo(const QString& fileName);
    void showWindow();
    void applyMode();
    void updateLabels();
    void paintPicture(QWidget* target, const QRect& exposed);
    void paintOverlays(class QPainter& painter) const;
    void paintNavigator(QWidget* target);
    void drawNavigator();
    void panTo(const QPoint& wanted);
    QPoint clampedPosition(const QPoint& wanted) const;
    QRect fittedRect() const;
    const QImage& fittedPicture();
    void startPreviewTimer();
    void setFileNameLabel();

    TSetup* m_setup;
    QWidget* m_mainWindow = nullptr;

    QImage m_master;
    // For very large pictures a reduced copy the fitted view and the navigator are scaled from.
    QImage m_reduced;
    QImage m_fitted;
    QImage m_thumbnail;
    QImage m_navigator;
    QString m_fileName;
    TExifRect m_focusFrame;
    QList<TExifRect> m_faces;
    QRect m_area;
    QPoint m_anchor;
    bool m_dragging = false;
    bool m_focusDisplay = true;
    ViewMode m_mode = ViewMode::Fitted;

    QWidget* pnlClient = nullptr;
    QWidget* pnlViewer = nullptr;
    QWidget* imgViewer = nullptr;
    QWidget* pnlControl = nullptr;
    QWidget* pnlRight = nullptr;
    TKmPropertyList* plExifData = nullptr;
    QLabel* lblFileName = nullptr;
    QWidget* pbxPreview = nullptr;
    QLabel* imgMagnifier = nullptr;
    QLabel* lblFocusInfo = nullptr;
    QLabel* lblOneToOne = nullptr;
    QLabel* lblFitted = nullptr;
    QWidget* ihgViewer = nullptr;
    QPushButton* btnHide = nullptr;
    QPushButton* btnShow = nullptr;
    QTimer* tmrPreview = nullptr;
};
