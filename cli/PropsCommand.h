#pragma once

#include "CliCommand.h"

#include <QJsonArray>

#include <memory>

class CliContext;
class TCameraParam;
class TCameraParams;
class TOIShare;

// props: every shooting property with its value, allowed values and access. The camera answers
// property reads in recording mode only; it is switched there for the read and back to play after.
class PropsCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("props"); }
    QString synopsis() const override { return QStringLiteral("props"); }
    QString summary() const override
    {
        return QStringLiteral("read every shooting property: value, allowed values, readable/settable");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    // "play" or "rec" (with the camera's first live view size). False when the camera refused.
    static bool switchMode(CliContext& context, const TOIShare& commandList, const QString& mode);
    // Command list, recording mode, every property, play mode. True when the properties were read,
    // even if one of them failed; errors are printed and their exit code left in exitCode.
    static bool readProperties(
        CliContext& context, TOIShare& commandList, TCameraParams& params, int& exitCode);

    static QJsonObject toJson(const TCameraParam& param);
    static QJsonArray toJson(const TCameraParams& params);
    static QString toText(const TCameraParams& params);
};
