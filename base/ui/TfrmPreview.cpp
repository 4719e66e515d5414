#include "base/ui/TfrmPreview.h"

#include "base/ui/DarkStyle.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

#include <cmath>

TfrmPreview::TfrmPreview(QWidget* parent)
    : TTranslationForm(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmPreview"));
    DarkStyle::Apply(this, DarkStyle::Control());
    resize(MaxWidth, MaxHeight);

    imgPreview = new QLabel(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setAlignment(Qt::AlignCenter);

    QFont bold = font();
    bold.setBold(true);
    lblTakeInfo = new QLabel(this);
    lblTakeInfo->setObjectName(QStringLiteral("lblTakeInfo"));
    lblTakeInfo->setFont(bold);
    DarkStyle::SetTextColor(lblTakeInfo, DarkStyle::Text());

    lblClose = new QLabel(QStringLiteral("Schließen  X"), this);
    lblClose->setObjectName(QStringLiteral("lblClose"));
    lblClose->setFont(bold);
    DarkStyle::SetTextColor(lblClose, QColor(Qt::gray));
    lblClose->setCursor(Qt::PointingHandCursor);

    // Every click ends the preview, wherever it lands.
    for (QLabel* label : { imgPreview, lblTakeInfo, lblClose })
        label->setAttribute(Qt::WA_TransparentForMouseEvents);

    TranslateForm();
}

QRect TfrmPreview::PreviewGeometry(const QSize& picture, const QSize& areaSize, const QPoint& areaOrigin)
{
    if (picture.isEmpty())
        return {};
    double aspect = double(picture.width()) / picture.height();
    if (aspect < 1)
        aspect = double(picture.height()) / picture.width();
    int w = areaSize.width();
    if (areaSize.height() < w / aspect)
        w = int(std::ceil(areaSize.height() * aspect));
    const int h = int(std::ceil(w / aspect));
    const int width = qMin(w, MaxWidth);
    const int height = qMin(h, MaxHeight);
    return QRect(areaOrigin.x() + (areaSize.width() - width) / 2,
        areaOrigin.y() + (areaSize.height() - height) / 2, width, height);
}

int TfrmPreview::ShowPreview(
    const QByteArray& jpeg, const QSize& areaSize, const QString& infoText, const QPoint& areaOrigin)
{
    QImage picture;
    if (!picture.loadFromData(jpeg, "JPEG") || picture.isNull())
        return mrCancel;
    m_picture = picture;
    setGeometry(PreviewGeometry(m_picture.size(), areaSize, areaOrigin));
    lblTakeInfo->setText(infoText);
    layoutPicture();
    return ShowModal();
}

void TfrmPreview::layoutPicture()
{
    const QRect area = rect().adjusted(Border, Border, -Border, -Border);
    imgPreview->setGeometry(area);
    lblClose->adjustSize();
    lblClose->move(width() - lblClose->width() - 8, 3);
    if (m_picture.isNull() || area.isEmpty())
        return;
    const QImage scaled = m_picture.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    imgPreview->setPixmap(QPixmap::fromImage(scaled));
    const QPoint corner
        = area.topLeft() + QPoint((area.width() - scaled.width()) / 2, (area.height() - scaled.height()) / 2);
    lblTakeInfo->adjustSize();
    lblTakeInfo->move(corner + QPoint(4, 2));
    lblTakeInfo->raise();
}

void TfrmPreview::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    SetModalResult(mrOk);
}

void TfrmPreview::resizeEvent(QResizeEvent* event)
{
    TTranslationForm::resizeEvent(event);
    layoutPicture();
}
