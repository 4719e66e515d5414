#include "app/TfraStartPage.h"

#include "base/ui/DarkStyle.h"

#include <QLabel>
#include <QPixmap>

#include <cmath>

namespace {

constexpr int kMargin = 24;

QLabel* makeImage(const QString& name, const QString& picture, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(QStringLiteral(":/shell/") + picture));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// Places a picture in rect at its own proportions, centred.
void placeImage(QLabel* image, const QString& picture, const QRect& rect)
{
    image->setGeometry(rect);
    const QPixmap source(QStringLiteral(":/shell/") + picture);
    if (!source.isNull() && !rect.isEmpty())
        image->setPixmap(source.scaled(rect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

TfraStartPage::TfraStartPage(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tsConnect"));
    setWindowTitle(QStringLiteral("Startseite"));
    DarkStyle::Apply(this);
    imgConnection = makeImage(QStringLiteral("imgConnection"), QStringLiteral("connection.png"), this);
    imgRadio = makeImage(QStringLiteral("imgRadio"), QStringLiteral("radio.png"), this);
    imgCamera = makeImage(QStringLiteral("imgCamera"), QStringLiteral("camera.png"), this);
    imgNotebook = makeImage(QStringLiteral("imgNotebook"), QStringLiteral("notebook.png"), this);
    lblAdvice = new QLabel(this);
    lblAdvice->setObjectName(QStringLiteral("lblAdvice"));
    lblAdvice->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblAdvice->setWordWrap(true);
    lblAdvice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblAdvice->hide();
    tmrImageRadio.setInterval(0);
    connect(&tmrImageRadio, &QTimer::timeout, this, [this] { imgRadio->setVisible(!imgRadio->isVisible()); });
}

TfraStartPage::~TfraStartPage() = default;

void TfraStartPage::SetDiagnosis(TDiagnosisRunner::LinkSource link)
{
    m_diagnosis = std::make_unique<TDiagnosisRunner>(std::move(link));
    m_diagnosis->OnAdvice = [this](const QString& advice) {
        if (!m_usable)
            ShowAdvice(advice);
    };
}

void TfraStartPage::CameraUsable(bool usable)
{
    m_usable = usable;
    if (!m_diagnosis)
        return;
    if (usable) {
        m_diagnosis->cancel();
        ShowAdvice({});
    } else {
        m_diagnosis->start();
    }
}

void TfraStartPage::ShowConnected(bool connected)
{
    imgRadio->setVisible(!connected);
    imgConnection->setVisible(connected);
    if (connected) {
        tmrImageRadio.stop();
        ShowAdvice({});
    } else
        tmrImageRadio.start(1000);
}

void TfraStartPage::ShowAdvice(const QString& advice)
{
    lblAdvice->setText(advice);
    lblAdvice->setVisible(!advice.isEmpty());
    layoutAdvice();
}

// As high as the wrapped sentence needs in the page's font, so nothing is cut at any scale.
void TfraStartPage::layoutAdvice()
{
    const int width = qMax(this->width() - 2 * kMargin, 1);
    const int height = lblAdvice->fontMetrics()
                           .boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignHCenter,
                               lblAdvice->text())
                           .height()
        + 4;
    const int top = qMin(m_devicesBottom + kMargin / 2, qMax(this->height() - height - kMargin / 2, 0));
    lblAdvice->setGeometry(kMargin, top, width, height);
    lblAdvice->raise();
}

void TfraStartPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutPictures();
}

void TfraStartPage::layoutPictures()
{
    const int side = int(std::lround(width() / 2.5));
    const int deviceHeight = qMin(side * 3 / 4, height() - 2 * kMargin);
    const int top = (height() - deviceHeight) / 2;
    const QRect camera(kMargin, top, side, deviceHeight);
    const QRect notebook(width() - kMargin - side, top, side, deviceHeight);
    placeImage(imgCamera, QStringLiteral("camera.png"), camera);
    placeImage(imgNotebook, QStringLiteral("notebook.png"), notebook);

    const int gap = notebook.left() - (camera.left() + camera.width());
    const QRect radio(camera.left() + camera.width(), top + deviceHeight / 4, qMax(gap, 0), deviceHeight / 2);
    placeImage(imgRadio, QStringLiteral("radio.png"), radio);

    const int connectionLeft = camera.left() + camera.width() - camera.width() * 36 / 400;
    const int connectionRight = notebook.left() + notebook.width() * 36 / 400;
    const int connectionHeight = qMax(deviceHeight / 6, 1);
    imgConnection->setGeometry(connectionLeft, top + (deviceHeight - connectionHeight) / 2,
        qMax(connectionRight - connectionLeft, 0), connectionHeight);
    imgConnection->setScaledContents(true);
    // The devices lie over the ends of the link.
    imgCamera->raise();
    imgNotebook->raise();
    m_devicesBottom = top + deviceHeight;
    layoutAdvice();
}
