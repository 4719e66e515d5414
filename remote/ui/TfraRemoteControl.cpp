#include "remote/ui/TfraRemoteControl.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "import/ui/PhotoImportLook.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/RemoteControlRules.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TColorPhasePicker.h"
#include "remote/ui/TfraTimeLapse.h"
#include "session/TCamera.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QPointer>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <optional>

using namespace RemoteControlRules;

namespace {

constexpr int kSideWidth = 350;
constexpr int kMargin = 8;
constexpr int kSpacing = 8;
constexpr int kStepButtonWidth = 26;
// Below the side area, as far as the page reaches.
constexpr int kSideBottomGap = 15;

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

// What a pick does after it went to the camera.
enum class TAfterPick {
    Nothing,
    // The program modes change which properties the camera offers.
    Reload,
    // Only a switch into or out of live bulb or live time changes them.
    ReloadOnLongExposure,
    DriveMode,
    MovieQuality,
};

struct TChoiceRow
{
    QComboBox* TfraRemoteControl::*Choice;
    const char* Property;
    // The change handler's name in the trace lines.
    const char* Handler;
    // The row's caption, named when the camera refuses a pick.
    const char* Label;
    // Enabled by the mode text; the art filter and movie mode lists have rules of their own.
    std::optional<TModeChoice> Mode;
    TAfterPick After;
};

using R = TfraRemoteControl;
using M = TModeChoice;
using A = TAfterPick;
// In the order the choices are filled.
constexpr TChoiceRow kChoices[] = {
    { &R::cbxProgramMode, "takemode", "cbxProgramModeChange", "lblProgramMode", M::ProgramMode, A::Reload },
    { &R::cbxArtFilter, "artfilter", "cbxArtFilterChange", "lblProgramMode", std::nullopt, A::Reload },
    { &R::cbxMovieProgramMode, "exposemovie", "cbxMovieProgramModeChange", "lblProgramMode", std::nullopt,
        A::Reload },
    { &R::cbxAperture, "focalvalue", "cbxApertureChange", "lblAperture", M::Aperture, A::Nothing },
    { &R::cbxShutterSpeed, "shutspeedvalue", "cbxShutterSpeedChange", "lblShutterSpeed", M::ShutterSpeed,
        A::ReloadOnLongExposure },
    { &R::cbxExposureCompensation, "expcomp", "cbxExposureCompensationChange", "lblExposureCompensation",
        M::ExposureCompensation, A::Nothing },
    { &R::cbxISOSensitivity, "isospeedvalue", "cbxISOSensitivityChange", "lblISOSensitivity",
        M::ISOSensitivity, A::Nothing },
    { &R::cbxWhiteBalance, "wbvalue", "cbxWhiteBalanceChange", "lblWhiteBalance", M::WhiteBalance,
        A::Nothing },
    { &R::cbxDriveMode, "drivemode", "cbxDriveModeChange", "lblDriveMode", M::DriveMode, A::DriveMode },
    { &R::cbxColorTone, "colortone", "cbxColorToneChange", "lblColorTone", M::ColorTone, A::Nothing },
    { &R::cbxMovieQuality, "qualitymovie", "cbxMovieQualityChange", "lblMovieQuality", M::MovieQuality,
        A::MovieQuality },
    { &R::cbxNoiseReduction, "noisereduction", "cbxNoiseReductionChange", "lblNoiseReduction",
        M::NoiseReduction, A::Nothing },
    { &R::cbxBulbTimeLimit, "bulbtimelimit", "cbxBulbTimeLimitChange", "lblBulbTimeLimit", M::BulbTimeLimit,
        A::Nothing },
    { &R::cbxLowVibTime, "lowvibtime", "cbxLowVibTimeChange", "lblLowVibTime", M::LowVibTime, A::Nothing },
    { &R::cbxDigitalConverter, "digitaltelecon", "cbxDigitalConverterChange", "lblDigitalConverter",
        M::DigitalConverter, A::Nothing },
};

// The -/+ pairs; the shutter speed list runs from long to short, so its "-" moves towards the end.
struct TStepRow
{
    QToolButton* TfraRemoteControl::*Down;
    QToolButton* TfraRemoteControl::*Up;
    QComboBox* TfraRemoteControl::*Choice;
    int DownStep;
};

constexpr TStepRow kSteps[] = {
    { &R::btnApertureDown, &R::btnApertureUp, &R::cbxAperture, -1 },
    { &R::btnShutterSpeedDown, &R::btnShutterSpeedUp, &R::cbxShutterSpeed, 1 },
    { &R::btnExposureCompensationDown, &R::btnExposureCompensationUp, &R::cbxExposureCompensation, -1 },
    { &R::btnISOSensitivityDown, &R::btnISOSensitivityUp, &R::cbxISOSensitivity, -1 },
};

const TChoiceRow* choiceRow(const TfraRemoteControl* page, const QComboBox* choice)
{
    for (const TChoiceRow& row : kChoices)
        if (page->*row.Choice == choice)
            return &row;
    return nullptr;
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
    connectChoices();
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

void TfraRemoteControl::connectChoices()
{
    for (const TChoiceRow& row : kChoices) {
        QComboBox* choice = this->*row.Choice;
        connect(choice, &QComboBox::activated, this, [this, choice](int) { choiceChange(choice); });
    }
    connect(cbxSelfTimer, &QComboBox::activated, this, [this](int) { choiceChange(cbxDriveMode); });
    for (const TStepRow& row : kSteps) {
        QComboBox* choice = this->*row.Choice;
        const int down = row.DownStep;
        connect(
            this->*row.Down, &QToolButton::clicked, this, [this, choice, down] { stepChoice(choice, down); });
        connect(
            this->*row.Up, &QToolButton::clicked, this, [this, choice, down] { stepChoice(choice, -down); });
    }
    connect(cpiColorPhase, &TColorPhasePicker::HueReleased, this, [this](int) { SetColorPhase(); });
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

// ---- helpers ----------------------------------------------------------------------------------

bool TfraRemoteControl::isConnected() const
{
    return Camera() && Camera()->Connected;
}

bool TfraRemoteControl::isRemoteRecordMode() const
{
    const TCamera* camera = Camera();
    return camera && (camera->Capabilities & TCamera::CapRemote) && camera->Remote.CameraMode.Enabled
        && camera->Remote.CameraMode.Mode == TCameraModeAction::ModeRec;
}

bool TfraRemoteControl::mayChange() const
{
    return isConnected() && !m_updating && !fraLiveView->IsUpdatingChoices();
}

bool TfraRemoteControl::isDebugMode() const
{
    return m_setup && m_setup->DebugMode;
}

void TfraRemoteControl::trace(const QString& operation, const QString& what) const
{
    if (m_setup && m_setup->DetailedLog)
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.") + operation + QStringLiteral(": ") + what);
}

void TfraRemoteControl::beginCommunication(const QString& operation)
{
    trace(operation, QStringLiteral("ceStart"));
    communicationStarted();
}

void TfraRemoteControl::endCommunication(const QString& operation)
{
    trace(operation, QStringLiteral("ceStop"));
    communicationStopped();
}

void TfraRemoteControl::changeFreeRegions(const QString& operation, const QList<QRect>& rects)
{
    trace(operation, QStringLiteral("ceChangeFreeRegion"));
    emit OnCommunication(this, ceChangeFreeRegion, int(rects.size()) - 1, rects);
}

QList<QRect> TfraRemoteControl::FreeRegions() const
{
    QWidget* main = window();
    const auto toMain = [main](const QWidget* widget) {
        QRect r(widget->mapTo(main, QPoint(0, 0)), widget->size());
        // A maximized window's position counts as well, as the overlay covers the screen there.
        if (main->isMaximized())
            r.translate(main->pos());
        return r;
    };
    // The overlay lies exactly on the main window's client area: the bounds go unshifted (a framed
    // window's border offsets do not apply here).
    const QWidget* takeButton = btnTakeMovie->isVisible() ? btnTakeMovie : btnTake;
    return { toMain(takeButton), toMain(sbxLiveView), toMain(lblLastTakeInfo) };
}

TCameraParam* TfraRemoteControl::param(const QString& name) const
{
    return Camera() ? Camera()->Remote.Params.Find(name) : nullptr;
}

QString TfraRemoteControl::selectedCameraValue(const QString& property, QComboBox* choice) const
{
    const TCameraParam* p = param(property);
    if (!p || choice->currentIndex() < 0)
        return {};
    return p->Dictionary.KeyOf(choice->currentText(), true);
}

void TfraRemoteControl::SetSetup(TSetup* setup)
{
    m_setup = setup;
    fraLiveView->SetSetup(setup);
    fraTimeLapse->SetSetup(setup);
    m_autoPreview = setup && setup->AutoPreview;
    m_autoDownload = setup && setup->AutoDownload;
    updateAutoButtons();
}

// ---- lifecycle --------------------------------------------------------------------------------

void TfraRemoteControl::SetCamera(TCamera* camera)
{
    TfraCameraPage::SetCamera(camera);
    pcCameraProperties->setCurrentWidget(tsGeneral);
    updatePageButtons();
    // Forgets the last shot and every running state of a previous camera.
    m_shooting->SetCamera(camera);
    deriveLongExposureModes();
    deriveSequentialMode();
    m_timeLapseShotsRemaining = 0;
    pnlLRTLPreviewImage->hide();
    updateMovieMode();
    UpdateRecordingMarks();
}

void TfraRemoteControl::GoStart()
{
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("GoStart"));
    try {
        pcSide->setCurrentWidget(tsCameraProperties);
        pcCameraProperties->setCurrentWidget(tsGeneral);
        updatePageButtons();
        TCamera* camera = Camera();
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart: Init live view frame"));
        fraLiveView->SetCamera(camera, cbxShutterSpeed, cbxWhiteBalance, cbxISOSensitivity,
            cbxExposureCompensation, cbxAperture);
        if (camera && camera->Remote.CameraMode.Enabled) {
            TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart: Start live view"));
            fraLiveView->StartLiveView(TCameraModeAction::ModeRec, m_setup ? m_setup->LiveViewPort : 0);
            if (!self)
                return;
        }
        fraLiveView->Prepare();
        // The lens of the last visit may be gone.
        m_appliedLowerLimit = 0;
        m_appliedUpperLimit = NoUpperLimit;
        if (TCameraParam* aperture = param(QStringLiteral("focalvalue"))) {
            aperture->MinLimit = 0;
            aperture->MaxLimit = NoUpperLimit;
        }
        SetValue();
        deriveLongExposureModes();
        deriveSequentialMode();
        syncShootingSettings();
        m_timeLapseShotsRemaining = 0;
        pnlLRTLPreviewImage->hide();
        updateMovieMode();
        UpdateRecordingMarks();
        if (IsMovieMode()) {
            // Sends the program mode again, which also reloads all properties.
            choiceChange(cbxProgramMode);
            if (!self)
                return;
        }
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.GoStart (Ex): ") + QString::fromUtf8(e.what()));
    }
    if (self)
        endCommunication(QStringLiteral("GoStart"));
}

void TfraRemoteControl::GoStop()
{
    if (!leaveTimeLapse())
        return;
    for (QTimer* timer : { tmrBackgroundDownload, tmrRecordButton })
        timer->stop();
    // An exposure, sequence or recording left running would have nobody to end it.
    const QPointer<TfraRemoteControl> self(this);
    m_shooting->Leave();
    if (!self)
        return;
    m_movieState = 0;
    fraLiveView->Finish();
    fraLiveView->StopLiveView();
}

void TfraRemoteControl::ToggleDebugView()
{
    fraLiveView->ToggleDebugView();
}

// ---- filling and enabling ---------------------------------------------------------------------

void TfraRemoteControl::SetValue()
{
    m_updating = true;
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.SetValue: enter"));
    try {
        for (const TChoiceRow& row : kChoices)
            FillChoice(this->*row.Choice, QString::fromLatin1(row.Property));
        if (const TCameraParam* phase = param(QStringLiteral("colorphase")))
            cpiColorPhase->SetHue(HueOfColorPhase(
                phase->RawValue.isEmpty() ? phase->Value : phase->RawValue, cpiColorPhase->Hue()));
    } catch (const std::exception& e) {
        TLogger::LogAlways(QStringLiteral("TfraRemoteControl.SetValue (Ex): ") + QString::fromUtf8(e.what()));
    }
    deriveLongExposureModes();
    deriveSequentialMode();
    updateSelfTimerChoice();
    updateMovieMode();
    ActivateControls();
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.SetValue: leave"));
    m_updating = false;
}

void TfraRemoteControl::FillChoice(QComboBox* choice, const QString& property)
{
    const TCameraParam* p = param(property);
    const QSignalBlocker blocker(choice);
    choice->clear();
    if (!p)
        return;
    QStringList items = p->DisplayValues;
    if (property == QLatin1String("focalvalue") && p->DisplayNumbers.size() == items.size()) {
        const auto [first, last]
            = ApertureWindow(p->DisplayNumbers, m_appliedLowerLimit, m_appliedUpperLimit);
        items = first < 0 ? QStringList() : items.mid(first, last - first + 1);
    }
    choice->addItems(items);
    choice->setCurrentIndex(int(items.indexOf(p->Value)));
}

bool TfraRemoteControl::IsMovieMode() const
{
    return RemoteControlRules::IsMovieMode(selectedCameraValue(QStringLiteral("takemode"), cbxProgramMode));
}

void TfraRemoteControl::ActivateControls()
{
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.ActivateControls: enter"));
    const bool active = isRemoteRecordMode();
    const QString modeText = ModeText(cbxProgramMode->currentText(), cbxMovieProgramMode->currentText());
    for (const TChoiceRow& row : kChoices) {
        if (!row.Mode)
            continue;
        const TCameraParam* p = param(QString::fromLatin1(row.Property));
        (this->*row.Choice)->setEnabled(active && p && p->IsUsable() && IsAllowedInMode(*row.Mode, modeText));
    }
    // The quality of a running recording cannot change.
    if (m_shooting->IsMovieRecording())
        cbxMovieQuality->setEnabled(false);
    cbxSelfTimer->setEnabled(cbxDriveMode->isEnabled());

    const TCameraParam* art = param(QStringLiteral("artfilter"));
    const bool artShown = IsArtFilterShown(cbxProgramMode->isEnabled(), cbxProgramMode->currentText())
        && active && art && art->IsUsable();
    cbxArtFilter->setEnabled(artShown);
    cbxArtFilter->setVisible(artShown);
    const TCameraParam* movie = param(QStringLiteral("exposemovie"));
    const bool movieShown
        = IsMovieModeShown(cbxProgramMode->isEnabled(), artShown, cbxProgramMode->currentText()) && active
        && movie && movie->IsUsable();
    cbxMovieProgramMode->setEnabled(movieShown);
    cbxMovieProgramMode->setVisible(movieShown);

    const bool hue = artShown && cbxArtFilter->currentText() == rs("_rsARTPartColor");
    cpiColorPhase->setEnabled(hue);
    cpiColorPhase->setVisible(hue);

    for (const TStepRow& row : kSteps) {
        const bool enabled = (this->*row.Choice)->isEnabled();
        (this->*row.Down)->setEnabled(enabled);
        (this->*row.Up)->setEnabled(enabled);
    }

    QString normal, lowVib;
    if (const TCameraParam* drive = param(QStringLiteral("drivemode"))) {
        normal = drive->Dictionary.ValueOf(QStringLiteral("normal"), true);
        lowVib = drive->Dictionary.ValueOf(QStringLiteral("lowvib-normal"), true);
    }
    m_timeLapseAllowed = RemoteControlRules::IsTimeLapseAllowed(
        cbxProgramMode->currentText(), cbxDriveMode->currentText(), normal, lowVib);
    EnableTimeLapse(m_timeLapseAllowed);
    if (isDebugMode())
        TLogger::LogTrace(QStringLiteral("TfraRemoteControl.ActivateControls: leave"));
}

void TfraRemoteControl::deriveLongExposureModes()
{
    const QString speed = cbxShutterSpeed->currentText().toUpper();
    m_liveBulbMode = cbxShutterSpeed->currentIndex() >= 0 && speed == rs("_rsLiveBulb").toUpper();
    m_liveTimeMode = cbxShutterSpeed->currentIndex() >= 0 && speed == rs("_rsLiveTime").toUpper();
    fraLiveView->SetLongExposureMode(m_liveTimeMode, m_liveBulbMode);
    syncShootingModes();
}

void TfraRemoteControl::deriveSequentialMode()
{
    m_sequentialMode = IsSequentialDriveMode(selectedCameraValue(QStringLiteral("drivemode"), cbxDriveMode));
    syncShootingModes();
}

void TfraRemoteControl::updateSelfTimerChoice()
{
    cbxSelfTimer->setVisible(IsTimerDriveMode(cbxDriveMode->currentText()));
    syncShootingModes();
}

void TfraRemoteControl::updateMovieMode()
{
    const bool movie = IsMovieMode();
    btnTakeMovie->setVisible(movie);
    btnTake->setVisible(!movie);
    fraLiveView->lblTimer->setText(QStringLiteral("00:00:00"));
    const TCameraParam* quality = param(QStringLiteral("qualitymovie"));
    fraLiveView->lblMovieQuality->setText(quality ? quality->Value : QString());
    fraLiveView->lblTimer->setVisible(movie);
    fraLiveView->lblMovieQuality->setVisible(movie);
}

void TfraRemoteControl::updatePageButtons()
{
    const int index = pcCameraProperties->currentIndex();
    btnNextParams->setVisible(index < pcCameraProperties->count() - 1);
    btnPrevParams->setVisible(index > 0);
}

void TfraRemoteControl::updateTakeGlyph()
{
    btnTake->setIcon(QIcon(RemoteControlLook::LargeGlyph(TakeState(), DarkStyle::Text())));
}

void TfraRemoteControl::updateTouchGlyph()
{
    btnTouchMode->setIcon(QIcon(RemoteControlLook::SmallGlyph(m_touchState, DarkStyle::Text())));
}

void TfraRemoteControl::updateAutoButtons()
{
    btnAutoPreview->setIcon(
        QIcon(RemoteControlLook::SmallGlyph(7 + (m_autoPreview ? 1 : 0), DarkStyle::Text())));
    btnAutoDownload->setIcon(
        QIcon(RemoteControlLook::SmallGlyph(4 + (m_autoDownload ? 1 : 0), DarkStyle::Text())));
    btnLastPreview->setEnabled(!m_autoPreview);
    btnDownloadLastTake->setEnabled(!m_autoDownload);
}

// ---- sending changes --------------------------------------------------------------------------

bool TfraRemoteControl::SetParamValue(const QString& property, QComboBox* choice)
{
    if (!choice || choice->currentIndex() < 0) {
        beginCommunication(QStringLiteral("SetParamValue"));
        ActivateControls();
        endCommunication(QStringLiteral("SetParamValue"));
        return false;
    }
    // The first form sends the display text, which the property finds among its values.
    return sendValue(property, choice->currentText());
}

bool TfraRemoteControl::SetParamValue(const QString& property, int index)
{
    const TCameraParam* p = param(property);
    if (!p || index < 0 || index >= p->RawValues.size())
        return false;
    return sendValue(property, p->RawValues.at(index));
}

bool TfraRemoteControl::sendValue(const QString& property, const QString& value)
{
    beginCommunication(QStringLiteral("SetParamValue"));
    bool result = false;
    try {
        TCameraParam* p = param(property);
        if (isRemoteRecordMode() && p) {
            const QPointer<TfraRemoteControl> self(this);
            setEnabled(false);
            const bool taken = p->SetValue(value);
            if (!self)
                return false;
            setEnabled(true);
            result = taken;
            if (taken)
                clearPropertyError();
            else {
                showPropertyError(property, value);
                rereadCamera();
            }
        }
        ActivateControls();
    } catch (const std::exception& e) {
        setEnabled(true);
        TLogger::LogTrace(
            QStringLiteral("TfraRemoteControl.SetParamValue (Ex): ") + QString::fromUtf8(e.what()));
        result = false;
    }
    endCommunication(QStringLiteral("SetParamValue"));
    return result;
}

void TfraRemoteControl::showPropertyError(const QString& property, const QString& value)
{
    // The row's caption as the user reads it; the property's name where the row has none.
    QString caption = property;
    if (property == QLatin1String("colorphase"))
        caption = rs("_rsARTPartColor");
    for (const TChoiceRow& row : kChoices) {
        if (property != QLatin1String(row.Property))
            continue;
        if (const QLabel* label = tsCameraProperties->findChild<QLabel*>(QString::fromLatin1(row.Label)))
            caption = label->text();
    }
    QString shown = value;
    if (const TCameraParam* p = param(property))
        shown = p->Dictionary.ValueOf(value, true);
    m_propertyError = rs("_rsPropertyRefused", { caption, shown });
    TLogger::LogAlways(QStringLiteral("TfraRemoteControl.SetParamValue: ") + m_propertyError);
    fraLiveView->ShowError(m_propertyError);
}

void TfraRemoteControl::clearPropertyError()
{
    if (m_propertyError.isEmpty())
        return;
    // Only our own text goes; an error of the live view stays.
    if (fraLiveView->lblErrorMsg->text() == m_propertyError)
        fraLiveView->ShowError(QString());
    m_propertyError.clear();
}

void TfraRemoteControl::rereadCamera()
{
    TCamera* camera = Camera();
    if (!camera)
        return;
    const QPointer<TfraRemoteControl> self(this);
    camera->Remote.Params.RefreshAll();
    if (self && !m_updating)
        SetValue();
}

void TfraRemoteControl::choiceChange(QComboBox* choice)
{
    const TChoiceRow* row = choiceRow(this, choice);
    if (!row || !mayChange())
        return;
    const QString handler = QString::fromLatin1(row->Handler);
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(handler);
    const bool bulb = m_liveBulbMode;
    const bool time = m_liveTimeMode;
    if (choice == cbxAperture)
        m_lastApertureIndex = choice->currentIndex();
    else if (row->After == TAfterPick::ReloadOnLongExposure)
        deriveLongExposureModes();
    SetParamValue(QString::fromLatin1(row->Property), choice);
    if (!self)
        return;
    bool reload = row->After == TAfterPick::Reload;
    switch (row->After) {
    case TAfterPick::ReloadOnLongExposure:
        reload = bulb != m_liveBulbMode || time != m_liveTimeMode;
        break;
    case TAfterPick::DriveMode:
        deriveSequentialMode();
        updateSelfTimerChoice();
        ActivateControls();
        break;
    case TAfterPick::MovieQuality:
        if (const TCameraParam* quality = param(QStringLiteral("qualitymovie")))
            fraLiveView->lblMovieQuality->setText(quality->Value);
        break;
    case TAfterPick::Nothing:
    case TAfterPick::Reload:
        break;
    }
    if (reload) {
        if (Camera())
            Camera()->Remote.Params.RefreshAll();
        if (!self)
            return;
        SetValue();
    }
    endCommunication(handler);
}

void TfraRemoteControl::SetColorPhase()
{
    if (!mayChange())
        return;
    const THueSnap snap = SnapHue(cpiColorPhase->Hue());
    cpiColorPhase->SetHue(snap.Hue);
    beginCommunication(QStringLiteral("SetColorPhase"));
    SetParamValue(QStringLiteral("colorphase"), snap.Step);
    endCommunication(QStringLiteral("SetColorPhase"));
}

// ---- -/+ buttons ------------------------------------------------------------------------------

void TfraRemoteControl::stepChoice(QComboBox* choice, int step)
{
    const int selected = choice->currentIndex();
    int index = selected + step;
    // The aperture steps on from the last pick when the lens limits took the selection away.
    if (choice == cbxAperture)
        index = step < 0 ? ApertureDownIndex(selected, m_lastApertureIndex)
                         : ApertureUpIndex(selected, choice->count(), m_lastApertureIndex);
    if (index < 0 || index >= choice->count())
        return;
    {
        const QSignalBlocker blocker(choice);
        choice->setCurrentIndex(index);
    }
    choiceChange(choice);
}

// ---- touch, picture, zoom ---------------------------------------------------------------------

void TfraRemoteControl::btnTouchModeClick()
{
    if (!isConnected())
        return;
    const QPointer<TfraRemoteControl> self(this);
    beginCommunication(QStringLiteral("btnTouchModeClick"));
    if (m_touchState == 0)
        m_touchState = 1;
    else if (m_touchState == 1)
        m_touchState = 0;
    else {
        TReleaseAFFrameAction& release = Camera()->Remote.ReleaseAFFrame;
        if (!release.Enabled)
            m_touchState = 0;
        else if (release.Execute() && self)
            m_touchState = 0;
        if (!self)
            return;
    }
    updateTouchGlyph();
    endCommunication(QStringLiteral("btnTouchModeClick"));
}

void TfraRemoteControl::btnZoomPress(quint8 move)
{
    if (!mayChange() || !Camera()->Remote.CtrlZoom.Enabled)
        return;
    Camera()->Remote.CtrlZoom.Zoom(move);
}

void TfraRemoteControl::btnZoomRelease()
{
    if (!mayChange() || !Camera()->Remote.CtrlZoom.Enabled)
        return;
    Camera()->Remote.CtrlZoom.Zoom(TCtrlZoomAction::Off);
}

// ---- pages and toggles ------------------------------------------------------------------------

void TfraRemoteControl::btnNextParamsClick()
{
    pcCameraProperties->setCurrentIndex(
        qMin(pcCameraProperties->currentIndex() + 1, pcCameraProperties->count() - 1));
    updatePageButtons();
}

void TfraRemoteControl::btnPrevParamsClick()
{
    pcCameraProperties->setCurrentIndex(qMax(pcCameraProperties->currentIndex() - 1, 0));
    updatePageButtons();
}

void TfraRemoteControl::btnAutoPreviewClick()
{
    m_autoPreview = !m_autoPreview;
    updateAutoButtons();
    if (m_setup) {
        m_setup->AutoPreview = m_autoPreview;
        m_setup->Save();
    }
}

void TfraRemoteControl::btnAutoDownloadClick()
{
    m_autoDownload = !m_autoDownload;
    updateAutoButtons();
    if (m_setup) {
        m_setup->AutoDownload = m_autoDownload;
        m_setup->Save();
    }
}

// ---- live view panel events -------------------------------------------------------------------

void TfraRemoteControl::OnBeforeImage(TfraLiveView*, bool& show)
{
    // The LRTimelapse mode shows the shots' record views instead; the frames still feed its measurement.
    show = !isTimeLapseLrt();
}

void TfraRemoteControl::OnAfterImage(TfraLiveView* sender)
{
    timeLapseAfterImage();
    const int lower = sender->ApertureLowerLimit();
    const int upper = sender->ApertureUpperLimit();
    if (lower > 0 && upper != NoUpperLimit
        && (lower != m_appliedLowerLimit || upper != m_appliedUpperLimit)) {
        m_appliedLowerLimit = lower;
        m_appliedUpperLimit = upper;
        if (TCameraParam* aperture = param(QStringLiteral("focalvalue"))) {
            aperture->MinLimit = lower;
            aperture->MaxLimit = upper;
        }
        // A refill is no user choice: the change handler stays quiet.
        const bool updating = m_updating;
        m_updating = true;
        FillChoice(cbxAperture, QStringLiteral("focalvalue"));
        m_updating = updating;
    }
}

void TfraRemoteControl::OnResized(TfraLiveView*, int width, int height)
{
    const int frame = 2 * sbxLiveView->frameWidth();
    QSize wanted(width + frame, height + frame);
    QWidget* main = window();
    if (main != this) {
        const QSize around = main->size() - size();
        const QSize needed = QSize(width, height) + m_pageMargin + around;
        if (!main->isMaximized() && (main->width() < needed.width() || main->height() < needed.height()))
            main->showMaximized();
    }
    // Never beyond what the parent offers; the scroll box scrolls the rest.
    if (QWidget* parent = parentWidget())
        wanted = wanted.boundedTo(parent->size() - (m_pageMargin - QSize(frame, frame)));
    sbxLiveView->setMinimumSize(wanted.expandedTo(QSize(0, 0)));
    // The side area reaches as far down as the live view, as long as the page is high enough.
    const int sideTop = pnlSide->y();
    const int sideHeight = qMin(height, this->height() - sideTop - kSideBottomGap);
    pnlSide->setFixedHeight(qMax(sideHeight, pnlSide->minimumSizeHint().height()));
}
