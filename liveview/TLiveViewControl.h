#pragma once

#include <QSize>
#include <QString>

#include <functional>

class TCameraModeAction;
class TLiveViewAction;
class TLiveViewProcessor;
class TReleaseViewAction;
class TBaseLiveViewAction;

// How the live view panel starts and stops live view, without the panel: switch the camera
// through playback into recording (mode 2) or shutter mode (mode 4) with the chosen live view size,
// then start the stream on the port; the error text the panel shows is kept here.
class TLiveViewControl
{
public:
    enum : quint8 { ModeRecord = 2, ModeShutter = 4 };

    // The actions belong to the camera's remote part and outlive this object. liveViewSize gives
    // the setting LiveViewSize (a caption such as "640 x 480" or a size code) at each start.
    TLiveViewControl(TCameraModeAction& cameraMode, TLiveViewAction& liveView,
        TReleaseViewAction& releaseView, std::function<QString()> liveViewSize);

    // Called after the mode switch with the live view size the camera now sends, so the picture
    // area can follow.
    std::function<void(qint32 width, qint32 height)> ResizeToLiveView;
    // Called whenever the error text changes; an empty text means the label is hidden.
    std::function<void(const QString& text)> OnShowError;

    // The start sequence for mode 2 or 4; false for any other mode, without an enabled mode switch,
    // when the camera refused the start or on an error.
    bool Start(quint8 mode, quint16 port);
    // The same with a size of its own (a caption such as "800 x 600" or a size code) instead of the
    // setting's.
    bool Start(quint8 mode, quint16 port, const QString& liveViewSize);
    // Stops the live view of the current mode if it was started; true when nothing had to be sent.
    bool Stop();

    // Trimmed; empty hides the label.
    void ShowError(const QString& text);
    QString ErrorText() const { return m_errorText; }
    bool ErrorVisible() const { return !m_errorText.isEmpty(); }

    // The kind last started (2 or 4; 0 before the first start) and the port passed with it.
    quint8 Mode() const { return m_mode; }
    quint16 Port() const { return m_port; }
    // The action of the current mode; nullptr before the first start.
    TBaseLiveViewAction* CurrentAction() const;
    // The camera confirmed the start of the current mode's live view and it was not stopped since.
    bool IsRunning() const;
    // The receiver of mode 4's live view for mode 4, of mode 2's otherwise.
    TLiveViewProcessor& Processor(quint8 mode) const;
    // The pictures' size in pixels as the camera was last switched; empty before a sized switch.
    QSize LiveViewSize() const;

private:
    // An exception in Start or Stop: logged and shown.
    void failed(const QString& operation, const QString& why);

    TCameraModeAction& m_cameraMode;
    TLiveViewAction& m_liveView;
    TReleaseViewAction& m_releaseView;
    std::function<QString()> m_liveViewSize;
    QString m_errorText;
    quint8 m_mode = 0;
    quint16 m_port = 0;
};
