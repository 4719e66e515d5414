#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>

class TViewerPicture;

// The viewer's navigator: the picture reduced to 80 pixels on its longer side with the part the
// window shows at full size tinted red. Redrawn at once after a pan step and shortly after the mode,
// the picture or the window size changed.
class TViewerNavigator : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Edge = 80;

    explicit TViewerNavigator(const TViewerPicture* picture, QWidget* parent = nullptr);

    // Reduces the picture shown now; untinted until the next redraw.
    void TakePicture();
    // Redraws 250 ms from now (nothing without a picture).
    void Schedule();
    void Redraw();

    QImage NavigatorImage() const { return m_navigator; }
    QSize ThumbnailSize() const { return m_thumbnail.size(); }

    QTimer tmrPreview;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const TViewerPicture* m_picture;
    QImage m_thumbnail;
    QImage m_navigator;
};
