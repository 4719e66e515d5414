#include "remote/ui/TfraTimeLapse.h"

#include "base/TSetup.h"

#include <QCheckBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include <cmath>
#include <functional>

namespace {

// A spin field that reports each button step (after it), showing two digits where asked.
class TTimeLapseSpin : public QSpinBox
{
public:
    TTimeLapseSpin(bool twoDigits, QWidget* parent)
        : QSpinBox(parent)
        , m_twoDigits(twoDigits)
    { }
    std::function<void(int steps)> OnStep;

    void stepBy(int steps) override
    {
        QSpinBox::stepBy(steps);
        if (OnStep)
            OnStep(steps);
    }

protected:
    QString textFromValue(int value) const override
    {
        return m_twoDigits ? QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'))
                           : QString::number(value);
    }

private:
    bool m_twoDigits;
};

} // namespace

TfraTimeLapse::TfraTimeLapse(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("fraTimeLapse"));
    struct FieldLayout
    {
        QSpinBox** target;
        const char* name;
        const char* hint;
        int maximum;
        int initial;
    };
    const FieldLayout fields[] = {
        { &seWaitHour, "seWaitHour", "Stunden", 23, 0 },
        { &seWaitMinute, "seWaitMinute", "Minuten", 59, 0 },
        { &seWaitSecond, "seWaitSecond", "Sekunden", 59, 1 },
        { &seIntervalHour, "seIntervalHour", "Stunden", 23, 0 },
        { &seIntervalMinute, "seIntervalMinute", "Minuten", 59, 0 },
        { &seIntervalSecond, "seIntervalSecond", "Sekunden", 59, 1 },
        { &seTakeCount, "seTakeCount", "Anzahl auszuführender Aufnahmen", 9999, 99 },
    };
    for (int i = 0; i < 7; ++i) {
        const int tag = i + 1;
        auto* spin = new TTimeLapseSpin(tag != 7, this);
        spin->setObjectName(QLatin1String(fields[i].name));
        spin->setToolTip(QString::fromUtf8(fields[i].hint));
        spin->setRange(0, fields[i].maximum);
        spin->setValue(fields[i].initial);
        spin->setWrapping(false);
        spin->setAlignment(Qt::AlignRight);
        spin->OnStep = [this, tag](int steps) {
            if (steps > 0)
                seTopClick(tag);
            else if (steps < 0)
                seBottomClick(tag);
        };
        *fields[i].target = spin;
        m_previous[size_t(tag)] = fields[i].initial;
    }
    lblWaitTime = new QLabel(QStringLiteral("Wartezeit bis Start"), this);
    lblInterval = new QLabel(QStringLiteral("Intervallzeit"), this);
    lblTakeCount = new QLabel(QStringLiteral("  Aufnahmeanzahl  "), this);
    // Underlined through its font: a style sheet on the label would leave it out of the palette, and
    // the dark palette's text colour with it.
    QFont underlined = lblTakeCount->font();
    underlined.setUnderline(true);
    lblTakeCount->setFont(underlined);
    chkDownloadEachShot
        = new QCheckBox(QStringLiteral("Jede Aufnahme während der Serie herunterladen"), this);
    chkDownloadEachShot->setObjectName(QStringLiteral("chkDownloadEachShot"));
    connect(chkDownloadEachShot, &QCheckBox::toggled, this, [this](bool on) {
        // Stored at once, like the page's automatic download: a series runs for hours.
        if (m_setup && m_setup->TimeLapseDownload != on) {
            m_setup->TimeLapseDownload = on;
            m_setup->Save();
        }
    });
    pnlFocus = new QWidget(this);
    pnlFocus->setObjectName(QStringLiteral("pnlFocus"));
    pnlFocus->setFixedSize(1, 1);
    pnlFocus->setFocusPolicy(Qt::StrongFocus);

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblWaitTime, 0, 0);
    grid->addWidget(seWaitHour, 0, 1);
    grid->addWidget(seWaitMinute, 0, 2);
    grid->addWidget(seWaitSecond, 0, 3);
    grid->addWidget(lblInterval, 1, 0);
    grid->addWidget(seIntervalHour, 1, 1);
    grid->addWidget(seIntervalMinute, 1, 2);
    grid->addWidget(seIntervalSecond, 1, 3);
    grid->addWidget(lblTakeCount, 2, 0);
    grid->addWidget(seTakeCount, 2, 1, 1, 3);
    grid->addWidget(chkDownloadEachShot, 3, 0, 1, 4);
    grid->addWidget(pnlFocus, 4, 0);
}

void TfraTimeLapse::SetSetup(TSetup* setup)
{
    m_setup = setup;
    if (setup)
        chkDownloadEachShot->setChecked(setup->TimeLapseDownload);
}

bool TfraTimeLapse::IsDownloadEachShot() const
{
    return chkDownloadEachShot->isChecked();
}

int TfraTimeLapse::WaitTimeInSeconds() const
{
    return seWaitHour->value() * 3600 + seWaitMinute->value() * 60 + seWaitSecond->value();
}

int TfraTimeLapse::IntervalTimeInSeconds() const
{
    return seIntervalHour->value() * 3600 + seIntervalMinute->value() * 60 + seIntervalSecond->value();
}

int TfraTimeLapse::TakeCount() const
{
    return seTakeCount->value();
}

void TfraTimeLapse::SetActive(bool active)
{
    setEnabled(active);
    for (int tag = 1; tag <= 7; ++tag)
        field(tag)->setEnabled(active);
}

QSpinBox* TfraTimeLapse::field(int tag) const
{
    switch (tag) {
    case 1:
        return seWaitHour;
    case 2:
        return seWaitMinute;
    case 3:
        return seWaitSecond;
    case 4:
        return seIntervalHour;
    case 5:
        return seIntervalMinute;
    case 6:
        return seIntervalSecond;
    default:
        return seTakeCount;
    }
}

void TfraTimeLapse::remember(int tag)
{
    m_previous[size_t(tag)] = field(tag)->value();
    // No caret in the field after a button click.
    if (pnlFocus->isVisible())
        pnlFocus->setFocus();
}

void TfraTimeLapse::seTopClick(int tag)
{
    if (tag < 1 || tag > 7)
        return;
    QSpinBox* spin = field(tag);
    // Already at the top before the click: round to the bottom.
    if (m_previous[size_t(tag)] == spin->maximum())
        spin->setValue(spin->minimum());
    remember(tag);
}

void TfraTimeLapse::seBottomClick(int tag)
{
    if (tag < 1 || tag > 7)
        return;
    QSpinBox* spin = field(tag);
    if (m_previous[size_t(tag)] == spin->minimum())
        spin->setValue(spin->maximum());
    remember(tag);
}
