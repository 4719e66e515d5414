#include "liveview/ui/TLiveViewTopRow.h"

#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/ui/TKmExposureMeter.h"
#include "liveview/ui/TLiveViewScreen.h"
#include "liveview/ui/TfraViewGrid.h"

#include <QLabel>
#include <QToolButton>

#include <algorithm>

TLiveViewTopRow::TLiveViewTopRow(TLiveViewScreen& screen, QWidget* parent)
    : QWidget(parent)
    , m_screen(screen)
{
    const auto toggle = [this](const char* name) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setArrowType(Qt::DownArrow);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        return button;
    };
    lblHistogram = toggle("lblHistogram");
    lblGridLines = toggle("lblGridLines");
    connect(lblHistogram, &QToolButton::clicked, this, &TLiveViewTopRow::ToggleHistogram);
    connect(lblGridLines, &QToolButton::clicked, this, &TLiveViewTopRow::ToggleGridChooser);

    KmExposureMeter = new TKmExposureMeter(this);
    KmExposureMeter->setObjectName(QStringLiteral("KmExposureMeter"));
    KmExposureMeter->SetBarGraphWidth(140);
    KmExposureMeter->SetBarGraphHeight(14);
    KmExposureMeter->SetFullStopColor(QColor(153, 153, 131));
    KmExposureMeter->SetPartStopColor(QColor(101, 101, 82));
    KmExposureMeter->SetPositionColor(QColor(0, 255, 0));
    KmExposureMeter->SetShowScaleCaption(false);
    lblFocalLength = new QLabel(QStringLiteral("0 mm"), this);
    lblFocalLength->setObjectName(QStringLiteral("lblFocalLength"));
    DarkStyle::SetTextColor(lblFocalLength, DarkStyle::Text());
    lblFocalLength->setToolTip(QStringLiteral("Brennweite"));
    lblFocalLength->adjustSize();
    updateTexts();
    // The panel sits on more than one page, so its captions are named texts, not keys of one page.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, &TLiveViewTopRow::updateTexts);
}

void TLiveViewTopRow::updateTexts()
{
    lblHistogram->setText(rs("_rsHistogram"));
    lblHistogram->setToolTip(rs("_rsHistogramHint"));
    lblGridLines->setText(rs("_rsGridLines"));
    lblGridLines->setToolTip(rs("_rsGridLinesHint"));
    layoutRow();
}

void TLiveViewTopRow::ToggleHistogram()
{
    m_screen.ToggleHistogram();
    UpdateArrows();
}

void TLiveViewTopRow::ToggleGridChooser()
{
    m_screen.ToggleGridChooser();
    UpdateArrows();
}

void TLiveViewTopRow::UpdateArrows()
{
    lblHistogram->setArrowType(m_screen.ihgLiveView->isVisibleTo(&m_screen) ? Qt::UpArrow : Qt::DownArrow);
    lblGridLines->setArrowType(m_screen.fraViewGrid->isVisibleTo(&m_screen) ? Qt::UpArrow : Qt::DownArrow);
}

void TLiveViewTopRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutRow();
}

void TLiveViewTopRow::layoutRow()
{
    const int rowHeight = height();
    lblHistogram->setGeometry(8, 0, lblHistogram->sizeHint().width(), rowHeight);
    lblGridLines->setGeometry(
        lblHistogram->geometry().right() + 8, 0, lblGridLines->sizeHint().width(), rowHeight);
    lblFocalLength->adjustSize();
    lblFocalLength->move(width() - 8 - lblFocalLength->width(), (rowHeight - lblFocalLength->height()) / 2);
    // Centred, but never over the captions beside it when the picture is small.
    constexpr int meterWidth = 180;
    const int meterX = std::max(width() / 2 - meterWidth / 2, lblGridLines->geometry().right() + 8);
    KmExposureMeter->setGeometry(meterX, (rowHeight - 14) / 2, meterWidth, 14);
}
