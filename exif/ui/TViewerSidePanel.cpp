#include "exif/ui/TViewerSidePanel.h"

#include "base/ui/TElidingLabel.h"

#include "base/ui/DarkStyle.h"
#include "exif/ui/TKmPropertyList.h"
#include "exif/ui/TViewerNavigator.h"

#ifdef LUMIVAR_HAVE_HISTOGRAM
#include "base/ui/TKmImageHistogram.h"
#endif

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kHistogramPanelHeight = 174;

QFont tahoma(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

// A magnifier glass: the picture's own icon, drawn so the program needs no image file for it.
QPixmap magnifierIcon()
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(DarkStyle::Text(), 2));
    painter.drawEllipse(QRectF(2, 2, 11, 11));
    painter.setPen(QPen(DarkStyle::Text(), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(12, 12), QPointF(18, 18));
    return pixmap;
}

} // namespace

TViewerSidePanel::TViewerSidePanel(const TViewerPicture* picture, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlRight"));
    setFixedWidth(Width);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    plExifData = new TKmPropertyList(this);
    plExifData->setObjectName(QStringLiteral("plExifData"));
    TKmPropertyListItems* look = plExifData->Properties();
    look->SetItemHeight(14);
    look->SetSectionFont(tahoma(8, true));
    look->SetSectionFontColor(Qt::white);
    look->SetCaptionFont(tahoma(8, true));
    look->SetCaptionFontColor(DarkStyle::Text());
    look->SetValueFont(tahoma(8, false));
    look->SetValueFontColor(DarkStyle::Text());
    look->SetCaptionColor(DarkStyle::Control());
    look->SetValueColor(DarkStyle::Control());
    look->SetCaptionWidth(110);
    layout->addWidget(plExifData, 1);

    lblFileName = new TElidingLabel(QStringLiteral("Filename"), this);
    lblFileName->setObjectName(QStringLiteral("lblFileName"));
    lblFileName->setFont(tahoma(16, true));
    lblFileName->setCursor(Qt::PointingHandCursor);
    lblFileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lblFileName->installEventFilter(this);
    DarkStyle::SetTextColor(lblFileName, DarkStyle::Text());
    layout->addWidget(lblFileName);

    auto* tools = new QWidget(this);
    auto* toolsLayout = new QHBoxLayout(tools);
    toolsLayout->setContentsMargins(0, 0, 0, 0);
    pbxPreview = new TViewerNavigator(picture, tools);
    toolsLayout->addWidget(pbxPreview);
    toolsLayout->addLayout(createSwitches(tools), 1);
    layout->addWidget(tools);

#ifdef LUMIVAR_HAVE_HISTOGRAM
    auto* histogram = new TKmImageHistogram(this);
    histogram->SetMargin(7);
    histogram->SetHistogramWidth(128);
    histogram->SetHistogramHeight(75);
    histogram->SetHistogramColor(DarkStyle::Control());
    histogram->SetSummaryHistogram(HistogramCounter::shComposite);
    histogram->SetFastCalculation(false);
    ihgViewer = histogram;
#else
    ihgViewer = new QWidget(this);
#endif
    ihgViewer->setObjectName(QStringLiteral("ihgViewer"));
    ihgViewer->setFixedHeight(kHistogramPanelHeight);
    layout->addWidget(ihgViewer);
}

QLayout* TViewerSidePanel::createSwitches(QWidget* tools)
{
    auto* switches = new QVBoxLayout;
    imgMagnifier = new QLabel(tools);
    imgMagnifier->setObjectName(QStringLiteral("imgMagnifier"));
    imgMagnifier->setPixmap(magnifierIcon());
    imgMagnifier->setCursor(Qt::PointingHandCursor);
    imgMagnifier->installEventFilter(this);
    lblFocusInfo = clickLabel(tools, "lblFocusInfo", QStringLiteral("Fokusanzeige"));
    lblFocusInfo->setToolTip(QStringLiteral("Fokusanzeige einblenden/ausblenden"));
    lblOneToOne = clickLabel(tools, "lblOneToOne", QStringLiteral("1:1"));
    lblFitted = clickLabel(tools, "lblFitted", QStringLiteral("Eingepasst"));
    switches->addWidget(lblFocusInfo);
    auto* modes = new QHBoxLayout;
    modes->addWidget(imgMagnifier);
    modes->addWidget(lblOneToOne);
    modes->addWidget(lblFitted);
    modes->addStretch(1);
    switches->addLayout(modes);
    switches->addStretch(1);
    return switches;
}

QLabel* TViewerSidePanel::clickLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(tahoma(8, true));
    label->setMinimumHeight(label->sizeHint().height());
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    return label;
}

void TViewerSidePanel::ShowSwitches(bool oneToOne, bool focusDisplay)
{
    DarkStyle::SetTextColor(lblOneToOne, oneToOne ? DarkStyle::Active() : DarkStyle::Text());
    DarkStyle::SetTextColor(lblFitted, oneToOne ? DarkStyle::Text() : DarkStyle::Active());
    DarkStyle::SetTextColor(lblFocusInfo, focusDisplay ? DarkStyle::Active() : DarkStyle::Text());
}

void TViewerSidePanel::ClearHistogram()
{
#ifdef LUMIVAR_HAVE_HISTOGRAM
    static_cast<TKmImageHistogram*>(ihgViewer)->Clear();
#endif
}

void TViewerSidePanel::SetHistogramBitmap(const QImage& picture)
{
#ifdef LUMIVAR_HAVE_HISTOGRAM
    static_cast<TKmImageHistogram*>(ihgViewer)->SetBitmap(picture);
#else
    Q_UNUSED(picture);
#endif
}

bool TViewerSidePanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblFocusInfo) {
            emit FocusInfoClicked();
            return true;
        }
        if (watched == lblOneToOne || watched == lblFileName || watched == imgMagnifier) {
            emit OneToOneClicked();
            return true;
        }
        if (watched == lblFitted) {
            emit FittedClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TViewerSidePanel::FitToCaptions()
{
    // The caption takes three fifths of the row at most; the scroll bar needs its room beside it.
    const int needed = plExifData->Properties()->CaptionWidthNeeded() * 5 / 3 + 24;
    const int most = std::max(Width, window()->width() / 2);
    setFixedWidth(std::clamp(needed, Width, most));
}
