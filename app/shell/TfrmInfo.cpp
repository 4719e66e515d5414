#include "app/shell/TfrmInfo.h"

TfrmInfo::TfrmInfo(QWidget* parent)
    : TTranslationForm(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("Info"));
    TranslateForm();
}

TfrmInfo::~TfrmInfo() = default;

QString TfrmInfo::WebAddress()
{
    return {};
}
QString TfrmInfo::CopyrightLine()
{
    return {};
}
void TfrmInfo::lklWebClick(const QString&) { }
void TfrmInfo::keyPressEvent(QKeyEvent* event)
{
    TTranslationForm::keyPressEvent(event);
}
