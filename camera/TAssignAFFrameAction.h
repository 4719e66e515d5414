#pragma once

#include "camera/TBaseRemoteAction.h"

#include <QPoint>
#include <QSize>

// Touch focus: sets the AF frame at a point of the live view picture
// ("exec_takemotion.cgi?com=assignafframe&point=...").
class TAssignAFFrameAction : public TBaseRemoteAction
{
public:
    explicit TAssignAFFrameAction(
        TCameraLink link, const QString& cgiName = QStringLiteral("exec_takemotion"));

    QString AFFocus; // "ok" when the camera focused there
    QPoint AFFramePoint;
    QSize AFFrameSize;

    void Reset() override;
    bool Probe(const TCGIFunction& function) override;
    // The last assigned point again; false before the first Assign.
    bool Execute() override;

    // x and y in live view coordinates. False without a request while disabled.
    bool Assign(int x, int y);

private:
    void clearResults();

    bool m_assigned = false;
    int m_x = 0;
    int m_y = 0;
};
