#pragma once

#include "CliCommand.h"

#include <QJsonObject>

class TMetaData;

// liveview: runs the camera's live view through the program's receiver, reassembly and decoder and
// reports what arrived, once a second and at the end.
class LiveViewCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("liveview"); }
    QString synopsis() const override
    {
        return QStringLiteral(
            "liveview [--seconds N] [--size WxH] [--port P] [--save-last FILE] [--save-every DIR] "
            "[--serve [ADDR:]PORT]");
    }
    QString summary() const override
    {
        return QStringLiteral("receive live view until Ctrl-C or N seconds: frames, datagrams, decode time "
                              "and the camera information of the last frame; --serve [ADDR:]PORT hands the "
                              "pictures on as an MJPEG stream over HTTP (127.0.0.1 unless ADDR is given)");
    }
    int run(CliContext& context, const QStringList& arguments) override;

    // The camera information as the live view panel's status line shows it, and as JSON.
    static QString StatusText(const TMetaData& information);
    static QJsonObject StatusJson(const TMetaData& information);
};
