#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class TCameraModeAction;
class TLiveViewControl;
class TReleaseAFFrameAction;

// A new live view size, the same for the window's size choice and the command line: the camera
// takes a size only on its way from playback into a mode with live view, a live view that ran runs
// again at the new size, and the AF frame goes back to the camera, since its point was given in
// the pixels of the old size. Afterwards the size the camera was switched to can be read back.
class TLiveViewSizeChange
{
public:
    // The actions belong to the camera's remote part (or the command) and outlive this object.
    TLiveViewSizeChange(
        TLiveViewControl& control, TCameraModeAction& cameraMode, TReleaseAFFrameAction& releaseAFFrame);

    // The size code chosen, before the camera is asked; the window keeps it as its setting.
    std::function<void(const QString& size)> OnChosen;

    // "640x480", "640 x 480" or "0640x0480" to the camera's size code "0640x0480"; empty when the
    // text is no size.
    static QString SizeCode(const QString& text);

    // The captions the size choice offers: the camera's sizes without "320 x 240", which is too
    // small to work with.
    QStringList Choices() const;
    // The caption of the size a start takes for this setting (a caption or a size code); empty
    // when the camera offers none of them.
    QString ChoiceOf(const QString& setting) const;

    // A size chosen while the camera is in the control's mode: a live view that runs is stopped,
    // the size is kept (OnChosen), the AF frame is released and the live view that ran starts again
    // at the new size. False when the stop or the new start failed; ErrorText() tells why.
    bool Change(const QString& captionOrSize);
    // Into mode 2 (recording) or 4 (shutter with a size) at that size, through playback so that the
    // camera takes it, the AF frame released there; with a port the live view starts at it as well.
    // False when the camera did not switch or did not start live view.
    bool Enter(quint8 mode, const QString& captionOrSize, int port = -1);

    // The size code asked for last; the one the camera was switched to; its pixels.
    QString Requested() const { return m_requested; }
    QString Sent() const;
    QSize Pixels() const;
    // The camera does not offer the size asked for and sends another.
    bool Substituted() const;
    QString ErrorText() const { return m_errorText; }

private:
    void releaseAFFrame();
    // Notes the size asked for; the size the camera will send for it.
    QString resolve(const QString& captionOrSize);

    TLiveViewControl& m_control;
    TCameraModeAction& m_cameraMode;
    TReleaseAFFrameAction& m_releaseAFFrame;
    QString m_requested;
    QString m_errorText;
};
