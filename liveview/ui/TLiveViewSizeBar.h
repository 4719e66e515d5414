#pragma once

#include <QWidget>

#include <memory>

class QComboBox;
class TLiveViewControl;
class TLiveViewSizeChange;

// The live view panel's choices over the picture's top right corner: the magnifier (1x to 4x) and
// the live view size, which the size change applies at the camera.
class TLiveViewSizeBar : public QWidget
{
    Q_OBJECT

public:
    explicit TLiveViewSizeBar(QWidget* parent = nullptr);

    // The objects of the camera the panel was given; none without a camera.
    void SetCamera(std::shared_ptr<TLiveViewControl> control, std::shared_ptr<TLiveViewSizeChange> change);
    // The sizes the camera offers, the one the setting names (a caption or a size code) selected.
    void FillResolutions(const QString& setting);
    // Selects the factor's entry; the panel applies it.
    void SelectMagnification(int factor);

    QComboBox* cbxLVMagnifier = nullptr;
    QComboBox* cbxLVResolution = nullptr;

signals:
    // The user chose a factor, or a new size took the magnification back to 1.
    void MagnificationChosen(int factor);
    // A size was chosen and applied; the keyboard focus may move on.
    void SizeChosen();

private:
    void resolutionChosen(int index);

    std::shared_ptr<TLiveViewControl> m_control;
    std::shared_ptr<TLiveViewSizeChange> m_change;
    bool m_filling = false;
};
