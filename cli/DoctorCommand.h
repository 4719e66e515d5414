#pragma once

#include "CliCommand.h"

// doctor: finds out step by step why the camera cannot be reached and what to do about it.
class DoctorCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("doctor"); }
    QString synopsis() const override { return QStringLiteral("doctor"); }
    QString summary() const override { return QStringLiteral("diagnose the connection to the camera"); }
    int run(CliContext& context, const QStringList& arguments) override;
};
