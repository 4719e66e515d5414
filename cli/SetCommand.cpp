#include "SetCommand.h"

#include "CliContext.h"
#include "PropsCommand.h"
#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "camera/TCameraParams.h"
#include "camera/TOIShare.h"
#include "remote/TRemoteControl.h"

#include <QJsonObject>

namespace {

// The display text of param that wanted names in any language the program knows: the current text,
// the built-in German one, the English one, or the camera's own value. Empty when none matches.
QString allowedText(const TCameraParam& param, const QString& wanted)
{
    if (const int index = param.IndexOf(wanted); index >= 0)
        return param.DisplayValues.value(index, wanted);
    const TLanguageModule* languages = TLanguageModule::Instance();
    const TLanguageEntry* english = nullptr;
    if (languages)
        for (const TLanguageEntry& entry : languages->Languages())
            if (!english && entry.Id == CliContext::EnglishId)
                english = &entry;
    for (const QString& name : TNamedTexts::Names()) {
        const QByteArray key = name.toUtf8();
        const QString shown = TNamedTexts::Text(key.constData());
        if (!param.DisplayValues.contains(shown, Qt::CaseInsensitive))
            continue;
        if (TStringDictionary::SameText(TNamedTexts::German(key.constData()), wanted)
            || (english && TStringDictionary::SameText(english->Texts.value(name), wanted)))
            return shown;
    }
    return {};
}

} // namespace

int SetCommand::run(CliContext& context, const QStringList& arguments)
{
    if (arguments.size() != 2)
        return context.usage(QStringLiteral("set needs NAME and VALUE"));
    const QString& propertyName = arguments.at(0);
    const QString& wanted = arguments.at(1);
    TCameraParams params(context.cameraLink());
    TCameraParam* param = params.Find(propertyName);
    if (!param)
        return context.usage(QStringLiteral("unknown property \"%1\" (one of: %2)")
                                 .arg(propertyName, TCameraParams::Names().join(QStringLiteral(", "))));

    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    if (!PropsCommand::switchMode(context, commandList, QStringLiteral("rec")))
        return context.fail(QStringLiteral("the camera did not switch to recording mode"));

    QString error;
    bool ok = false;
    params.Probe(commandList);
    const QString text = param->Valid ? allowedText(*param, wanted) : QString();
    if (!param->Valid)
        error = QStringLiteral("%1 is not offered by this camera").arg(param->Name);
    else if (!param->CanSet)
        error = QStringLiteral("%1 cannot be set").arg(param->Name);
    else if (text.isEmpty())
        error = QStringLiteral("\"%1\" is not an allowed value of %2 (allowed: %3)")
                    .arg(wanted, param->Name, param->DisplayValues.join(QStringLiteral(", ")));
    else if (!TRemoteControl::SetProperty(*param, text))
        error = QStringLiteral("the camera refused %1 for %2 (--verbose shows why)").arg(wanted, param->Name);
    else
        ok = true;
    // Read back what the camera now holds.
    if (ok && param->CanGet && !param->Refresh())
        error = QStringLiteral("%1 was set but could not be read back").arg(param->Name);
    if (!PropsCommand::switchMode(context, commandList, QStringLiteral("play")))
        context.fail(QStringLiteral("the camera did not switch back to play mode"));

    if (context.json()) {
        QJsonObject result = PropsCommand::toJson(*param);
        result.insert(QStringLiteral("ok"), ok);
        context.printJson(QJsonDocument(result));
    } else if (ok) {
        context.print(QStringLiteral("%1: %2 (%3)").arg(param->Name, param->Value, param->RawValue));
    }
    return ok && error.isEmpty() ? CliContext::Success : context.fail(error);
}
