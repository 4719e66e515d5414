#include "exif/ui/TfrmViewer.h"

#include "base/TLanguageModule.h"
#include "base/TLogger.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "exif/ui/ExifReaderFill.h"
#include "exif/ui/TKmPropertyList.h"
#include "liveview/JpegDec.h"

#ifdef LUMIVAR_HAVE_HISTOGRAM
#include "liveview/ui/TKmImageHistogram.h"
#endif

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNavigatorEdge = 80;
constexpr int kPreviewDelayMs = 250;
constexpr int kMaxWindowWidth = 1024;
constexpr int kMaxWindowHeight = 768;
constexpr int kControlWidth = 290;
constexpr int kRightWidth = 280;
constexpr int kButtonStripWidth = 10;
constexpr int kHistogramPanelHeight = 174;
constexpr int kOverlayPen = 10;
// Above this many pixels the fitted view and the navigator work from a reduced copy, so a resize does
// not rescale the whole picture each time.
constexpr qint64 kReduceAbovePixels = 24'000'000;
constexpr int kReducedEdge = 3072;

QColor textColor()
{
    return DarkStyle::Text();
}

QFont tahoma(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

void fill(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* clickLabel(QWidget* parent, QObject* clicks, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(tahoma(8, true));
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(clicks);
    return label;
}

// A magnifier glass: the picture's own icon, drawn so the program needs no image file for it.
QPixmap magnifierIcon()
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(textColor(), 2));
    painter.drawEllipse(QRectF(2, 2, 11, 11));
    painter.setPen(QPen(textColor(), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12, 12), QPointF(18, 18));
    return pixmap;
}

// (40 × pixel + 60 × red) ÷ 100 per channel, rounded: the part of the picture the window shows.
void tintRed(QImage& image, const QRect& rect)
{
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb((40 * qRed(p) + 60 * 255 + 50) / 100, (40 * qGreen(p) + 50) / 100,
                (40 * qBlue(p) + 50) / 100);
        }
    }
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
    tmrPreview = new QTimer(this);
    tmrPreview->setObjectName(QStringLiteral("tmrPreview"));
    tmrPreview->setSingleShot(true);
    tmrPreview->setInterval(kPreviewDelayMs);
    connect(tmrPreview, &QTimer::timeout, this, &TfrmViewer::drawNavigator);

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
    imgViewer = new QWidget(pnlViewer);
    imgViewer->setObjectName(QStringLiteral("imgViewer"));
    fill(imgViewer, Qt::black);
    imgViewer->setAttribute(Qt::WA_OpaquePaintEvent);
    imgViewer->installEventFilter(this);
    layout->addWidget(pnlClient, 1);

    pnlControl = new QWidget(this);
    pnlControl->setObjectName(QStringLiteral("pnlControl"));
    fill(pnlControl, Qt::black);
    pnlControl->setFixedWidth(kControlWidth);
    auto* controlLayout = new QHBoxLayout(pnlControl);
    controlLayout->setContentsMargins(0, 0, 0, 0);
    controlLayout->setSpacing(0);
    pnlRight = new QWidget(pnlControl);
    pnlRight->setObjectName(QStringLiteral("pnlRight"));
    pnlRight->setFixedWidth(kRightWidth);
    buildSidePanel(pnlRight);
    controlLayout->addWidget(pnlRight);

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

void TfrmViewer::buildSidePanel(QWidget* right)
{
    auto* layout = new QVBoxLayout(right);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    plExifData = new TKmPropertyList(right);
    plExifData->setObjectName(QStringLiteral("plExifData"));
    TKmPropertyListItems* look = plExifData->Properties();
    look->SetItemHeight(14);
    look->SetSectionFont(tahoma(8, true));
    look->SetSectionFontColor(Qt::white);
    look->SetCaptionFont(tahoma(8, true));
    look->SetCaptionFontColor(textColor());
    look->SetValueFont(tahoma(8, false));
    look->SetValueFontColor(textColor());
    look->SetCaptionColor(DarkStyle::Control());
    look->SetValueColor(DarkStyle::Control());
    look->SetCaptionWidth(110);
    layout->addWidget(plExifData, 1);

    lblFileName = new QLabel(QStringLiteral("Filename"), right);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->setTextFormat(Qt::PlainText);
    lblFileName->setFont(tahoma(16, true));
    lblFileName->setCursor(Qt::PointingHandCursor);
    lblFileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblFileName->installEventFilter(this);
    DarkStyle::SetTextColor(lblFileName, textColor());
    layout->addWidget(lblFileName);

    auto* tools = new QWidget(right);
    auto* toolsLayout = new QHBoxLayout(tools);
    toolsLayout->setContentsMargins(0, 0, 0, 0);
    pbxPreview = new QWidget(tools);
    pbxPreview->setObjectName(QStringLiteral("pbxPreview"));
    pbxPreview->setFixedSize(kNavigatorEdge, kNavigatorEdge);
    pbxPreview->installEventFilter(this);
    QSizePolicy keepPlace = pbxPreview->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    pbxPreview->setSizePolicy(keepPlace);
    toolsLayout->addWidget(pbxPreview);

    auto* switches = new QVBoxLayout;
    imgMagnifier = new QLabel(tools);
    imgMagnifier->setObjectName(QStringLiteral("imgMagnifier"));
    imgMagnifier->setPixmap(magnifierIcon());
    imgMagnifier->setCursor(Qt::PointingHandCursor);
    imgMagnifier->installEventFilter(this);
    lblFocusInfo = clickLabel(tools, this, "lblFocusInfo", QStringLiteral("Fokusanzeige"));
    lblFocusInfo->setToolTip(QStringLiteral("Fokusanzeige einblenden/ausblenden"));
    lblOneToOne = clickLabel(tools, this, "lblOneToOne", QStringLiteral("1:1"));
    lblFitted = clickLabel(tools, this, "lblFitted", QStringLiteral("Eingepasst"));
    switches->addWidget(lblFocusInfo);
    auto* modes = new QHBoxLayout;
    modes->addWidget(imgMagnifier);
    modes->addWidget(lblOneToOne);
    modes->addWidget(lblFitted);
    modes->addStretch(1);
    switches->addLayout(modes);
    switches->addStretch(1);
    toolsLayout->addLayout(switches, 1);
    layout->addWidget(tools);

#ifdef LUMIVAR_HAVE_HISTOGRAM
    auto* histogram = new TKmImageHistogram(right);
    histogram->SetMargin(7);
    histogram->SetHistogramWidth(128);
    histogram->SetHistogramHeight(75);
    histogram->SetHistogramColor(DarkStyle::Control());
    histogram->SetSummaryHistogram(HistogramCounter::shComposite);
    histogram->SetFastCalculation(false);
    ihgViewer = histogram;
#else
    ihgViewer = new QWidget(right);
#endif
    ihgViewer->setObjectName(QStringLiteral("ihgViewer"));
    ihgViewer->setFixedHeight(kHistogramPanelHeight);
    layout->addWidget(ihgViewer);
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

#ifdef LUMIVAR_HAVE_HISTOGRAM
    static_cast<TKmImageHistogram*>(ihgViewer)->Clear();
#endif
    m_area = QRect(areaOrigin, areaSize);
    const QSize window = WindowSize(picture.size(), areaSize);
    if (!isMaximized() && !window.isEmpty()) {
        resize(window);
        move(WindowPosition(window, areaSize, areaOrigin));
    }
    takePicture(std::move(picture));
#ifdef LUMIVAR_HAVE_HISTOGRAM
    // Shares the pixels; the histogram keeps no copy of its own.
    static_cast<TKmImageHistogram*>(ihgViewer)->SetBitmap(m_master);
#endif
    if (m_mode == ViewMode::OneToOne)
        startPreviewTimer();
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

void TfrmViewer::takePicture(QImage picture)
{
    // The old picture goes before any copy of the new one is made.
    m_fitted = QImage();
    m_reduced = QImage();
    m_master = std::move(picture);
    const QSize size = m_master.size();
    if (qint64(size.width()) * size.height() > kReduceAbovePixels) {
        m_reduced = m_master.scaled(
            QSize(kReducedEdge, kReducedEdge), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    // The navigator keeps the picture's proportions, so its red part matches what the window shows
    // for portrait pictures too.
    const QImage& source = m_reduced.isNull() ? m_master : m_reduced;
    const int longer = std::max(size.width(), size.height());
    const int shorter = std::min(size.width(), size.height());
    const int thumbShort = std::max(1, int(std::lround(double(kNavigatorEdge) * shorter / longer)));
    const QSize thumb = size.width() >= size.height() ? QSize(kNavigatorEdge, thumbShort)
                                                      : QSize(thumbShort, kNavigatorEdge);
    m_thumbnail = source.scaled(thumb, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
    m_navigator = m_thumbnail;
    m_dragging = false;
    applyMode();
}

void TfrmViewer::showInfo(const QString& fileName)
{
    ExifReaderFill::Fill(plExifData, fileName, m_focusFrame, m_faces);
    m_fileName = fileName;
    setFileNameLabel();
    imgViewer->update();
}

void TfrmViewer::setFileNameLabel()
{
    if (!m_fileName.isEmpty())
        lblFileName->setText(QFileInfo(m_fileName).fileName());
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

void TfrmViewer::SetFitted()
{
    m_mode = ViewMode::Fitted;
    tmrPreview->stop();
    applyMode();
    updateLabels();
}

void TfrmViewer::SetOneToOne()
{
    m_mode = ViewMode::OneToOne;
    imgViewer->move(0, 0);
    applyMode();
    updateLabels();
    startPreviewTimer();
}

void TfrmViewer::applyMode()
{
    m_dragging = false;
    if (m_mode == ViewMode::Fitted) {
        imgViewer->setGeometry(pnlViewer->rect());
        imgViewer->unsetCursor();
        pbxPreview->hide();
    } else {
        const QSize size = m_master.isNull() ? pnlViewer->size() : m_master.size();
        imgViewer->setGeometry(QRect(clampedPosition(imgViewer->pos()), size));
        imgViewer->setCursor(Qt::OpenHandCursor);
        pbxPreview->show();
    }
    imgViewer->update();
}

void TfrmViewer::SetFocusDisplay(bool on)
{
    if (on == m_focusDisplay)
        return;
    m_focusDisplay = on;
    updateLabels();
    imgViewer->update();
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
    const bool oneToOne = m_mode == ViewMode::OneToOne;
    DarkStyle::SetTextColor(lblOneToOne, oneToOne ? DarkStyle::Active() : textColor());
    DarkStyle::SetTextColor(lblFitted, oneToOne ? textColor() : DarkStyle::Active());
    DarkStyle::SetTextColor(lblFocusInfo, m_focusDisplay ? DarkStyle::Active() : textColor());
}

void TfrmViewer::startPreviewTimer()
{
    if (!m_thumbnail.isNull())
        tmrPreview->start(kPreviewDelayMs);
}

// --- painting ----------------------------------------------------------------------------------

QRect TfrmViewer::fittedRect() const
{
    // Scaled down to fit with the proportions kept, never enlarged, centred.
    const QSize panel = imgViewer->size();
    QSize size = m_master.size();
    if (size.width() > panel.width() || size.height() > panel.height())
        size = size.scaled(panel, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    return QRect(QPoint((panel.width() - size.width()) / 2, (panel.height() - size.height()) / 2), size);
}

const QImage& TfrmViewer::fittedPicture()
{
    const QSize size = fittedRect().size();
    if (m_fitted.size() != size) {
        const QImage& source = m_reduced.isNull() ? m_master : m_reduced;
        m_fitted = source.size() == size
            ? source
            : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return m_fitted;
}

void TfrmViewer::paintPicture(QWidget* target, const QRect& exposed)
{
    QPainter painter(target);
    painter.fillRect(exposed, Qt::black);
    if (m_master.isNull())
        return;
    if (m_mode == ViewMode::Fitted) {
        const QRect rect = fittedRect();
        painter.drawImage(rect.topLeft(), fittedPicture());
        painter.translate(rect.topLeft());
        painter.scale(double(rect.width()) / m_master.width(), double(rect.height()) / m_master.height());
    } else {
        const QRect part = exposed.intersected(m_master.rect());
        painter.drawImage(part.topLeft(), m_master, part);
    }
    if (m_focusDisplay)
        paintOverlays(painter);
}

void TfrmViewer::paintOverlays(QPainter& painter) const
{
    // In picture pixels: the pen scales with the picture in the fitted view.
    painter.setBrush(Qt::NoBrush);
    const auto outline = [&painter](const TExifRect& r, const QColor& color) {
        painter.setPen(QPen(color, kOverlayPen, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawRect(QRectF(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
    };
    if (m_focusFrame != TExifRect())
        outline(m_focusFrame, QColor(0, 255, 0));
    for (const TExifRect& face : m_faces)
        outline(face, Qt::white);
}

void TfrmViewer::drawNavigator()
{
    tmrPreview->stop();
    if (m_thumbnail.isNull() || m_master.isNull())
        return;
    const double m = double(m_thumbnail.width()) / m_master.width();
    const QPoint pos = imgViewer->pos();
    const QSize panel = pnlViewer->size();
    const QRect visible(int(std::lround(std::abs(pos.x()) * m)), int(std::lround(std::abs(pos.y()) * m)),
        int(std::lround(panel.width() * m)), int(std::lround(panel.height() * m)));
    m_navigator = m_thumbnail;
    tintRed(m_navigator, visible);
    pbxPreview->update();
}

void TfrmViewer::paintNavigator(QWidget* target)
{
    QPainter painter(target);
    painter.fillRect(target->rect(), Qt::black);
    if (m_navigator.isNull())
        return;
    painter.drawImage(
        QPoint((kNavigatorEdge - m_navigator.width()) / 2, (kNavigatorEdge - m_navigator.height()) / 2),
        m_navigator);
}

// --- panning -----------------------------------------------------------------------------------

QPoint TfrmViewer::PicturePosition() const
{
    return imgViewer->pos();
}

QPoint TfrmViewer::clampedPosition(const QPoint& wanted) const
{
    // From (panel − picture) to 0; a picture smaller than the panel in one direction stays centred
    // in that direction instead of being pushed outside.
    const QSize panel = pnlViewer->size();
    const QSize picture = m_master.isNull() ? panel : m_master.size();
    const auto clampAxis = [](int value, int panelExtent, int pictureExtent) {
        const int low = panelExtent - pictureExtent;
        if (low >= 0)
            return low / 2;
        return std::clamp(value, low, 0);
    };
    return QPoint(clampAxis(wanted.x(), panel.width(), picture.width()),
        clampAxis(wanted.y(), panel.height(), picture.height()));
}

void TfrmViewer::panTo(const QPoint& wanted)
{
    const QPoint position = clampedPosition(wanted);
    if (position == imgViewer->pos())
        return;
    imgViewer->move(position);
    pnlViewer->update();
    drawNavigator();
}

bool TfrmViewer::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == imgViewer) {
        switch (type) {
        case QEvent::Paint:
            paintPicture(imgViewer, static_cast<QPaintEvent*>(event)->rect());
            return true;
        case QEvent::MouseButtonPress:
            if (m_mode == ViewMode::OneToOne) {
                m_dragging = true;
                m_anchor = static_cast<QMouseEvent*>(event)->position().toPoint();
                imgViewer->setCursor(Qt::ClosedHandCursor);
            }
            return true;
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            if (m_mode == ViewMode::OneToOne)
                imgViewer->setCursor(Qt::OpenHandCursor);
            return true;
        case QEvent::MouseMove:
            if (m_dragging && m_mode == ViewMode::OneToOne) {
                // The anchor is the grabbed point of the picture, so it follows the mouse one to one.
                const QPoint mouse = static_cast<QMouseEvent*>(event)->position().toPoint();
                panTo(imgViewer->pos() + mouse - m_anchor);
            }
            return true;
        default:
            break;
        }
    } else if (watched == pbxPreview && type == QEvent::Paint) {
        paintNavigator(pbxPreview);
        return true;
    } else if (watched == pnlViewer && type == QEvent::Resize) {
        applyMode();
        if (m_mode == ViewMode::OneToOne)
            startPreviewTimer();
    } else if (type == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblFocusInfo) {
            SetFocusDisplay(!m_focusDisplay);
            return true;
        }
        if (watched == lblOneToOne || watched == lblFileName || watched == imgMagnifier) {
            SetOneToOne();
            return true;
        }
        if (watched == lblFitted) {
            SetFitted();
            return true;
        }
    }
    return TTranslationForm::eventFilter(watched, event);
}
