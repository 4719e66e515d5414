#pragma once

#include "CliCommand.h"

// exif [--all] FILE...: the image information list of each picture, its focus frame and faces; --all
// adds every property the reader keeps.
class ExifCommand : public CliCommand
{
public:
    QString name() const override { return QStringLiteral("exif"); }
    QString synopsis() const override { return QStringLiteral("exif [--all] FILE..."); }
    QString summary() const override
    {
        return QStringLiteral("show the EXIF and maker-note information, focus frame and faces of pictures");
    }
    int run(CliContext& context, const QStringList& arguments) override;
};
