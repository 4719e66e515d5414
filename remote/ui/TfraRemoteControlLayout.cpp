#include "remote/ui/TfraRemoteControl.h"

#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "camera/TCtrlZoomAction.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TColorPhasePicker.h"
#include "remote/ui/TfraTimeLapse.h"

#include <QCheckBox>
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
constexpr int kStepButtonWidth = 26;

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

// A property page: caption, choice and -/+ buttons in columns, the choice taking the width.
QGridLayout* propertyGrid(QWidget* page, const char* name, const QString& title)
{
    page->setObjectName(QString::fromLatin1(name));
    page->setAccessibleName(title);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    return grid;
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
    tsCameraProperties = createPropertyArea();
    tsTimeLapseAdvanced = new QWidget(pcSide);
    tsTimeLapseAdvanced->setObjectName(QStringLiteral("tsTimeLapseAdvanced"));
    DarkStyle::Apply(tsTimeLapseAdvanced, DarkStyle::Panel());
    pcSide->addWidget(tsCameraProperties);
    pcSide->addWidget(tsTimeLapseAdvanced);
    side->addWidget(pcSide, 1);
    side->addWidget(createShutterArea());

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    row->setSpacing(kSpacing);
    row->addWidget(sbxLiveView, 1);
    row->addWidget(pnlSide, 0, Qt::AlignTop);

    // Page size minus the live view panel: the side column, the gaps and the scroll box's frame.
    const int frame = 2 * sbxLiveView->frameWidth();
    m_pageMargin = QSize(2 * kMargin + kSpacing + kSideWidth + frame, 2 * kMargin + frame);

    tmrTimeLapse = new QTimer(this);
    tmrRecordButton = new QTimer(this);
    tmrBackgroundDownload = new QTimer(this);

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
    connectChoices();
    connectControls();
    connectShooting();
    connectTimeLapse();

    pnlLRTLPreviewImage->hide();
    cpiColorPhase->hide();
    btnTake->show();
    btnTakeMovie->hide();
    fraLiveView->lblTimer->hide();
    fraLiveView->lblMovieQuality->hide();
    updateTakeGlyph();
    updateTouchGlyph();
    updateAutoButtons();
    updatePageButtons();
    ActivateControls();
}

TfraRemoteControl::~TfraRemoteControl() = default;

// ---- construction -----------------------------------------------------------------------------

QComboBox* TfraRemoteControl::addChoice(const char* name, const char*, const QString&)
{
    auto* choice = new QComboBox;
    choice->setObjectName(QString::fromLatin1(name));
    choice->setMinimumWidth(80);
    choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    choice->setMinimumContentsLength(6);
    return choice;
}

QToolButton* TfraRemoteControl::stepButton(const char* name, const QString& caption, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setFixedWidth(kStepButtonWidth);
    return button;
}

QWidget* TfraRemoteControl::createPropertyArea()
{
    auto* area = new QWidget(pcSide);
    area->setObjectName(QStringLiteral("tsCameraProperties"));
    DarkStyle::Apply(area, DarkStyle::Panel());
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);

    auto* head = new QHBoxLayout;
    lblCameraPropertiesTitel = PhotoImportLook::TitleLabel(
        QStringLiteral("lblCameraPropertiesTitel"), QStringLiteral("Kameraparameter"), area);
    btnPrevParams = glyphButton("btnPrevParams", QString(), 16, area);
    btnPrevParams->setIcon(QIcon(RemoteControlLook::SmallGlyph(13, DarkStyle::Text())));
    btnNextParams = glyphButton("btnNextParams", QString(), 16, area);
    btnNextParams->setIcon(QIcon(RemoteControlLook::SmallGlyph(14, DarkStyle::Text())));
    head->addWidget(lblCameraPropertiesTitel, 1);
    head->addWidget(btnPrevParams);
    head->addWidget(btnNextParams);
    layout->addLayout(head);

    pcCameraProperties = new QStackedWidget(area);
    pcCameraProperties->setObjectName(QStringLiteral("pcCameraProperties"));
    tsGeneral = createGeneralPage();
    tsAdditional = createAdditionalPage();
    tsTimelapse = createTimeLapsePage();
    pcCameraProperties->addWidget(tsGeneral);
    pcCameraProperties->addWidget(tsAdditional);
    pcCameraProperties->addWidget(tsTimelapse);
    layout->addWidget(pcCameraProperties, 1);
    return area;
}

QWidget* TfraRemoteControl::createGeneralPage()
{
    auto* page = new QWidget;
    QGridLayout* grid = propertyGrid(page, "tsGeneral", QStringLiteral("Allgemein"));

    int row = 0;
    // The art filter and movie mode lists appear left of the program mode when shown.
    cbxProgramMode = addChoice("cbxProgramMode", nullptr, {});
    cbxArtFilter = addChoice("cbxArtFilter", nullptr, {});
    cbxMovieProgramMode = addChoice("cbxMovieProgramMode", nullptr, {});
    cbxArtFilter->hide();
    cbxMovieProgramMode->hide();
    auto* modes = new QHBoxLayout;
    modes->setSpacing(10);
    // Filter names are long, program modes short.
    modes->addWidget(cbxArtFilter, 3);
    modes->addWidget(cbxMovieProgramMode, 3);
    modes->addWidget(cbxProgramMode, 2);
    grid->addWidget(fieldLabel("lblProgramMode", QStringLiteral("Programm"), page), row, 0);
    grid->addLayout(modes, row++, 1, 1, 3);

    const auto stepped
        = [&](QComboBox*& choice, const char* name, const char* labelName, const QString& label,
              QToolButton*& down, const char* downName, QToolButton*& up, const char* upName) {
              choice = addChoice(name, labelName, label);
              down = stepButton(downName, QStringLiteral("-"), page);
              up = stepButton(upName, QStringLiteral("+"), page);
              grid->addWidget(fieldLabel(labelName, label, page), row, 0);
              grid->addWidget(choice, row, 1);
              grid->addWidget(down, row, 2);
              grid->addWidget(up, row++, 3);
          };
    stepped(cbxAperture, "cbxAperture", "lblAperture", QStringLiteral("Blende"), btnApertureDown,
        "btnApertureDown", btnApertureUp, "btnApertureUp");
    stepped(cbxShutterSpeed, "cbxShutterSpeed", "lblShutterSpeed", QStringLiteral("Verschlusszeit"),
        btnShutterSpeedDown, "btnShutterSpeedDown", btnShutterSpeedUp, "btnShutterSpeedUp");
    stepped(cbxExposureCompensation, "cbxExposureCompensation", "lblExposureCompensation",
        QStringLiteral("Belichtungskorrektur"), btnExposureCompensationDown, "btnExposureCompensationDown",
        btnExposureCompensationUp, "btnExposureCompensationUp");
    stepped(cbxISOSensitivity, "cbxISOSensitivity", "lblISOSensitivity",
        QStringLiteral("ISO-Empfindlichkeit"), btnISOSensitivityDown, "btnISOSensitivityDown",
        btnISOSensitivityUp, "btnISOSensitivityUp");

    cbxWhiteBalance = addChoice("cbxWhiteBalance", nullptr, {});
    grid->addWidget(fieldLabel("lblWhiteBalance", QStringLiteral("Weißabgleich"), page), row, 0);
    grid->addWidget(cbxWhiteBalance, row++, 1, 1, 3);

    cpiColorPhase = new TColorPhasePicker(page);
    cpiColorPhase->SetHue(120);
    grid->addWidget(cpiColorPhase, row++, 1, 1, 3);

    cbxDriveMode = addChoice("cbxDriveMode", nullptr, {});
    cbxSelfTimer = new QComboBox(page);
    cbxSelfTimer->setObjectName(QStringLiteral("cbxSelfTimer"));
    cbxSelfTimer->addItems({ QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"),
        QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("12") });
    cbxSelfTimer->setCurrentIndex(0);
    cbxSelfTimer->setFixedWidth(2 * kStepButtonWidth + 20);
    cbxSelfTimer->hide();
    auto* drive = new QHBoxLayout;
    drive->setSpacing(6);
    drive->addWidget(cbxDriveMode, 1);
    drive->addWidget(cbxSelfTimer);
    grid->addWidget(fieldLabel("lblDriveMode", QStringLiteral("Auslöseart"), page), row, 0);
    grid->addLayout(drive, row++, 1, 1, 3);
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* TfraRemoteControl::createAdditionalPage()
{
    auto* page = new QWidget;
    QGridLayout* grid = propertyGrid(page, "tsAdditional", QStringLiteral("Erweitert"));
    int row = 0;
    const auto plain
        = [&](QComboBox*& choice, const char* name, const char* labelName, const QString& label) {
              choice = addChoice(name, labelName, label);
              grid->addWidget(fieldLabel(labelName, label, page), row, 0);
              grid->addWidget(choice, row++, 1);
          };
    plain(cbxColorTone, "cbxColorTone", "lblColorTone", QStringLiteral("Bildmodus"));
    plain(cbxMovieQuality, "cbxMovieQuality", "lblMovieQuality", QStringLiteral("Videoqualität"));
    plain(cbxDigitalConverter, "cbxDigitalConverter", "lblDigitalConverter",
        QStringLiteral("Digitalkonverter"));
    plain(cbxLowVibTime, "cbxLowVibTime", "lblLowVibTime", QStringLiteral("Anti-Schock"));
    plain(cbxBulbTimeLimit, "cbxBulbTimeLimit", "lblBulbTimeLimit", QStringLiteral("BULB-Zeitlimit"));
    plain(cbxNoiseReduction, "cbxNoiseReduction", "lblNoiseReduction", QStringLiteral("Rauschminderung"));
    grid->setRowStretch(row, 1);
    return page;
}

QWidget* TfraRemoteControl::createTimeLapsePage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tsTimelapse"));
    page->setAccessibleName(QStringLiteral("Intervallaufnahme"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* head = new QHBoxLayout;
    lblTimeLapse = fieldLabel("lblTimeLapse", QStringLiteral("Intervallaufnahme"), page);
    swTimeLapse = new QCheckBox(page);
    swTimeLapse->setObjectName(QStringLiteral("swTimeLapse"));
    head->addWidget(lblTimeLapse, 1);
    head->addWidget(swTimeLapse);
    layout->addLayout(head);
    layout->addWidget(createTimeLapsePanel(page), 1);
    return page;
}

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

    pnlLRTLPreviewImage = new QWidget(pnlShutter);
    pnlLRTLPreviewImage->setObjectName(QStringLiteral("pnlLRTLPreviewImage"));
    auto* lrt = new QHBoxLayout(pnlLRTLPreviewImage);
    lrt->setContentsMargins(0, 0, 0, 0);
    btnLRTLPreviewImage = new QToolButton(pnlLRTLPreviewImage);
    btnLRTLPreviewImage->setObjectName(QStringLiteral("btnLRTLPreviewImage"));
    btnLRTLPreviewImage->setText(QStringLiteral("Vorschaubild laden"));
    lrt->addWidget(btnLRTLPreviewImage);
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
    connect(btnNextParams, &QToolButton::clicked, this, [this] { btnNextParamsClick(); });
    connect(btnPrevParams, &QToolButton::clicked, this, [this] { btnPrevParamsClick(); });
    connect(btnAutoPreview, &QToolButton::clicked, this, [this] { btnAutoPreviewClick(); });
    connect(btnAutoDownload, &QToolButton::clicked, this, [this] { btnAutoDownloadClick(); });
    connect(btnTake, &QToolButton::pressed, this, [this] { btnTakeMouseDown(); });
    connect(btnTake, &QToolButton::released, this, [this] { btnTakeMouseUp(); });
    connect(btnTake, &QToolButton::clicked, this, [this] { btnTakeClick(); });
    connect(btnTakeMovie, &QToolButton::clicked, this, [this] { btnTakeMovieMouseUp(); });
    connect(btnLastPreview, &QToolButton::clicked, this, [this] { btnLastPreviewClick(); });
    connect(btnDownloadLastTake, &QToolButton::clicked, this, [this] { btnDownloadLastTakeClick(); });
}
