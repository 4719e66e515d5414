#pragma once

#include "CliCommand.h"

class TCamera;
class QJsonObject;

// watch: follows the connection monitor and prints each change of the camera's connection.
class WatchCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("watch"); }
    QString synopsis() const override { return QStringLiteral("watch [--seconds N]"); }
    QString summary() const override
    {
        return QStringLiteral(
            "print each change of the connection (model, private or not, capabilities; gone) "
            "until Ctrl-C or N seconds");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    static QStringList CapabilityNames(quint8 capabilities);
    // The change as a line of text and as a JSON object (printed one per line with --json).
    static QString ChangeText(const TCamera& camera, const QString& model);
    static QJsonObject ChangeJson(const TCamera& camera, const QString& model);
};
