#pragma once

#include "camera/CameraEndpoints.h"
#include "camera/TBaseRemoteAction.h"
#include "camera/TCGIParam.h"

#include <QString>
#include <QStringList>

#include <functional>

// Switches the camera between playback, recording and shutter-only operation
// ("switch_cammode.cgi"); recording and one shutter-only mode carry a live view size.
class TCameraModeAction : public TBaseRemoteAction
{
public:
    // Camera modes; Mode is ModeNone until the first successful switch.
    enum : quint8 { ModeNone = 0, ModePlay = 1, ModeRec = 2, ModeShutter = 3, ModeShutterWithSize = 4 };
    // SupportedModes flags.
    enum : quint8 { FlagPlay = 2, FlagRec = 4, FlagShutter = 8, FlagShutterWithSize = 16 };

    explicit TCameraModeAction(TCameraLink link, const QString& cgiName = QStringLiteral("switch_cammode"));

    quint8 SupportedModes = 0;
    quint8 Mode = ModeNone;
    QString LiveViewSize; // of the last switch, such as "0640x0480"
    qint32 LiveViewWidth = 0; // parsed from LiveViewSize; 0 when it does not parse
    qint32 LiveViewHeight = 0;
    // The live view size the user chose in the settings; SwitchToMode prefers it when offered.
    std::function<QString()> LiveViewSizeSetting;
    // Pause between leaving one recording mode through playback and entering the other; the camera
    // needs it to settle.
    int SwitchPauseMs = Timeout::ModeSwitchPause;

    // The sizes the camera offers (the base's Values) and their captions (its Texts), same order.
    QStringList& LiveViewSizes() { return Values; }
    const QStringList& LiveViewSizes() const { return Values; }
    QStringList& LiveViewSizeTexts() { return Texts; }
    const QStringList& LiveViewSizeTexts() const { return Texts; }

    void Reset() override;
    bool Probe(const TCGIFunction& function) override;
    // Repeats the last switch; playback when there was none.
    bool Execute() override;

    // False without a request when the action is disabled, the mode is unknown or the size is not
    // one the camera offers (modes 2 and 4).
    bool SwitchMode(quint8 mode, const QString& size);
    // SwitchMode with the size from the settings when the camera offers it, else the camera's first.
    bool SwitchToMode(quint8 mode);
    // A caption ("640 x 480") or size to a size the camera offers; its last size when it offers
    // others only.
    QString ResolveSize(const QString& captionOrSize) const;

private:
    void addSizes(const TCGIParams& valueParams);
    static TCameraRequest request(const QString& url);
};
