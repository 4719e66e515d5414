#include "remote/ui/TfraRemoteControl.h"

#include "base/ui/DarkStyle.h"
#include "camera/TCtrlZoomAction.h"
#include "import/ui/PhotoImportLook.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TRemoteSeriesPanel.h"
#include "remote/ui/TRemoteTimeLapsePanel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kSideWidth = 350;
constexpr int kMargin = 8;
constexpr int kSpacing = 8;

QLabel* fieldLabel(const char* name, const QString& text, QWidget* parent)
{
    QLabel* label = PhotoImportLook::Label(QString::fromLatin1(name), text, parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QToolButton* glyphButton(const char* name, const QString& hint, int size, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFixedSize(size + 6, size + 6);
    button->setIconSize(QSize(size, size));
    return button;
}

// Qt's own disabled look hardly differs from the grey glyph: a button that does nothing must show it.
QIcon switchableGlyph(int index)
{
    QIcon icon(RemoteControlLook::SmallGlyph(index, DarkStyle::Text()));
    icon.addPixmap(RemoteControlLook::SmallGlyph(index, DarkStyle::Dimmed()), QIcon::Disabled);
    return icon;
}

} // namespace

TfraRemoteControl::TfraRemoteControl(QWidget* parent)
    : TfraCameraPage(parent)
{
    DarkStyle::Apply(this, DarkStyle::Background());

    sbxLiveView = new QScrollArea(this);
    sbxLiveView->setObjectName(QStringLiteral("sbxLiveView"));
    sbxLiveView->setWidgetResizable(false);
    sbxLiveView->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DarkStyle::Apply(sbxLiveView, DarkStyle::Background());
    fraLiveView = new TfraLiveView;
    fraLiveView->setObjectName(QStringLiteral("fraLiveView"));
    sbxLiveView->setWidget(fraLiveView);

    pnlSide = new QWidget(this);
    pnlSide->setObjectName(QStringLiteral("pnlSide"));
    pnlSide->setFixedWidth(kSideWidth);
    auto* side = new QVBoxLayout(pnlSide);
    side->setContentsMargins(0, 0, 0, 0);
    side->setSpacing(kSpacing);
    pcSide = new QStackedWidget(pnlSide);
    pcSide->setObjectName(QStringLiteral("pcSide"));
    // The shutter area first: the time-lapse page names the interval in it.
    QWidget* shutter = createShutterArea();
    tsCameraProperties = new TRemotePropertyPanel(pcSide);
    tsTimelapse = new TRemoteTimeLapsePanel(lblTimelapseStatus);
    tsCameraProperties->Pager->AddPage(tsTimelapse);
    tsTimeLapseAdvanced = pnlLRTLPreviewImage->AdvancedPage();
    pcSide->addWidget(tsCameraProperties);
    pcSide->addWidget(tsTimeLapseAdvanced);
    side->addWidget(pcSide, 1);
    side->addWidget(shutter);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    row->setSpacing(kSpacing);
    row->addWidget(sbxLiveView, 1);
    row->addWidget(pnlSide, 0, Qt::AlignTop);

    tmrRecordButton = new QTimer(this);

    fraLiveView->OnBeforeImage = [this](TfraLiveView* sender, bool& show) { OnBeforeImage(sender, show); };
    fraLiveView->OnAfterImage = [this](TfraLiveView* sender) { OnAfterImage(sender); };
    fraLiveView->OnResized
        = [this](TfraLiveView* sender, int width, int height) { OnResized(sender, width, height); };
    connect(
        fraLiveView, &TfraLiveView::PictureClicked, this, [this](const QPoint& at, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                imgLiveViewMouseDown(at.x(), at.y());
        });
    connect(
        fraLiveView, &TfraLiveView::PictureReleased, this, [this](const QPoint& at, Qt::MouseButton button) {
            if (button == Qt::LeftButton)
                imgLiveViewMouseUp(at.x(), at.y());
        });
    m_shooting = new TShooting(this);
    m_control = new TRemoteControl(this);
    tsCameraProperties->Bind(this, m_control, m_shooting, fraLiveView);
    connect(tsCameraProperties, &TRemotePropertyPanel::MovieModeChanged, this, [this] { updateMovieMode(); });
    connect(tsCameraProperties, &TRemotePropertyPanel::TimeLapseAllowed, this,
        &TfraRemoteControl::EnableTimeLapse);
    pnlLRTLPreviewImage->Bind(this, m_control, m_shooting, fraLiveView, tsTimelapse, tsCameraProperties);
    connect(pnlLRTLPreviewImage, &TRemoteSeriesPanel::ShowAdvanced, this, [this](bool advanced) {
        pcSide->setCurrentWidget(advanced ? tsTimeLapseAdvanced : static_cast<QWidget*>(tsCameraProperties));
    });
    connect(pnlLRTLPreviewImage, &TRemoteSeriesPanel::RunningChanged, this, [this] { updateTakeGlyph(); });
    connectControls();
    connectShooting();
    EnableTimeLapse(false);

    btnTake->show();
    btnTakeMovie->hide();
    fraLiveView->lblTimer->hide();
    fraLiveView->lblMovieQuality->hide();
    updateTakeGlyph();
    updateTouchGlyph();
    updateAutoButtons();
    tsCameraProperties->ActivateControls();
}

TfraRemoteControl::~TfraRemoteControl() = default;

// ---- construction -----------------------------------------------------------------------------

QWidget* TfraRemoteControl::createShutterArea()
{
    pnlShutter = new QWidget(pnlSide);
    pnlShutter->setObjectName(QStringLiteral("pnlShutter"));
    DarkStyle::Apply(pnlShutter, DarkStyle::Panel());
    auto* layout = new QGridLayout(pnlShutter);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(4);

    btnTake = glyphButton(
        "btnTake", QStringLiteral("Aufnahme auslösen"), RemoteControlLook::LargeSize, pnlShutter);
    btnTakeMovie = glyphButton(
        "btnTakeMovie", QStringLiteral("Aufnahme auslösen"), RemoteControlLook::LargeSize, pnlShutter);
    btnTakeMovie->setIcon(QIcon(RemoteControlLook::LargeGlyph(3, DarkStyle::Text())));
    auto* take = new QHBoxLayout;
    take->addWidget(btnTake);
    take->addWidget(btnTakeMovie);
    layout->addLayout(take, 0, 0, 3, 1, Qt::AlignCenter);

    const int small = RemoteControlLook::SmallSize;
    btnTouchMode = glyphButton("btnTouchMode", QStringLiteral("Touchfunktion festlegen"), small, pnlShutter);
    btnLastPreview = glyphButton(
        "btnLastPreview", QStringLiteral("Letzte Aufnahme als Vorschau anzeigen"), small, pnlShutter);
    btnLastPreview->setIcon(switchableGlyph(9));
    btnAutoPreview
        = glyphButton("btnAutoPreview", QStringLiteral("Vorschau automatisch anzeigen"), small, pnlShutter);
    btnDownloadLastTake = glyphButton(
        "btnDownloadLastTake", QStringLiteral("Letzte Aufnahme herunterladen"), small, pnlShutter);
    btnDownloadLastTake->setIcon(switchableGlyph(10));
    btnAutoDownload = glyphButton(
        "btnAutoDownload", QStringLiteral("Aufnahme automatisch herunterladen"), small, pnlShutter);
    layout->addWidget(btnTouchMode, 0, 1);
    layout->addWidget(btnLastPreview, 0, 2);
    layout->addWidget(btnAutoPreview, 0, 3);
    layout->addWidget(btnDownloadLastTake, 1, 2);
    layout->addWidget(btnAutoDownload, 1, 3);

    // Zoom: W and T either side of the buttons, "Zoom" beneath.
    auto* zoom = new QGridLayout;
    zoom->setSpacing(2);
    lblZoomOut = fieldLabel("lblZoomOut", QStringLiteral("W"), pnlShutter);
    lblZoomIn = fieldLabel("lblZoomIn", QStringLiteral("T"), pnlShutter);
    lblZoom = fieldLabel("lblZoom", QStringLiteral("Zoom"), pnlShutter);
    btnZoomOut = glyphButton("btnZoomOut", QString(), 20, pnlShutter);
    btnZoomOut->setIcon(QIcon(RemoteControlLook::SmallGlyph(11, DarkStyle::Text())));
    btnZoomIn = glyphButton("btnZoomIn", QString(), 20, pnlShutter);
    btnZoomIn->setIcon(QIcon(RemoteControlLook::SmallGlyph(12, DarkStyle::Text())));
    zoom->addWidget(lblZoomOut, 0, 0, Qt::AlignCenter);
    zoom->addWidget(lblZoomIn, 0, 1, Qt::AlignCenter);
    zoom->addWidget(btnZoomOut, 1, 0);
    zoom->addWidget(btnZoomIn, 1, 1);
    zoom->addWidget(lblZoom, 2, 0, 1, 2, Qt::AlignCenter);
    layout->addLayout(zoom, 0, 4, 3, 1, Qt::AlignTop);
    layout->setColumnStretch(5, 1);

    lblTimelapseStatus = fieldLabel("lblTimelapseStatus", QStringLiteral("Intervall"), pnlShutter);
    lblTimelapseStatus->hide();
    layout->addWidget(lblTimelapseStatus, 2, 1, 1, 3);

    lblLastTakeInfo = fieldLabel("lblLastTakeInfo", QStringLiteral("-"), pnlShutter);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPointSizeF(lblLastTakeInfo->font().pointSizeF());
    lblLastTakeInfo->setFont(fixed);
    lblLastTakeInfo->setWordWrap(true);
    lblLastTakeInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for a JPEG and a RAW line, so the side area does not jump after a shot.
    lblLastTakeInfo->setMinimumHeight(2 * QFontMetrics(fixed).lineSpacing());
    layout->addWidget(lblLastTakeInfo, 3, 0, 1, 6);

    pnlLRTLPreviewImage = new TRemoteSeriesPanel(pnlShutter);
    layout->addWidget(pnlLRTLPreviewImage, 4, 0, 1, 6);
    return pnlShutter;
}

void TfraRemoteControl::connectControls()
{
    connect(btnTouchMode, &QToolButton::clicked, this, [this] { btnTouchModeClick(); });
    connect(btnZoomOut, &QToolButton::pressed, this, [this] { btnZoomPress(TCtrlZoomAction::WideMove); });
    connect(btnZoomIn, &QToolButton::pressed, this, [this] { btnZoomPress(TCtrlZoomAction::TeleMove); });
    connect(btnZoomOut, &QToolButton::released, this, [this] { btnZoomRelease(); });
    connect(btnZoomIn, &QToolButton::released, this, [this] { btnZoomRelease(); });
    connect(btnAutoPreview, &QToolButton::clicked, this, [this] { btnAutoPreviewClick(); });
    connect(btnAutoDownload, &QToolButton::clicked, this, [this] { btnAutoDownloadClick(); });
    connect(btnTake, &QToolButton::pressed, this, [this] { btnTakeMouseDown(); });
    connect(btnTake, &QToolButton::released, this, [this] { btnTakeMouseUp(); });
    connect(btnTake, &QToolButton::clicked, this, [this] { btnTakeClick(); });
    connect(btnTakeMovie, &QToolButton::clicked, this, [this] { btnTakeMovieMouseUp(); });
    connect(btnLastPreview, &QToolButton::clicked, this, [this] { btnLastPreviewClick(); });
    connect(btnDownloadLastTake, &QToolButton::clicked, this, [this] { btnDownloadLastTakeClick(); });
}
