#include "remote/ui/TRemoteTimeLapsePanel.h"

#include "import/ui/PhotoImportLook.h"
#include "remote/ui/TfraTimeLapse.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
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
