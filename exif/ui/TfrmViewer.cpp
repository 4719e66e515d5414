#include "exif/ui/TfrmViewer.h"

#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "exif/ui/ExifOrientation.h"
#include "exif/ui/ExifReaderFill.h"
#include "exif/ui/TViewerNavigator.h"
#include "exif/ui/TViewerPicture.h"
#include "exif/ui/TViewerSidePanel.h"
#include "liveview/JpegDec.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kMaxWindowWidth = 1024;
constexpr int kMaxWindowHeight = 768;
constexpr int kControlWidth = 290;
constexpr int kButtonStripWidth = 10;

void fill(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TfrmViewer::TfrmViewer(TSetup* setup, QWidget* parent)
    : TTranslationForm(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
            | Qt::WindowCloseButtonHint)
    , m_setup(setup)
{
    buildControls();
    if (TLanguageModule* module = TLanguageModule::Instance()) {
        // A language change puts the German caption back; the shown file keeps its name.
        connect(module, &TLanguageModule::languageChanged, this, &TfrmViewer::setFileNameLabel);
    }
    TranslateForm();
}

TfrmViewer::~TfrmViewer() = default;

void TfrmViewer::buildControls()
{
    setObjectName(QStringLiteral("TfrmViewer"));
    setWindowTitle(QStringLiteral("Lm - Viewer"));
    resize(700, 400);
    fill(this, DarkStyle::Panel());

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlClient = new QWidget(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    fill(pnlClient, Qt::black);
    auto* clientLayout = new QVBoxLayout(pnlClient);
    clientLayout->setContentsMargins(8, 8, 8, 8);
    pnlViewer = new QWidget(pnlClient);
    pnlViewer->setObjectName(QStringLiteral("pnlViewer"));
    fill(pnlViewer, DarkStyle::Control());
    pnlViewer->setMinimumSize(1, 1);
    pnlViewer->installEventFilter(this);
    clientLayout->addWidget(pnlViewer);
    imgViewer = new TViewerPicture(pnlViewer);
    layout->addWidget(pnlClient, 1);

    pnlControl = new QWidget(this);
    pnlControl->setObjectName(QStringLiteral("pnlControl"));
    fill(pnlControl, Qt::black);
    pnlControl->setFixedWidth(kControlWidth);
    auto* controlLayout = new QHBoxLayout(pnlControl);
    controlLayout->setContentsMargins(0, 0, 0, 0);
    controlLayout->setSpacing(0);
    pnlRight = new TViewerSidePanel(imgViewer, pnlControl);
    controlLayout->addWidget(pnlRight);
    connect(pnlRight, &TViewerSidePanel::OneToOneClicked, this, &TfrmViewer::SetOneToOne);
    connect(pnlRight, &TViewerSidePanel::FittedClicked, this, &TfrmViewer::SetFitted);
    connect(
        pnlRight, &TViewerSidePanel::FocusInfoClicked, this, [this] { SetFocusDisplay(!FocusDisplay()); });
    // Each pan step redraws the navigator at once.
    connect(imgViewer, &TViewerPicture::Panned, pnlRight->pbxPreview, &TViewerNavigator::Redraw);

    auto* pnlButtons = new QWidget(pnlControl);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setFixedWidth(kButtonStripWidth);
    auto* buttonLayout = new QVBoxLayout(pnlButtons);
    buttonLayout->setContentsMargins(0, 0, 0, 0);
    btnHide = new QPushButton(QStringLiteral("›"), pnlButtons);
    btnShow = new QPushButton(QStringLiteral("‹"), pnlButtons);
    for (QPushButton* button : { btnHide, btnShow }) {
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
        button->setStyleSheet(QStringLiteral("QPushButton { color: #999983; background: black; border: none;"
                                             " padding: 0px; }"));
        buttonLayout->addWidget(button);
    }
    btnHide->setObjectName(QStringLiteral("btnHide"));
    btnShow->setObjectName(QStringLiteral("btnShow"));
    btnShow->hide();
    connect(btnHide, &QPushButton::clicked, this, &TfrmViewer::HideSidePanel);
    connect(btnShow, &QPushButton::clicked, this, &TfrmViewer::ShowSidePanel);
    controlLayout->addWidget(pnlButtons);
    layout->addWidget(pnlControl);

    applyMode();
    updateLabels();
}

// --- opening -----------------------------------------------------------------------------------

bool TfrmViewer::isJpegFile(const QString& fileName) const
{
    const QFileInfo info(fileName);
    return info.isFile() && info.suffix().compare(QLatin1String("JPG"), Qt::CaseInsensitive) == 0;
}

void TfrmViewer::ShowImage(const QString& fileName, const QSize& areaSize, const QPoint& areaOrigin)
{
    if (!isJpegFile(fileName))
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || !AssignImage(file.readAll(), areaSize, areaOrigin))
        return;
    showInfo(fileName);
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    showWindow();
}

int TfrmViewer::ShowImageModal(const QString& fileName, const QSize& areaSize, const QPoint& areaOrigin)
{
    if (!isJpegFile(fileName))
        return mrCancel;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || !AssignImage(file.readAll(), areaSize, areaOrigin))
        return mrCancel;
    showInfo(fileName);
    const bool maximised = m_mainWindow && m_mainWindow->isMaximized();
    setWindowState(maximised ? Qt::WindowMaximized : Qt::WindowNoState);
    return ShowModal();
}

bool TfrmViewer::LoadImage(const QString& fileName)
{
    if (!isJpegFile(fileName))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (!AssignImage(file.readAll(), m_area.size(), m_area.topLeft()))
        return false;
    showInfo(fileName);
    return true;
}

bool TfrmViewer::AssignImage(const QByteArray& jpeg, const QSize& areaSize, const QPoint& areaOrigin)
{
    // Decoded before anything is touched: a picture that fails keeps the window as it was.
    QImage picture = decode(jpeg);
    if (picture.isNull())
        return false;
    m_stored = picture.size();
    m_turn = ExifOrientation::Read(jpeg);
    if (m_turn != QImageIOHandler::TransformationNone)
        picture = ExifOrientation::Apply(picture, m_turn);

    pnlRight->ClearHistogram();
    m_area = QRect(areaOrigin, areaSize);
    const QSize window = WindowSize(picture.size(), areaSize);
    if (!isMaximized() && !window.isEmpty()) {
        resize(window);
        move(WindowPosition(window, areaSize, areaOrigin));
    }
    imgViewer->SetPicture(std::move(picture));
    pnlRight->pbxPreview->TakePicture();
    applyMode();
    pnlRight->SetHistogramBitmap(imgViewer->Picture());
    if (imgViewer->IsOneToOne())
        pnlRight->pbxPreview->Schedule();
    return true;
}

QImage TfrmViewer::decode(const QByteArray& jpeg) const
{
    const bool fast = !m_setup || m_setup->UseJpegDec;
    if (fast) {
        QImage picture = DecodeJpegToBitmap(jpeg);
        if (!picture.isNull())
            return picture;
        TLogger::LogTrace(QStringLiteral("TfrmViewer.AssignImage: Image couldn''t be decoded"));
        // The fast decoder takes only what cameras send in live view; a progressive or otherwise
        // unusual file is still a picture the library can show.
    }
    QString error;
    QImage picture = decodeJpegWithLibrary(jpeg, &error);
    if (picture.isNull())
        TLogger::LogAlways(QStringLiteral("TfrmViewer.AssignImage: ") + error);
    return picture;
}

void TfrmViewer::showInfo(const QString& fileName)
{
    TExifRect focusFrame;
    QList<TExifRect> faces;
    ExifReaderFill::Fill(pnlRight->plExifData, fileName, focusFrame, faces);
    pnlRight->FitToCaptions();
    focusFrame = ExifOrientation::Apply(focusFrame, m_stored, m_turn);
    for (TExifRect& face : faces)
        face = ExifOrientation::Apply(face, m_stored, m_turn);
    m_fileName = fileName;
    setFileNameLabel();
    imgViewer->SetFrames(focusFrame, faces);
}

void TfrmViewer::setFileNameLabel()
{
    if (!m_fileName.isEmpty())
        pnlRight->lblFileName->setText(QFileInfo(m_fileName).fileName());
}

void TfrmViewer::showWindow()
{
    if (m_mainWindow && m_mainWindow->isMaximized())
        showMaximized();
    else
        showNormal();
    raise();
    activateWindow();
}

// --- placement ---------------------------------------------------------------------------------

QSize TfrmViewer::WindowSize(const QSize& picture, const QSize& areaSize)
{
    // r = longer ÷ shorter side, kept as the fraction so the ceilings are exact.
    const qint64 longer = std::max(picture.width(), picture.height());
    const qint64 shorter = std::min(picture.width(), picture.height());
    if (shorter <= 0)
        return {};
    const qint64 areaWidth = areaSize.width();
    const qint64 areaHeight = areaSize.height();
    qint64 w = areaWidth;
    if (areaHeight * longer < areaWidth * shorter) // area height < area width ÷ r
        w = (areaHeight * longer + shorter - 1) / shorter;
    const qint64 h = w <= 0 ? 0 : (w * shorter + longer - 1) / longer;
    return QSize(int(std::min<qint64>(w, kMaxWindowWidth)), int(std::min<qint64>(h, kMaxWindowHeight)));
}

QPoint TfrmViewer::WindowPosition(const QSize& window, const QSize& areaSize, const QPoint& areaOrigin)
{
    return QPoint(areaOrigin.x() + (areaSize.width() - window.width()) / 2,
        areaOrigin.y() + (areaSize.height() - window.height()) / 2);
}

// --- modes and switches ------------------------------------------------------------------------

TfrmViewer::ViewMode TfrmViewer::Mode() const
{
    return imgViewer->IsOneToOne() ? ViewMode::OneToOne : ViewMode::Fitted;
}

void TfrmViewer::SetFitted()
{
    pnlRight->pbxPreview->tmrPreview.stop();
    imgViewer->SetOneToOne(false);
    applyMode();
    updateLabels();
}

void TfrmViewer::SetOneToOne()
{
    imgViewer->SetOneToOne(true);
    applyMode();
    updateLabels();
    pnlRight->pbxPreview->Schedule();
}

void TfrmViewer::applyMode()
{
    imgViewer->Place();
    pnlRight->pbxPreview->setVisible(imgViewer->IsOneToOne());
}

bool TfrmViewer::FocusDisplay() const
{
    return imgViewer->FocusDisplay();
}

void TfrmViewer::SetFocusDisplay(bool on)
{
    if (on == imgViewer->FocusDisplay())
        return;
    imgViewer->SetFocusDisplay(on);
    updateLabels();
}

bool TfrmViewer::SidePanelVisible() const
{
    return !pnlRight->isHidden();
}

void TfrmViewer::HideSidePanel()
{
    pnlRight->hide();
    pnlControl->setFixedWidth(kButtonStripWidth);
    btnHide->hide();
    btnShow->show();
}

void TfrmViewer::ShowSidePanel()
{
    pnlRight->show();
    pnlControl->setFixedWidth(kControlWidth);
    btnShow->hide();
    btnHide->show();
}

void TfrmViewer::updateLabels()
{
    pnlRight->ShowSwitches(imgViewer->IsOneToOne(), imgViewer->FocusDisplay());
}

// --- state -------------------------------------------------------------------------------------

const QImage& TfrmViewer::Picture() const
{
    return imgViewer->Picture();
}

TExifRect TfrmViewer::FocusFrame() const
{
    return imgViewer->FocusFrame();
}

const QList<TExifRect>& TfrmViewer::Faces() const
{
    return imgViewer->Faces();
}

QPoint TfrmViewer::PicturePosition() const
{
    return imgViewer->pos();
}

QImage TfrmViewer::NavigatorImage() const
{
    return pnlRight->pbxPreview->NavigatorImage();
}

QSize TfrmViewer::ThumbnailSize() const
{
    return pnlRight->pbxPreview->ThumbnailSize();
}

bool TfrmViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pnlViewer && event->type() == QEvent::Resize) {
        applyMode();
        if (imgViewer->IsOneToOne())
            pnlRight->pbxPreview->Schedule();
    }
    return TTranslationForm::eventFilter(watched, event);
}
