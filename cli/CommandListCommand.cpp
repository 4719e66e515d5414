#include "CommandListCommand.h"

#include "CliContext.h"
#include "camera/TOIShare.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonArray paramsToJson(const TCGIParams& params)
{
    QJsonArray result;
    for (const auto& param : params) {
        QJsonArray values;
        for (const auto& value : param->Values) {
            values.append(QJsonObject { { QStringLiteral("name"), value->Name },
                { QStringLiteral("params"), paramsToJson(value->Params) } });
        }
        result.append(
            QJsonObject { { QStringLiteral("name"), param->Name }, { QStringLiteral("values"), values } });
    }
    return result;
}

QString methodName(THTTPMethod::Kind kind)
{
    return kind == THTTPMethod::Kind::Post ? QStringLiteral("post") : QStringLiteral("get");
}

// One line per key: "key=value1|value2"; values that allow further keys list
// them indented below.
void paramsToText(const TCGIParams& params, int depth, QString& out)
{
    const QString indent(depth * 2, QLatin1Char(' '));
    for (const auto& param : params) {
        QStringList names;
        for (const auto& value : param->Values)
            names << value->Name;
        out += indent + param->Name + QLatin1Char('=') + names.join(QLatin1Char('|')) + QLatin1Char('\n');
        for (const auto& value : param->Values) {
            if (value->Params.IsEmpty())
                continue;
            out += indent + QStringLiteral("  ") + value->Name + QStringLiteral(":\n");
            paramsToText(value->Params, depth + 2, out);
        }
    }
}

} // namespace

QJsonObject CommandListCommand::toJson(const TOIShare& commandList)
{
    QJsonArray cgi;
    for (const auto& function : commandList.Functions) {
        QJsonArray methods;
        for (const auto& method : function->Methods) {
            methods.append(QJsonObject { { QStringLiteral("type"), methodName(method->MethodKind) },
                { QStringLiteral("params"), paramsToJson(method->Params) } });
        }
        cgi.append(QJsonObject {
            { QStringLiteral("name"), function->Name }, { QStringLiteral("methods"), methods } });
    }
    return QJsonObject { { QStringLiteral("version"), commandList.Version },
        { QStringLiteral("support"), QJsonArray::fromStringList(commandList.SupportedFunctions) },
        { QStringLiteral("cgi"), cgi } };
}

QString CommandListCommand::toText(const TOIShare& commandList)
{
    QString out = QStringLiteral("version %1\nsupport %2\n")
                      .arg(commandList.Version, commandList.SupportedFunctions.join(QStringLiteral(", ")));
    for (const auto& function : commandList.Functions) {
        out += function->Name + QLatin1Char('\n');
        for (const auto& method : function->Methods) {
            out += QStringLiteral("  ") + methodName(method->MethodKind).toUpper() + QLatin1Char('\n');
            paramsToText(method->Params, 2, out);
        }
    }
    return out;
}

int CommandListCommand::run(CliContext& context, const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return context.usage(QStringLiteral("commandlist takes no arguments"));
    TOIShare commandList;
    if (const QString error = context.loadCommandList(commandList); !error.isEmpty())
        return context.fail(error);
    if (context.json())
        context.printJson(QJsonDocument(toJson(commandList)));
    else
        context.print(toText(commandList));
    return CliContext::Success;
}
