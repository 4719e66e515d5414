#include "remote/ui/TRemoteTimeLapsePanel.h"

#include "base/TLanguageModule.h"
#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "remote/ui/TfraTimeLapse.h"
#include "remote/ui/TfraTimeLapseAdvanced.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

TRemoteTimeLapsePanel::TRemoteTimeLapsePanel(QLabel* status, QWidget* parent)
    : QWidget(parent)
    , m_status(status)
{
    setObjectName(QStringLiteral("tsTimelapse"));
    setAccessibleName(QStringLiteral("Intervallaufnahme"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* head = new QHBoxLayout;
    lblTimeLapse
        = PhotoImportLook::Label(QStringLiteral("lblTimeLapse"), QStringLiteral("Intervallaufnahme"), this);
    lblTimeLapse->setTextFormat(Qt::PlainText);
    swTimeLapse = new QCheckBox(this);
    swTimeLapse->setObjectName(QStringLiteral("swTimeLapse"));
    head->addWidget(lblTimeLapse, 1);
    head->addWidget(swTimeLapse);
    layout->addLayout(head);
    fraTimeLapse = new TfraTimeLapse(this);
    fraTimeLapse->setObjectName(QStringLiteral("fraTimeLapse"));
    // Named for the language files.
    fraTimeLapse->lblWaitTime->setObjectName(QStringLiteral("lblWaitTime"));
    fraTimeLapse->lblInterval->setObjectName(QStringLiteral("lblInterval"));
    fraTimeLapse->lblTakeCount->setObjectName(QStringLiteral("lblTakeCount"));
    layout->addWidget(fraTimeLapse, 1);

    m_advancedPage = new QWidget;
    m_advancedPage->setObjectName(QStringLiteral("tsTimeLapseAdvanced"));
    DarkStyle::Apply(m_advancedPage, DarkStyle::Panel());
    // The automatic modes make the panel taller than the side area: it scrolls rather than squeezes.
    auto* scroll = new QScrollArea(m_advancedPage);
    scroll->setObjectName(QStringLiteral("sbxTimeLapseAdvanced"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DarkStyle::Apply(scroll, DarkStyle::Panel());
    fraTimeLapseAdvanced = new TfraTimeLapseAdvanced;
    fraTimeLapseAdvanced->lblTimeLapseAdvancedTitle->setObjectName(
        QStringLiteral("lblTimeLapseAdvancedTitle"));
    fraTimeLapseAdvanced->lblTLReminderLeft->setObjectName(QStringLiteral("lblTLReminderLeft"));
    fraTimeLapseAdvanced->lblTLReminderRight->setObjectName(QStringLiteral("lblTLReminderRight"));
    scroll->setWidget(fraTimeLapseAdvanced);
    auto* advanced = new QVBoxLayout(m_advancedPage);
    advanced->setContentsMargins(0, 0, 0, 0);
    advanced->addWidget(scroll);
    // Its direction and correction texts are built in code.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(
            module, &TLanguageModule::languageChanged, fraTimeLapseAdvanced, &TfraTimeLapseAdvanced::Refresh);
    connect(swTimeLapse, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            swTimeLapseOn();
        else
            swTimeLapseOff();
    });
}

void TRemoteTimeLapsePanel::Enable(bool allowed)
{
    swTimeLapse->setEnabled(allowed);
    if (!allowed && swTimeLapse->isChecked())
        swTimeLapse->setChecked(false);
    if (!allowed)
        m_status->hide();
    fraTimeLapse->SetActive(allowed && swTimeLapse->isChecked());
}

void TRemoteTimeLapsePanel::swTimeLapseOn()
{
    fraTimeLapse->SetActive(true);
    m_status->show();
}

void TRemoteTimeLapsePanel::swTimeLapseOff()
{
    fraTimeLapse->SetActive(false);
    m_status->hide();
}

bool TRemoteTimeLapsePanel::IsOn() const
{
    return swTimeLapse->isChecked() && swTimeLapse->isEnabled();
}
