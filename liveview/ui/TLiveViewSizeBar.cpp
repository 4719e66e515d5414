#include "liveview/ui/TLiveViewSizeBar.h"

#include "liveview/TLiveViewControl.h"
#include "liveview/TLiveViewSizeChange.h"

#include <QComboBox>
#include <QHBoxLayout>

TLiveViewSizeBar::TLiveViewSizeBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlLVControl"));
    auto* controls = new QHBoxLayout(this);
    controls->setContentsMargins(0, 0, 0, 0);
    cbxLVMagnifier = new QComboBox(this);
    cbxLVMagnifier->setObjectName(QStringLiteral("cbxLVMagnifier"));
    cbxLVMagnifier->addItems(
        { QStringLiteral("1x"), QStringLiteral("2x"), QStringLiteral("3x"), QStringLiteral("4x") });
    cbxLVResolution = new QComboBox(this);
    cbxLVResolution->setObjectName(QStringLiteral("cbxLVResolution"));
    controls->addWidget(cbxLVMagnifier);
    controls->addWidget(cbxLVResolution);
    connect(cbxLVMagnifier, &QComboBox::activated, this,
        [this](int index) { emit MagnificationChosen(index + 1); });
    connect(cbxLVResolution, &QComboBox::activated, this, &TLiveViewSizeBar::resolutionChosen);
}

void TLiveViewSizeBar::SetCamera(
    std::shared_ptr<TLiveViewControl> control, std::shared_ptr<TLiveViewSizeChange> change)
{
    m_control = std::move(control);
    m_change = std::move(change);
}

void TLiveViewSizeBar::FillResolutions(const QString& setting)
{
    m_filling = true;
    cbxLVResolution->clear();
    if (m_change) {
        cbxLVResolution->addItems(m_change->Choices());
        cbxLVResolution->setCurrentIndex(cbxLVResolution->findText(m_change->ChoiceOf(setting)));
    }
    m_filling = false;
}

void TLiveViewSizeBar::SelectMagnification(int factor)
{
    if (cbxLVMagnifier->currentIndex() != factor - 1)
        cbxLVMagnifier->setCurrentIndex(factor - 1);
}

void TLiveViewSizeBar::resolutionChosen(int index)
{
    // Shared: the change waits for the camera, meanwhile a page may hand over another camera.
    const std::shared_ptr<TLiveViewControl> control = m_control;
    const std::shared_ptr<TLiveViewSizeChange> change = m_change;
    if (m_filling || !change || index < 0)
        return;
    const quint8 mode = control->Mode();
    if ((mode == TLiveViewControl::ModeRecord || mode == TLiveViewControl::ModeShutter)
        && cbxLVMagnifier->currentIndex() > 0)
        emit MagnificationChosen(1);
    change->Change(cbxLVResolution->itemText(index));
    emit SizeChosen();
}
