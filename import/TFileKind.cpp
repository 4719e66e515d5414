#include "import/TFileKind.h"

#include "import/TBaseCameraImportItems.h"

QString TFileKind::Extension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1).toUpper();
}

TFileKind::Kind TFileKind::Of(const QString& fileName)
{
    const QString extension = Extension(fileName);
    if (extension == QLatin1String("JPG"))
        return Jpeg;
    if (extension == QLatin1String("ORF"))
        return Raw;
    if (extension == QLatin1String("MOV"))
        return Movie;
    return Other;
}

bool TFileKind::AnyHas(const TBaseCameraImportItems& files, const QString& extension)
{
    const QString wanted = extension.toUpper();
    for (const TCameraImportItem* file : files)
        if (Extension(file->FileName) == wanted)
            return true;
    return false;
}

QStringList TFileKind::ParseTypes(const QString& text)
{
    return NormalizeTypes(text.split(QLatin1Char(','), Qt::SkipEmptyParts));
}

QStringList TFileKind::NormalizeTypes(const QStringList& types)
{
    QStringList normal;
    for (const QString& type : types) {
        QString t = type.trimmed().toUpper();
        if (t.startsWith(QLatin1Char('.')))
            t.remove(0, 1);
        if (!t.isEmpty() && !normal.contains(t))
            normal << t;
    }
    return normal;
}

bool TFileKind::Accepts(const QStringList& types, const QString& fileName)
{
    return types.isEmpty() || types.contains(Extension(fileName));
}

QStringList TFileKind::SelectionTypes(int item)
{
    const QString jpg = QStringLiteral("JPG"), orf = QStringLiteral("ORF"), mov = QStringLiteral("MOV");
    switch (item) {
    case 0:
        return { jpg, orf, mov };
    case 1:
        return { jpg };
    case 2:
        return { orf };
    case 3:
        return { mov };
    case 4:
        return { jpg, orf };
    case 5:
        return { jpg, mov };
    case 6:
        return { orf, mov };
    default:
        return {}; // none selected: every file, whatever its kind
    }
}
