#pragma once

#include <QList>
#include <QPair>
#include <QString>

class TCameraParam;
class TCameraParams;

// Camera properties changed for a shot or a series and put back afterwards, in reverse order (the
// shutter speed before the take mode it needs). A reply lost while setting counts by what the
// camera holds when read again, so a value the camera took is put back too.
class TShotSettings
{
public:
    explicit TShotSettings(TCameraParams& params);
    // Puts back what is still changed.
    ~TShotSettings();
    TShotSettings(const TShotSettings&) = delete;
    TShotSettings& operator=(const TShotSettings&) = delete;

    // True when the camera holds value afterwards (also when it held it before).
    bool Set(const QString& property, const QString& value);
    // Puts back every changed property; true when the camera took them all.
    bool Restore();
    bool HasChanges() const { return !m_before.isEmpty(); }

private:
    TCameraParams& m_params;
    QList<QPair<TCameraParam*, QString>> m_before; // in the order they were set
};
