#pragma once

#include "camera/TBaseRemoteAction.h"

// Drives a power zoom lens ("exec_takemisc.cgi?com=ctrlzoom&move=...").
class TCtrlZoomAction : public TBaseRemoteAction
{
public:
    enum : quint8 { Off = 1, WideMove = 2, WideTerm = 3, TeleMove = 4, TeleTerm = 5 };

    explicit TCtrlZoomAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemisc"));

    quint8 LastMove = 0; // of the last successful request

    void Reset() override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute() override; // Zoom(Off): stops a moving zoom

    // False without a request while disabled or for a move outside 1 to 5.
    bool Zoom(quint8 move);
};
