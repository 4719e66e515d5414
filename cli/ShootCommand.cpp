#include "ShootCommand.h"

#include "CliContext.h"
#include "ListCommand.h"
#include "ModeCommand.h"
#include "camera/TCameraModeAction.h"
#include "camera/TOIShare.h"
#include "camera/TTakeAction.h"
#include "import/FileSizeText.h"
#include "import/TCameraImport.h"
#include "import/TCameraImportItems.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

int ShootCommand::run(CliContext& context, const QStringList& arguments)
{
    bool withPoint = false;
    int x = 0;
    int y = 0;
    if (!arguments.isEmpty()) {
        static const QRegularExpression point(QStringLiteral("^([0-9]{1,5}),([0-9]{1,5})$"));
        const QRegularExpressionMatch match
            = arguments.size() == 2 && arguments.first() == QLatin1String("--at")
            ? point.match(arguments.at(1))
            : QRegularExpressionMatch();
        if (!match.hasMatch() || match.captured(1).toInt() > 65535 || match.captured(2).toInt() > 65535)
            return context.usage(QStringLiteral("shoot takes only --at X,Y (two numbers from 0 to 65535)"));
        withPoint = true;
        x = match.captured(1).toInt();
        y = match.captured(2).toInt();
    }
    TOIShare commandList;
    QString error = context.loadCommandList(commandList);
    if (!error.isEmpty())
        return context.fail(error);
    TTakeAction take(TCameraLink::ToHost(context.cameraHost()));
    if (!ModeCommand::ProbeAction(take, commandList))
        return context.fail(QStringLiteral("the camera offers no remote shooting"));
    if (!ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModeRec, error))
        return context.fail(error);

    // No time-out: a long exposure takes as long as it takes.
    const bool taken
        = (withPoint ? take.TakeAt(0, TTakeAction::StartTake, x, y) : take.Take(0, TTakeAction::StartTake))
        && take.IsOK();
    const QString takeResult = take.TakeResult;
    // As when the shutter button is let go: ends a series or an open exposure the press began.
    const bool stopped = take.Take(0, TTakeAction::StopTake);
    if (!taken)
        return context.fail(QStringLiteral("the camera did not take the picture (%1)")
                                .arg(takeResult.isEmpty() ? QStringLiteral("no answer")
                                                          : ListCommand::Printable(takeResult)));
    if (!stopped)
        return context.fail(QStringLiteral("the camera did not end the shot"));

    // Not every body lists its card while recording.
    ModeCommand::EnterMode(context, commandList, TCameraModeAction::ModePlay, error);
    ListCommand::Card card = ListCommand::OpenCard(context);
    if (!card.Import)
        return context.fail(card.Error);
    QStringList folders;
    if (!ListCommand::ListFolders(*card.Import, folders, error))
        return context.fail(error);
    if (folders.isEmpty())
        return context.fail(QStringLiteral("the card shows no folder after the shot"));
    TCameraImportItems items;
    if (!ListCommand::ListFiles(*card.Import, folders.last(), items, error))
        return context.fail(error);
    const TBaseCameraImportItems& shot = items.LatestGroup();

    if (context.json()) {
        QJsonArray files;
        for (const TCameraImportItem* item : shot)
            files.append(ListCommand::FileToJson(*item));
        context.printJson(QJsonDocument(
            QJsonObject { { QStringLiteral("ok"), true }, { QStringLiteral("files"), files } }));
    } else {
        QString out;
        for (const TCameraImportItem* item : shot)
            out += QStringLiteral("%1/%2\t%3\n")
                       .arg(ListCommand::Printable(folders.last()), ListCommand::Printable(item->FileName),
                           FileSizeText(item->SizeText));
        context.print(out.isEmpty() ? QStringLiteral("picture taken; the card lists no file for it") : out);
    }
    return CliContext::Success;
}
