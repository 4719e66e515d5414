#pragma once

#include "base/ui/TTranslationForm.h"

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QSize>

class QLabel;

// Shows one JPEG picture (the last shot) in a borderless modal window sized to the picture's
// proportions, with a line of text over it. Any click closes it.
class TfrmPreview : public TTranslationForm
{
    Q_OBJECT

public:
    static constexpr int MaxWidth = 1024;
    static constexpr int MaxHeight = 768;
    static constexpr int Border = 22;

    explicit TfrmPreview(QWidget* parent = nullptr);

    // Shows the picture modally, centred in the area (the caller passes its own window's position and
    // size); mrOk once clicked, mrCancel without showing anything when jpeg does not decode.
    int ShowPreview(
        const QByteArray& jpeg, const QSize& areaSize, const QString& infoText, const QPoint& areaOrigin);

    // The window for a picture in an area: the area's width, or less when the area is too short for
    // the picture's proportion, and never above MaxWidth x MaxHeight. Portrait pictures are treated
    // like landscape ones. Centred in the area.
    static QRect PreviewGeometry(const QSize& picture, const QSize& areaSize, const QPoint& areaOrigin);

    QLabel* imgPreview;
    QLabel* lblTakeInfo;
    QLabel* lblClose;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutPicture();

    QImage m_picture;
};
