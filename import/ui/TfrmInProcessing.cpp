#include "import/ui/TfrmInProcessing.h"

#include "base/TLogger.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "base/ui/DarkStyle.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <optional>

TfrmInProcessing::TfrmInProcessing(const TSetup* setup, QWidget* parent)
    : TTranslationForm(parent, Qt::Widget)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("frmInProcessing"));
    // The see-through grey is painted here; a filled background would hide what it must leave visible.
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    hide();
    if (parent)
        parent->installEventFilter(this);

    lblInProcessing = new QLabel(QStringLiteral("Verarbeitung läuft"), this);
    lblInProcessing->setObjectName(QStringLiteral("lblInProcessing"));
    QFont font = lblInProcessing->font();
    font.setPixelSize(27);
    font.setBold(true);
    lblInProcessing->setFont(font);
    lblInProcessing->setAlignment(Qt::AlignCenter);
    lblInProcessing->setWordWrap(true);
    DarkStyle::SetTextColor(lblInProcessing, DarkStyle::Text());

    lblActivity = new QLabel(this);
    lblActivity->setObjectName(QStringLiteral("lblActivity"));
    lblActivity->setAlignment(Qt::AlignCenter);
    lblActivity->setWordWrap(true);
    DarkStyle::SetTextColor(lblActivity, DarkStyle::Active());
    lblActivity->hide();

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

    if (QWidget* main = parentWidget())
        setGeometry(main->rect());

    lblInProcessing->setText(rs("_rsInProcessing"));
    lblClose->setVisible(m_setup && m_setup->DebugMode);

    addAreaRect(areaRect);
    RedesignForm();
    m_dots = 0;
    tmrProgress.start(500);
    show();
    raise();
    // Keys must not reach the controls under the cover either.
    setFocus(Qt::OtherFocusReason);
}

void TfrmInProcessing::SetActivity(const QString& caption, const QString& detail)
{
    QString text = caption;
    if (!detail.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + detail;
    lblActivity->setText(text);
    if (isVisible())
        placeLabels();
}

void TfrmInProcessing::Hide()
{
    m_freeRegions.clear();
    m_closable = true;
    tmrProgress.stop();
    lblActivity->clear();
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
    // The cover sits at the main window's origin, so its coordinates are the main window's.
    m_ownRegion = !areaRect.isEmpty();
    if (m_ownRegion)
        m_freeRegions.append(areaRect);
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
    placeLabels();
    update();
}

std::optional<QPoint> TfrmInProcessing::freeSpot(const QSize& box) const
{
    const auto clear = [this](const QRect& candidate) {
        if (!rect().contains(candidate))
            return false;
        for (const QRect& free : m_freeRegions)
            if (free.intersects(candidate.adjusted(-4, -4, 4, 4)))
                return false;
        return true;
    };
    // Nearest the middle first, row by row outwards; across, the middle, then further out to either
    // edge.
    const QPoint centre((width() - box.width()) / 2, (height() - box.height()) / 2);
    const int w = width();
    const int across[] = { 0, -w / 8, w / 8, -w / 4, w / 4, -3 * w / 8, 3 * w / 8, 12 - centre.x(),
        w - box.width() - 12 - centre.x() };
    for (int step = 0; step <= height(); step += 12)
        for (int dy : { step, -step })
            for (int dx : across)
                if (clear(QRect(centre + QPoint(dx, dy), box)))
                    return centre + QPoint(dx, dy);
    return std::nullopt;
}

void TfrmInProcessing::placeLabels()
{
    lblClose->adjustSize();
    lblClose->move(width() - lblClose->width() - 12, 8);

    // The caption goes in the middle, or, when a page keeps areas free (the live view and the take
    // button during a series or a long exposure), to the place nearest the middle that no free region
    // touches, wrapped onto more lines where a narrow place is all there is. Measured with all its
    // dots, so the running dots do not move it.
    const QString widest = rs("_rsInProcessing") + QStringLiteral("...");
    const int natural = lblInProcessing->fontMetrics().horizontalAdvance(widest) + 8;
    const bool hasActivity = !lblActivity->text().isEmpty();
    const int gap = 6;
    for (int boxWidth : { natural, std::min(natural, 360), std::min(natural, 240) }) {
        boxWidth = qBound(1, boxWidth, qMax(1, width() - 24));
        const int captionHeight = lblInProcessing->heightForWidth(boxWidth);
        const int activityHeight = hasActivity ? lblActivity->heightForWidth(boxWidth) : 0;
        const QSize box(boxWidth, captionHeight + (hasActivity ? gap + activityHeight : 0));
        const std::optional<QPoint> spot = freeSpot(box);
        if (!spot)
            continue;
        lblInProcessing->setGeometry(QRect(*spot, QSize(boxWidth, captionHeight)));
        lblActivity->setGeometry(spot->x(), spot->y() + captionHeight + gap, boxWidth, activityHeight);
        lblInProcessing->show();
        lblActivity->setVisible(hasActivity);
        return;
    }
    lblInProcessing->hide();
    lblActivity->hide();
}

void TfrmInProcessing::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    // #474747 at 200 of 255, blended over the window's own contents.
    QColor cover = DarkStyle::Control();
    cover.setAlpha(200);
    QPainter(this).fillRect(rect(), cover);
}

void TfrmInProcessing::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

bool TfrmInProcessing::focusNextPrevChild(bool next)
{
    Q_UNUSED(next);
    return true;
}

void TfrmInProcessing::tmrProgressTimer()
{
    lblInProcessing->setText(rs("_rsInProcessing") + QString(m_dots, QLatin1Char('.')));
    m_dots = (m_dots + 1) % 4;
    placeLabels();
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
    RedesignForm();
}

bool TfrmInProcessing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        setGeometry(parentWidget()->rect());
    if (watched == lblClose && event->type() == QEvent::MouseButtonRelease) {
        m_closable = true;
        close();
        return true;
    }
    return TTranslationForm::eventFilter(watched, event);
}
