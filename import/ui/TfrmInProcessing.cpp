#include "import/ui/TfrmInProcessing.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRegion>
#include <QScreen>

TfrmInProcessing::TfrmInProcessing(const TSetup* setup, QWidget* parent)
    : TTranslationForm(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("frmInProcessing"));
    DarkStyle::Apply(this, DarkStyle::Control());
    setWindowOpacity(200.0 / 255.0);

    lblInProcessing = new QLabel(QStringLiteral("Verarbeitung läuft"), this);
    lblInProcessing->setObjectName(QStringLiteral("lblInProcessing"));
    QFont font = lblInProcessing->font();
    font.setPixelSize(27);
    font.setBold(true);
    lblInProcessing->setFont(font);
    DarkStyle::SetTextColor(lblInProcessing, DarkStyle::Text());

    lblClose = new QLabel(QStringLiteral("Schließen  X"), this);
    lblClose->setObjectName(QStringLiteral("lblClose"));
    QFont closeFont = lblClose->font();
    closeFont.setBold(true);
    lblClose->setFont(closeFont);
    lblClose->setCursor(Qt::PointingHandCursor);
    lblClose->installEventFilter(this);
    lblClose->hide();

    tmrProgress.setInterval(500);
    connect(&tmrProgress, &QTimer::timeout, this, &TfrmInProcessing::tmrProgressTimer);

    TranslateForm();
}

TfrmInProcessing::~TfrmInProcessing()
{
    m_freeRegions.clear();
}

void TfrmInProcessing::trace(const QString& message) const
{
    if (m_setup && m_setup->DetailedLog)
        TLogger::LogTrace(message);
}

void TfrmInProcessing::Show(const QRect& areaRect)
{
    trace(QStringLiteral("TfrmInProcessing.Show"));
    m_closable = false;

    QWidget* main = parentWidget();
    QScreen* screen = main ? main->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect over = main ? main->geometry() : work;
    setGeometry(qMax(over.left(), 0), qMax(over.top(), 0), qMin(over.width(), work.width()),
        qMin(over.height(), work.height()));

    lblInProcessing->setText(rs("_rsInProcessing"));
    lblInProcessing->adjustSize();
    centreLabel();
    lblClose->setVisible(m_setup && m_setup->DebugMode);

    addAreaRect(areaRect);
    RedesignForm();
    m_dots = 0;
    tmrProgress.start(500);
    show();
    raise();
}

void TfrmInProcessing::Hide()
{
    m_freeRegions.clear();
    m_closable = true;
    tmrProgress.stop();
    close();
}

void TfrmInProcessing::SetFreeRegions(const QList<QRect>& rects, int highIndex, const QRect& areaRect)
{
    trace(QStringLiteral("TfrmInProcessing.SetFreeRegions"));
    m_freeRegions = rects.mid(0, qBound(0, highIndex + 1, int(rects.size())));
    addAreaRect(areaRect);
    RedesignForm();
}

void TfrmInProcessing::addAreaRect(const QRect& areaRect)
{
    m_ownRegion = !areaRect.isEmpty();
    if (!m_ownRegion)
        return;
    QRect area = areaRect;
    // A maximized main window may reach past the screen's edge, where the overlay does not go.
    if (QWidget* main = parentWidget(); main && main->isMaximized())
        area.translate(main->geometry().left(), main->geometry().top());
    m_freeRegions.append(area);
}

void TfrmInProcessing::RedesignForm()
{
    trace(QStringLiteral("TfrmInProcessing.RedesignForm: %1").arg(m_freeRegions.size()));
    QRegion shape(rect());
    for (const QRect& free : m_freeRegions)
        shape -= QRegion(free);
    // An empty mask would mean no mask at all, the overlay covering everything it should free.
    setMask(shape.isEmpty() ? QRegion(-1, -1, 1, 1) : shape);
    trace(QStringLiteral("TfrmInProcessing.RedesignForm: erledigt"));
    lblInProcessing->setVisible(m_freeRegions.isEmpty() || (m_ownRegion && m_freeRegions.size() == 1));
}

void TfrmInProcessing::centreLabel()
{
    lblInProcessing->move(
        (width() - lblInProcessing->width()) / 2, (height() - lblInProcessing->height()) / 2);
    lblClose->adjustSize();
    lblClose->move(width() - lblClose->width() - 12, 8);
}

void TfrmInProcessing::tmrProgressTimer()
{
    lblInProcessing->setText(rs("_rsInProcessing") + QString(m_dots, QLatin1Char('.')));
    lblInProcessing->adjustSize();
    m_dots = (m_dots + 1) % 4;
}

void TfrmInProcessing::closeEvent(QCloseEvent* event)
{
    if (!m_closable) {
        event->ignore();
        return;
    }
    tmrProgress.stop();
    TTranslationForm::closeEvent(event);
}

void TfrmInProcessing::resizeEvent(QResizeEvent* event)
{
    TTranslationForm::resizeEvent(event);
    trace(QStringLiteral("TfrmInProcessing.FormResize"));
    centreLabel();
    RedesignForm();
}

bool TfrmInProcessing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblClose && event->type() == QEvent::MouseButtonRelease) {
        m_closable = true;
        close();
        return true;
    }
    return TTranslationForm::eventFilter(watched, event);
}
