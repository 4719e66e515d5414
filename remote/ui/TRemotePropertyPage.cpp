#include "remote/ui/TRemotePropertyPage.h"

#include "base/ui/PhotoImportLook.h"
#include "remote/TRemoteControl.h"
#include "remote/ui/TColorPhasePicker.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

using RemotePropertyTable::TPage;

namespace {

constexpr int kStepButtonWidth = 26;

QToolButton* stepButton(const char* name, const QString& caption, QWidget* parent)
{
    if (!name)
        return nullptr;
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setFixedWidth(kStepButtonWidth);
    return button;
}

QComboBox* choiceBox(const char* name, QWidget* parent)
{
    auto* choice = new QComboBox(parent);
    choice->setObjectName(QString::fromLatin1(name));
    choice->setMinimumWidth(80);
    choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    choice->setMinimumContentsLength(6);
    return choice;
}

} // namespace

TRemotePropertyPage::TRemotePropertyPage(TPage which, const char* name, const QString& title, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setAccessibleName(title);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    for (const RemotePropertyTable::TRow& row : RemotePropertyTable::Rows())
        if (row.Page == which)
            m_rows.push_back(
                { &row, choiceBox(row.Choice, this), stepButton(row.DownButton, QStringLiteral("-"), this),
                    stepButton(row.UpButton, QStringLiteral("+"), this) });
    QComboBox* programMode = Choice(QStringLiteral("takemode"));
    QComboBox* driveMode = Choice(QStringLiteral("drivemode"));
    if (driveMode) {
        SelfTimer = new QComboBox(this);
        SelfTimer->setObjectName(QStringLiteral("cbxSelfTimer"));
        SelfTimer->addItems({ QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"),
            QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("12") });
        SelfTimer->setCurrentIndex(0);
        SelfTimer->setFixedWidth(2 * kStepButtonWidth + 20);
        SelfTimer->hide();
    }

    int line = 0;
    for (const TChoiceRow& row : m_rows) {
        // Rows without a caption of their own show on the program mode's line, left of it.
        if (!row.Row->CaptionText) {
            row.Choice->hide();
            continue;
        }
        QLabel* caption = PhotoImportLook::Label(
            QString::fromLatin1(row.Row->Caption), QString::fromUtf8(row.Row->CaptionText), this);
        caption->setTextFormat(Qt::PlainText);
        grid->addWidget(caption, line, 0);
        if (row.Choice == programMode || row.Choice == driveMode) {
            auto* beside = new QHBoxLayout;
            beside->setSpacing(row.Choice == programMode ? 10 : 6);
            if (row.Choice == programMode) {
                // Filter names are long, program modes short.
                beside->addWidget(Choice(QStringLiteral("artfilter")), 3);
                beside->addWidget(Choice(QStringLiteral("exposemovie")), 3);
                beside->addWidget(programMode, 2);
            } else {
                beside->addWidget(driveMode, 1);
                beside->addWidget(SelfTimer);
            }
            grid->addLayout(beside, line++, 1, 1, 3);
        } else if (row.Down) {
            grid->addWidget(row.Choice, line, 1);
            grid->addWidget(row.Down, line, 2);
            grid->addWidget(row.Up, line++, 3);
        } else {
            grid->addWidget(row.Choice, line++, 1, 1, which == TPage::General ? 3 : 1);
        }
        if (QLatin1String(row.Row->Property) == QLatin1String("wbvalue")) {
            ColorPhase = new TColorPhasePicker(this);
            ColorPhase->SetHue(120);
            ColorPhase->hide();
            grid->addWidget(ColorPhase, line++, 1, 1, 3);
        }
    }
    grid->setRowStretch(line, 1);
    for (const TChoiceRow& row : m_rows) {
        QComboBox* choice = row.Choice;
        connect(choice, &QComboBox::activated, this, [this, choice](int) { emit Picked(choice); });
        if (!row.Down)
            continue;
        const int down = row.Row->DownStep;
        connect(row.Down, &QToolButton::clicked, this, [this, choice, down] { emit Stepped(choice, down); });
        connect(row.Up, &QToolButton::clicked, this, [this, choice, down] { emit Stepped(choice, -down); });
    }
    // The self-timer's seconds go with the drive mode.
    if (SelfTimer)
        connect(SelfTimer, &QComboBox::activated, this, [this, driveMode](int) { emit Picked(driveMode); });
}

const TRemotePropertyPage::TChoiceRow* TRemotePropertyPage::RowOf(const QComboBox* choice) const
{
    for (const TChoiceRow& row : m_rows)
        if (row.Choice == choice)
            return &row;
    return nullptr;
}

void TRemotePropertyPage::Fill(const TRemoteControl& control)
{
    for (const TChoiceRow& row : m_rows) {
        const QString property = QString::fromLatin1(row.Row->Property);
        FillChoice(row.Choice, control.Choices(property), control.CurrentIndex(property));
    }
}

void TRemotePropertyPage::FillChoice(QComboBox* choice, const QStringList& values, int current)
{
    const QSignalBlocker blocker(choice);
    choice->clear();
    choice->addItems(values);
    choice->setCurrentIndex(current);
}

void TRemotePropertyPage::Enable(QList<bool>::const_iterator& next)
{
    for (const TChoiceRow& row : m_rows) {
        const bool enabled = *next++;
        row.Choice->setEnabled(enabled);
        // The lists beside the program mode show only when usable.
        if (row.Row->Rule != RemotePropertyTable::TModeRule::ByMode)
            row.Choice->setVisible(enabled);
        if (row.Down) {
            row.Down->setEnabled(enabled);
            row.Up->setEnabled(enabled);
        }
        if (SelfTimer && row.Choice == Choice(QStringLiteral("drivemode")))
            SelfTimer->setEnabled(enabled);
    }
}

QComboBox* TRemotePropertyPage::Choice(const QString& property) const
{
    for (const TChoiceRow& row : m_rows)
        if (property == QLatin1String(row.Row->Property))
            return row.Choice;
    return nullptr;
}
