#pragma once

#include "camera/TCameraLink.h"

#include <QList>
#include <QString>

#include <functional>

// Finds out why the camera cannot be reached, step by step, and stops at the first failure. Each
// step carries one sentence in German and English that tells the user what to do.
enum class TDoctorStep : quint8 { Name, Reach, Camera };

struct TDoctorResult
{
    TDoctorStep Step = TDoctorStep::Name;
    bool Ok = false;
    QString German;
    QString English;
};

class TConnectionDoctor
{
public:
    // Answers whether the host's name part resolves; the tests replace it so they never look up
    // a real name.
    using Resolver = std::function<bool(const QString& name)>;

    TConnectionDoctor(TCameraLink link, Resolver resolver = {});

    // The steps run so far; the last one failed unless all are ok.
    QList<TDoctorResult> run() const;
    static bool resolveWithSystem(const QString& name);

private:
    TCameraLink m_link;
    Resolver m_resolver;
};
