#include "app/shell/TfrmSettings.h"

#include "app/TSetup.h"

TfrmSettings::TfrmSettings(TSetup* setup, QWidget* parent)
    : TTranslationForm(parent, Qt::Tool)
    , m_setup(setup)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    TranslateForm();
}

TfrmSettings::~TfrmSettings() = default;

QUrl TfrmSettings::WebPage(quint32)
{
    return {};
}
void TfrmSettings::btnWriteClick() { }
void TfrmSettings::btnCancelClick() { }
void TfrmSettings::btnUpdateClick() { }
void TfrmSettings::btnDownloadDirClick() { }
void TfrmSettings::showEvent(QShowEvent* event)
{
    TTranslationForm::showEvent(event);
}
void TfrmSettings::closeEvent(QCloseEvent* event)
{
    TTranslationForm::closeEvent(event);
}
void TfrmSettings::keyPressEvent(QKeyEvent* event)
{
    TTranslationForm::keyPressEvent(event);
}
