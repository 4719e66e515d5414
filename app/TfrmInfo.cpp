#include "app/TfrmInfo.h"

#include "app/ShellTexts.h"
#include "base/TLanguageModule.h"
#include "base/TNamedTexts.h"
#include "base/ui/DarkStyle.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

QTextBrowser* readOnlyText(const char* name, QWidget* parent)
{
    auto* text = new QTextBrowser(parent);
    text->setObjectName(QLatin1String(name));
    text->setReadOnly(true);
    text->setOpenLinks(false);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setFrameShape(QFrame::NoFrame);
    // The background of the window shows through.
    QPalette pal = text->palette();
    pal.setColor(QPalette::Base, DarkStyle::Panel());
    text->setPalette(pal);
    return text;
}

} // namespace

TfrmInfo::TfrmInfo(QWidget* parent)
    : TTranslationForm(parent, Qt::Tool)
{
    RegisterShellTexts();
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(490, 300);
    DarkStyle::Apply(this, DarkStyle::Panel());
    OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("pcInfo"));

    auto* tsLicense = new QWidget;
    tsLicense->setObjectName(QStringLiteral("tsLicense"));
    tsLicense->setWindowTitle(QStringLiteral("Lizenz"));
    auto* lblWebCaption = new QLabel(QStringLiteral("Web:"), tsLicense);
    lblWebCaption->setObjectName(QStringLiteral("lblWebCaption"));
    lklWeb = new QLabel(tsLicense);
    lklWeb->setObjectName(QStringLiteral("lklWeb"));
    lklWeb->setTextFormat(Qt::RichText);
    lklWeb->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    lklWeb->setOpenExternalLinks(false);
    lklWeb->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(WebAddress()));
    redLicence = readOnlyText("redLicence", tsLicense);
    auto* lblCopyright = new QLabel(QStringLiteral("Lumivar, © Kelmarin, Dezember 2026"), tsLicense);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblVersion = new QLabel(tsLicense);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* grid = new QGridLayout(tsLicense);
    grid->addWidget(lblWebCaption, 0, 0);
    grid->addWidget(lklWeb, 0, 1, 1, 2);
    grid->addWidget(redLicence, 1, 0, 1, 3);
    grid->addWidget(lblCopyright, 2, 0, 1, 2);
    grid->addWidget(lblVersion, 2, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    auto* tsCredits = new QWidget;
    tsCredits->setObjectName(QStringLiteral("tsCredits"));
    tsCredits->setWindowTitle(QStringLiteral("Credits"));
    redCredits = readOnlyText("redCredits", tsCredits);
    auto* credits = new QVBoxLayout(tsCredits);
    credits->addWidget(redCredits);

    m_pages->addWidget(tsLicense);
    m_pages->addWidget(tsCredits);
    m_pages->setCurrentWidget(tsLicense);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_pages);

    connect(lklWeb, &QLabel::linkActivated, this, &TfrmInfo::lklWebClick);
    // The terms are named texts, so they follow the language like every text built in code.
    if (TLanguageModule* module = TLanguageModule::Instance())
        connect(module, &TLanguageModule::languageChanged, this, &TfrmInfo::updateTexts);
    updateTexts();
    TranslateForm();
}

TfrmInfo::~TfrmInfo() = default;

QString TfrmInfo::WebAddress()
{
    return QStringLiteral("https://www.kelmarin.de/lumivar/");
}

void TfrmInfo::updateTexts()
{
    redLicence->setHtml(rs("_rsTermsOfUse"));
    redCredits->setHtml(rs("_rsCredits"));
    lblVersion->setText(VersionCaption());
}

void TfrmInfo::lklWebClick(const QString& link)
{
    if (OpenUrl)
        OpenUrl(QUrl(link));
}

void TfrmInfo::showEvent(QShowEvent* event)
{
    TTranslationForm::showEvent(event);
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = owner ? owner->frameGeometry() : (screen() ? screen()->availableGeometry() : QRect());
    if (area.isValid())
        move(area.center() - rect().center());
}

void TfrmInfo::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        SetModalResult(mrClose);
        hide();
        return;
    }
    TTranslationForm::keyPressEvent(event);
}
