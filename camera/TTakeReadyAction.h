#pragma once

#include "camera/TBaseRemoteAction.h"

#include <QPoint>
#include <QSize>

// Half-press: the camera focuses, at a point when one is given
// ("exec_takemotion.cgi?com=takeready[&point=...]").
class TTakeReadyAction : public TBaseRemoteAction
{
public:
    explicit TTakeReadyAction(TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemotion"));

    QString FocusResult; // "take" or "affocus" of the answer, whichever came last
    QPoint AFFramePoint;
    QSize AFFrameSize;

    void Reset() override;
    bool Probe(const TCGIFunction& function) override;
    bool Execute() override; // TakeReady

    // False without a request while disabled.
    bool TakeReady();
    // At a point of the live view picture when the camera takes one there, else as TakeReady.
    bool TakeReadyAt(int x, int y);
    bool IsReady() const;

private:
    bool request(const QString& query);

    bool m_withPoint = false;
};
