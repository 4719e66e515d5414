#include "remote/ui/TRemoteShutterPanel.h"

#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "camera/TCameraParams.h"
#include "camera/TCtrlZoomAction.h"
#include "liveview/ui/TfraLiveView.h"
#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/RemoteControlLook.h"
#include "remote/ui/TRemotePanelHost.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kMargin = 8;
constexpr int kRecordButtonMs = 500;

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

TRemoteShutterPanel::TRemoteShutterPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("this"));
    DarkStyle::Apply(this, DarkStyle::Panel());
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(4);

    btnTake = glyphButton("btnTake", QStringLiteral("Aufnahme auslösen"), RemoteControlLook::LargeSize, this);
    btnTakeMovie = glyphButton(
        "btnTakeMovie", QStringLiteral("Aufnahme auslösen"), RemoteControlLook::LargeSize, this);
    btnTakeMovie->setIcon(QIcon(RemoteControlLook::LargeGlyph(3, DarkStyle::Text())));
    auto* take = new QHBoxLayout;
    take->addWidget(btnTake);
    take->addWidget(btnTakeMovie);
    layout->addLayout(take, 0, 0, 3, 1, Qt::AlignCenter);

    const int small = RemoteControlLook::SmallSize;
    btnTouchMode = glyphButton("btnTouchMode", QStringLiteral("Touchfunktion festlegen"), small, this);
    btnLastPreview
        = glyphButton("btnLastPreview", QStringLiteral("Letzte Aufnahme als Vorschau anzeigen"), small, this);
    btnLastPreview->setIcon(switchableGlyph(9));
    btnAutoPreview
        = glyphButton("btnAutoPreview", QStringLiteral("Vorschau automatisch anzeigen"), small, this);
    btnDownloadLastTake
        = glyphButton("btnDownloadLastTake", QStringLiteral("Letzte Aufnahme herunterladen"), small, this);
    btnDownloadLastTake->setIcon(switchableGlyph(10));
    btnAutoDownload
        = glyphButton("btnAutoDownload", QStringLiteral("Aufnahme automatisch herunterladen"), small, this);
    layout->addWidget(btnTouchMode, 0, 1);
    layout->addWidget(btnLastPreview, 0, 2);
    layout->addWidget(btnAutoPreview, 0, 3);
    layout->addWidget(btnDownloadLastTake, 1, 2);
    layout->addWidget(btnAutoDownload, 1, 3);

    // Zoom: W and T either side of the buttons, "Zoom" beneath.
    auto* zoom = new QGridLayout;
    zoom->setSpacing(2);
    lblZoomOut = fieldLabel("lblZoomOut", QStringLiteral("W"), this);
    lblZoomIn = fieldLabel("lblZoomIn", QStringLiteral("T"), this);
    lblZoom = fieldLabel("lblZoom", QStringLiteral("Zoom"), this);
    btnZoomOut = glyphButton("btnZoomOut", QString(), 20, this);
    btnZoomOut->setIcon(QIcon(RemoteControlLook::SmallGlyph(11, DarkStyle::Text())));
    btnZoomIn = glyphButton("btnZoomIn", QString(), 20, this);
    btnZoomIn->setIcon(QIcon(RemoteControlLook::SmallGlyph(12, DarkStyle::Text())));
    zoom->addWidget(lblZoomOut, 0, 0, Qt::AlignCenter);
    zoom->addWidget(lblZoomIn, 0, 1, Qt::AlignCenter);
    zoom->addWidget(btnZoomOut, 1, 0);
    zoom->addWidget(btnZoomIn, 1, 1);
    zoom->addWidget(lblZoom, 2, 0, 1, 2, Qt::AlignCenter);
    layout->addLayout(zoom, 0, 4, 3, 1, Qt::AlignTop);
    layout->setColumnStretch(5, 1);

    lblTimelapseStatus = fieldLabel("lblTimelapseStatus", QStringLiteral("Intervall"), this);
    lblTimelapseStatus->hide();
    layout->addWidget(lblTimelapseStatus, 2, 1, 1, 3);

    lblLastTakeInfo = fieldLabel("lblLastTakeInfo", QStringLiteral("-"), this);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setPointSizeF(lblLastTakeInfo->font().pointSizeF());
    lblLastTakeInfo->setFont(fixed);
    lblLastTakeInfo->setWordWrap(true);
    lblLastTakeInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for a JPEG and a RAW line, so the side area does not jump after a shot.
    lblLastTakeInfo->setMinimumHeight(2 * QFontMetrics(fixed).lineSpacing());
    layout->addWidget(lblLastTakeInfo, 3, 0, 1, 6);

    tmrRecordButton = new QTimer(this);
    connect(tmrRecordButton, &QTimer::timeout, this, [this] {
        m_movieState = m_movieState == 3 ? 4 : 3;
        btnTakeMovie->setIcon(QIcon(RemoteControlLook::LargeGlyph(m_movieState, DarkStyle::Text())));
    });
    connect(btnTouchMode, &QToolButton::clicked, this, [this] { btnTouchModeClick(); });
    connect(btnZoomOut, &QToolButton::pressed, this, [this] { btnZoomPress(TCtrlZoomAction::WideMove); });
    connect(btnZoomIn, &QToolButton::pressed, this, [this] { btnZoomPress(TCtrlZoomAction::TeleMove); });
    connect(btnZoomOut, &QToolButton::released, this, [this] { btnZoomRelease(); });
    connect(btnZoomIn, &QToolButton::released, this, [this] { btnZoomRelease(); });
    connect(btnAutoPreview, &QToolButton::clicked, this, [this] { btnAutoPreviewClick(); });
    connect(btnAutoDownload, &QToolButton::clicked, this, [this] { btnAutoDownloadClick(); });
    btnTake->show();
    btnTakeMovie->hide();
    updateAutoButtons();
}

void TRemoteShutterPanel::Bind(
    TRemotePanelHost* host, TRemoteControl* control, TShooting* shooting, TfraLiveView* liveView)
{
    m_host = host;
    m_control = control;
    m_shooting = shooting;
    m_liveView = liveView;
    UpdateTouchGlyph();
    connect(m_shooting, &TShooting::Progress, this, &TRemoteShutterPanel::shootingProgress);
    connect(m_shooting, &TShooting::BytesReceived, this, &TRemoteShutterPanel::shootingBytes);
    connect(m_shooting, &TShooting::SelfTimerCount, this, [this](int seconds) {
        QLabel* label = m_liveView->lblSelfTimerValue;
        label->setText(QString::number(seconds));
        label->adjustSize();
        if (const QWidget* picture = label->parentWidget())
            label->move((picture->width() - label->width()) / 2, label->y());
        if (seconds <= 0)
            label->hide();
    });
    connect(m_shooting, &TShooting::LiveTime, this,
        [this](const QString& text) { lblLastTakeInfo->setText(text); });
    connect(m_shooting, &TShooting::MovieTime, this,
        [this](const QString& text) { m_liveView->lblTimer->setText(text); });
}

void TRemoteShutterPanel::shootingProgress(
    const QString& title, const QString& detail, bool finished, int percent)
{
    m_progressTitle = title;
    m_progressFile = detail;
    m_progressBase = percent;
    m_progressShown = percent;
    m_host->ShowProgress(title, detail, finished, percent);
}

void TRemoteShutterPanel::shootingBytes(qint64 received, qint64 expected)
{
    // Within the running file's share, so a movie does not stand at one figure for minutes.
    const int count = m_shooting->LastTake().Count();
    const int step = count > 0 ? 100 / count : 100;
    if (expected <= 0 || received <= 0)
        return;
    const int percent = m_progressBase + int(qMin(received, expected) * step / expected);
    if (percent <= m_progressShown || percent >= m_progressBase + step)
        return;
    m_progressShown = percent;
    m_host->ShowProgress(m_progressTitle, m_progressFile, false, percent);
}

void TRemoteShutterPanel::SetSetup(TSetup* setup)
{
    m_setup = setup;
    m_autoPreview = setup && setup->AutoPreview;
    m_autoDownload = setup && setup->AutoDownload;
    updateAutoButtons();
}

void TRemoteShutterPanel::PlaceBelow(QWidget* panel)
{
    static_cast<QGridLayout*>(layout())->addWidget(panel, 4, 0, 1, 6);
}

void TRemoteShutterPanel::ShowTakeState(int state)
{
    btnTake->setIcon(QIcon(RemoteControlLook::LargeGlyph(state, DarkStyle::Text())));
}

void TRemoteShutterPanel::UpdateTouchGlyph()
{
    btnTouchMode->setIcon(QIcon(RemoteControlLook::SmallGlyph(m_control->TouchState(), DarkStyle::Text())));
}

void TRemoteShutterPanel::updateAutoButtons()
{
    btnAutoPreview->setIcon(
        QIcon(RemoteControlLook::SmallGlyph(7 + (m_autoPreview ? 1 : 0), DarkStyle::Text())));
    btnAutoDownload->setIcon(
        QIcon(RemoteControlLook::SmallGlyph(4 + (m_autoDownload ? 1 : 0), DarkStyle::Text())));
    btnLastPreview->setEnabled(!m_autoPreview);
    btnDownloadLastTake->setEnabled(!m_autoDownload);
}

void TRemoteShutterPanel::btnTouchModeClick()
{
    if (!m_control->IsConnected())
        return;
    const QPointer<TRemoteShutterPanel> self(this);
    m_host->BeginCommunication(QStringLiteral("btnTouchModeClick"));
    m_control->CycleTouch();
    if (!self)
        return;
    UpdateTouchGlyph();
    m_host->EndCommunication(QStringLiteral("btnTouchModeClick"));
}

void TRemoteShutterPanel::btnZoomPress(quint8 move)
{
    if (MayChange && MayChange())
        m_control->Zoom(move);
}

void TRemoteShutterPanel::btnZoomRelease()
{
    if (MayChange && MayChange())
        m_control->ZoomOff();
}

void TRemoteShutterPanel::btnAutoPreviewClick()
{
    m_autoPreview = !m_autoPreview;
    updateAutoButtons();
    if (m_setup) {
        m_setup->AutoPreview = m_autoPreview;
        m_setup->Save();
    }
}

void TRemoteShutterPanel::btnAutoDownloadClick()
{
    m_autoDownload = !m_autoDownload;
    updateAutoButtons();
    if (m_setup) {
        m_setup->AutoDownload = m_autoDownload;
        m_setup->Save();
    }
}

void TRemoteShutterPanel::ShowMovieMode(bool movie)
{
    btnTakeMovie->setVisible(movie);
    btnTake->setVisible(!movie);
    m_liveView->lblTimer->setText(QStringLiteral("00:00:00"));
    const TCameraParam* quality = m_control->Param(QStringLiteral("qualitymovie"));
    m_liveView->lblMovieQuality->setText(quality ? quality->Value : QString());
    m_liveView->lblTimer->setVisible(movie);
    m_liveView->lblMovieQuality->setVisible(movie);
}

void TRemoteShutterPanel::StopBlinking()
{
    tmrRecordButton->stop();
    m_movieState = 0;
}

void TRemoteShutterPanel::ShowShootingState(int takeState, bool movieMode)
{
    ShowTakeState(takeState);
    const bool recording = m_shooting->IsMovieRecording();
    if (recording && !tmrRecordButton->isActive()) {
        m_movieState = 3;
        tmrRecordButton->start(kRecordButtonMs);
    } else if (!recording) {
        tmrRecordButton->stop();
        m_movieState = 0;
    }
    btnTakeMovie->setIcon(
        QIcon(RemoteControlLook::LargeGlyph(recording ? m_movieState : 3, DarkStyle::Text())));
    if (recording != m_wasRecording) {
        m_wasRecording = recording;
        if (recording) {
            const TCameraParam* quality = m_control->Param(QStringLiteral("qualitymovie"));
            m_liveView->lblMovieQuality->setText(quality ? quality->Value : QString());
            m_liveView->lblTimer->show();
            m_liveView->lblMovieQuality->show();
        } else {
            m_liveView->lblTimer->setVisible(movieMode);
            m_liveView->lblMovieQuality->setVisible(movieMode);
        }
        emit RecordingChanged();
    }
    m_liveView->lblSelfTimerValue->setVisible(m_shooting->IsSelfTimerRunning());

    // The live-time clock owns the label while an exposure runs.
    if (!m_shooting->IsLiveTimeRunning()) {
        QString info = m_shooting->LastTakeInfo();
        if (info.isEmpty() && !m_shooting->LastFrameFile().isEmpty())
            info = QFileInfo(m_shooting->LastFrameFile()).fileName();
        lblLastTakeInfo->setText(info.isEmpty() ? QStringLiteral("-") : info);
    }
    m_liveView->SetRecordingFormats(m_shooting->IsJpeg(), m_shooting->IsRaw());
}
