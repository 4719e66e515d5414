#pragma once

#include "camera/TDiagnosisRunner.h"

#include <QTimer>
#include <QWidget>

#include <memory>

class QLabel;

// The start page: camera and notebook with the link between them while the camera is connected,
// a blinking radio between them while the program waits for it, and below them why it waits. The pictures
// follow the page's size.
class TfraStartPage : public QWidget
{
    Q_OBJECT

public:
    explicit TfraStartPage(QWidget* parent = nullptr);
    ~TfraStartPage() override;

    // Finds out why the camera at that link does not answer whenever the camera is not usable.
    void SetDiagnosis(TDiagnosisRunner::LinkSource link);
    // The camera became usable (connected in private mode) or not: the diagnosis stops or runs.
    void CameraUsable(bool usable);

    // Connected: the link shows. Otherwise the radio blinks every second.
    void ShowConnected(bool connected);
    // The sentence under the pictures that says why the camera is not connected; empty hides it.
    void ShowAdvice(const QString& advice);
    // The radio stops blinking (another page is shown); it blinks again with ShowConnected(false).
    void StopBlinking() { tmrImageRadio.stop(); }

    QLabel* imgCamera;
    QLabel* imgNotebook;
    QLabel* imgConnection;
    QLabel* imgRadio;
    QLabel* lblAdvice;
    QTimer tmrImageRadio;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutPictures();
    void layoutAdvice();

    int m_devicesBottom = 0;
    // Why the camera is not connected; run after a failed check, not every tick.
    std::unique_ptr<TDiagnosisRunner> m_diagnosis;
    bool m_usable = false;
};
