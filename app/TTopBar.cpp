#include "app/TTopBar.h"

#include "app/TMainPageTable.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/TElidingLabel.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHeight = 41;

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TTopBar::TTopBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlPageControl"));
    setFixedHeight(kHeight);
    DarkStyle::Apply(this, Qt::black);
    // The progress detail is small in the window's own font; everything else bold 16-pixel Tahoma.
    const QFont base = font();
    QFont bold = base;
    bold.setFamily(QStringLiteral("Tahoma"));
    bold.setPixelSize(16);
    bold.setBold(true);
    setFont(bold);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 14, 0);
    row->setSpacing(8);

    lblAppShortName = makeLabel(QStringLiteral("lblAppShortName"), QStringLiteral("Lm"), this);
    DarkStyle::SetTextColor(lblAppShortName, DarkStyle::Active());
    row->addWidget(lblAppShortName);

    pcTitle = new QStackedWidget(this);
    pcTitle->setObjectName(QStringLiteral("pcTitle"));
    tshTitle = new QWidget(pcTitle);
    tshTitle->setObjectName(QStringLiteral("tshTitle"));
    lblAppTitle = makeLabel(QStringLiteral("lblAppTitle"), QStringLiteral("Lumivar"), tshTitle);
    auto* titleRow = new QHBoxLayout(tshTitle);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->addWidget(lblAppTitle);
    pcTitle->addWidget(tshTitle);
    pcTitle->addWidget(createProgress(base));
    row->addWidget(pcTitle, 1);

    for (const TMainPageRow& row : MainPageTable()) {
        if (row.Button)
            addPageButton(QLatin1String(row.Button), QString::fromUtf8(row.Caption));
    }

    tmrProgress.setInterval(0);
    connect(&tmrProgress, &QTimer::timeout, this, [this] {
        tmrProgress.stop();
        ShowTitle();
    });
    pcTitle->setCurrentWidget(tshTitle);
}

QWidget* TTopBar::createProgress(const QFont& base)
{
    tshProgress = new QWidget(pcTitle);
    tshProgress->setObjectName(QStringLiteral("tshProgress"));
    QFont small = base;
    small.setPixelSize(11);
    // Cut with "…" where a long caption meets the page buttons: the bar must not widen the window.
    lblProgressCaption = new TElidingLabel(QStringLiteral("Vorgang"), tshProgress);
    lblProgressCaption->setObjectName(QStringLiteral("lblProgressCaption"));
    lblProgressDetail = new TElidingLabel(QStringLiteral("Status"), tshProgress);
    lblProgressDetail->setObjectName(QStringLiteral("lblProgressDetail"));
    // Some of the detail (the file being copied) stays readable beside a long caption.
    lblProgressDetail->setMinimumWidth(QFontMetrics(small).horizontalAdvance(QStringLiteral("PB200011.JPG")));
    lblProgressDetail->setFont(small);
    gauProgress = new QProgressBar(tshProgress);
    gauProgress->setObjectName(QStringLiteral("gauProgress"));
    gauProgress->setRange(0, 100);
    gauProgress->setTextVisible(false);
    gauProgress->setFixedHeight(6);
    auto* progress = new QVBoxLayout(tshProgress);
    progress->setContentsMargins(0, 2, 0, 2);
    progress->setSpacing(0);
    auto* captions = new QHBoxLayout;
    captions->setSpacing(12);
    captions->addWidget(lblProgressCaption);
    captions->addWidget(lblProgressDetail, 1);
    progress->addLayout(captions);
    progress->addWidget(gauProgress);
    return tshProgress;
}

QPushButton* TTopBar::addPageButton(const QString& name, const QString& caption)
{
    auto* row = static_cast<QHBoxLayout*>(layout());
    if (!m_pageButtons.isEmpty())
        row->addWidget(makeLabel(QString(), QStringLiteral("|"), this));
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    m_pageButtons.append(button);
    row->addWidget(button);
    return button;
}

QPushButton* TTopBar::PageButton(const char* name) const
{
    for (QPushButton* button : m_pageButtons) {
        if (name && button->objectName() == QLatin1String(name))
            return button;
    }
    return nullptr;
}

void TTopBar::ShowProgress(const QString& caption, const QString& detail, bool finished, int percent)
{
    lblProgressCaption->setText(caption);
    lblProgressDetail->setText(detail);
    gauProgress->setValue(qBound(0, percent, 100));
    pcTitle->setCurrentWidget(tshProgress);
    if (finished)
        tmrProgress.start(3000);
    else
        tmrProgress.stop();
}

void TTopBar::ShowTitle()
{
    pcTitle->setCurrentWidget(tshTitle);
}

void TTopBar::ColourButtons(QPushButton* active)
{
    for (QPushButton* button : m_pageButtons)
        DarkStyle::SetTextColor(button, button == active ? DarkStyle::Active() : DarkStyle::InactiveButton());
}
