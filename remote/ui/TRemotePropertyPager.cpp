#include "remote/ui/TRemotePropertyPager.h"

#include "base/ui/DarkStyle.h"
#include "base/ui/PhotoImportLook.h"
#include "remote/ui/RemoteControlLook.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* pageButton(const char* name, int glyph, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFixedSize(22, 22);
    button->setIconSize(QSize(16, 16));
    button->setIcon(QIcon(RemoteControlLook::SmallGlyph(glyph, DarkStyle::Text())));
    return button;
}

} // namespace

TRemotePropertyPager::TRemotePropertyPager(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* head = new QHBoxLayout;
    lblCameraPropertiesTitel = PhotoImportLook::TitleLabel(
        QStringLiteral("lblCameraPropertiesTitel"), QStringLiteral("Kameraparameter"), this);
    btnPrevParams = pageButton("btnPrevParams", 13, this);
    btnNextParams = pageButton("btnNextParams", 14, this);
    head->addWidget(lblCameraPropertiesTitel, 1);
    head->addWidget(btnPrevParams);
    head->addWidget(btnNextParams);
    layout->addLayout(head);
    pcCameraProperties = new QStackedWidget(this);
    pcCameraProperties->setObjectName(QStringLiteral("pcCameraProperties"));
    layout->addWidget(pcCameraProperties, 1);
    connect(btnNextParams, &QToolButton::clicked, this, [this] { btnNextParamsClick(); });
    connect(btnPrevParams, &QToolButton::clicked, this, [this] { btnPrevParamsClick(); });
    updatePageButtons();
}

void TRemotePropertyPager::AddPage(QWidget* page)
{
    pcCameraProperties->addWidget(page);
    updatePageButtons();
}

void TRemotePropertyPager::ShowFirstPage()
{
    pcCameraProperties->setCurrentIndex(0);
    updatePageButtons();
}

void TRemotePropertyPager::updatePageButtons()
{
    const int index = pcCameraProperties->currentIndex();
    btnNextParams->setVisible(index < pcCameraProperties->count() - 1);
    btnPrevParams->setVisible(index > 0);
}

void TRemotePropertyPager::btnNextParamsClick()
{
    pcCameraProperties->setCurrentIndex(
        qMin(pcCameraProperties->currentIndex() + 1, pcCameraProperties->count() - 1));
    updatePageButtons();
}

void TRemotePropertyPager::btnPrevParamsClick()
{
    pcCameraProperties->setCurrentIndex(qMax(pcCameraProperties->currentIndex() - 1, 0));
    updatePageButtons();
}
