#include "app/TStatusBar.h"

#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

namespace {

constexpr int kHeight = 28;

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QToolButton* makeButton(const QString& name, const QString& hint, const QString& icon, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(QIcon(QStringLiteral(":/shell/") + icon));
    button->setIconSize(QSize(18, 18));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TStatusBar::TStatusBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlStatus"));
    setFixedHeight(kHeight);
    DarkStyle::Apply(this, DarkStyle::Panel());
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 6, 0);
    row->setSpacing(6);
    lblConnection = makeLabel(QStringLiteral("lblConnection"), QStringLiteral("Status:"), this);
    lblConnectionState = makeLabel(QStringLiteral("lblConnectionState"), QStringLiteral("-"), this);
    row->addWidget(lblConnection);
    row->addWidget(lblConnectionState, 1);

    btnPowerOff = makeButton(QStringLiteral("btnPowerOff"), QStringLiteral("Kamera ausschalten"),
        QStringLiteral("poweroff.png"), this);
    btnSyncTime = makeButton(QStringLiteral("btnSyncTime"), QStringLiteral("Kamerazeit synchronisieren"),
        QStringLiteral("synctime.png"), this);
    btnSettings = makeButton(
        QStringLiteral("btnSettings"), QStringLiteral("Einstellungen"), QStringLiteral("settings.png"), this);
    btnInfo = makeButton(QStringLiteral("btnInfo"), QStringLiteral("Info"), QStringLiteral("info.png"), this);
    for (QToolButton* button : { btnPowerOff, btnSyncTime, btnSettings, btnInfo })
        row->addWidget(button);
}

void TStatusBar::ShowConnectionState(const QString& text, bool usable)
{
    lblConnectionState->setText(text);
    DarkStyle::SetTextColor(lblConnectionState, usable ? DarkStyle::Active() : DarkStyle::Warning());
}

void TStatusBar::SetConnection(int connection, const QString& modelName)
{
    m_connection = connection;
    m_modelName = modelName;
    m_answering = true;
}

void TStatusBar::ShowConnection(bool autoConnect, const QString& cameraWLanName)
{
    if (m_connection == 2) {
        const QString model = m_modelName.isEmpty() ? rs("_rsUnknownCamModel") : m_modelName;
        if (m_answering)
            ShowConnectionState(rs("_rsConnectedWith", { model }), true);
        else
            ShowConnectionState(rs("_rsCameraNotAnswering", { model }), false);
    } else if (m_connection == 1) {
        ShowConnectionState(rs("_rsUsePrivateConnection"), false);
    } else {
        ShowConnectionState(
            autoConnect ? rs("_rsTryToConnectWith", { cameraWLanName }) : rs("_rsEstablishConnection"),
            false);
    }
}
