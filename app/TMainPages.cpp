#include "app/TMainPages.h"

#include "app/TTopBar.h"
#include "app/TfraDebug.h"
#include "app/TfraStartPage.h"
#include "base/TLogger.h"
#include "import/ui/TfraLiveImport.h"
#include "import/ui/TfraPhotoImport.h"
#include "remote/ui/TfraRemoteControl.h"
#include "remote/ui/TfraRemoteRelease.h"
#include "session/TCamera.h"

#include <QPushButton>
#include <QVBoxLayout>

#include <exception>
#include <initializer_list>

TMainPages::TMainPages(TSetup* setup, TfrmViewer* viewer, TTopBar* topBar, QWidget* parent)
    : QStackedWidget(parent)
{
    setObjectName(QStringLiteral("pcMain"));
    tsConnect = new TfraStartPage(this);
    addWidget(tsConnect);

    fraPhotoImport = new TfraPhotoImport;
    fraPhotoImport->setObjectName(QStringLiteral("fraPhotoImport"));
    fraPhotoImport->SetSetup(setup);
    fraPhotoImport->SetViewer(viewer);
    tsPhotoImport = addSheet(QStringLiteral("tsPhotoImport"), fraPhotoImport);
    fraLiveImport = new TfraLiveImport;
    fraLiveImport->setObjectName(QStringLiteral("fraLiveImport"));
    fraLiveImport->SetSetup(setup);
    fraLiveImport->SetViewer(viewer);
    tsLiveImport = addSheet(QStringLiteral("tsLiveImport"), fraLiveImport);
    fraRemoteControl = new TfraRemoteControl;
    fraRemoteControl->setObjectName(QStringLiteral("fraRemoteControl"));
    fraRemoteControl->SetSetup(setup);
    tsRemoteControl = addSheet(QStringLiteral("tsRemoteControl"), fraRemoteControl);
    fraRemoteRelease = new TfraRemoteRelease;
    fraRemoteRelease->setObjectName(QStringLiteral("fraRemoteRelease"));
    fraRemoteRelease->SetSetup(setup);
    tsRemoteRelease = addSheet(QStringLiteral("tsRemoteRelease"), fraRemoteRelease);
    fraDebug = new TfraDebug(setup);
    fraDebug->setObjectName(QStringLiteral("fraDebug"));
    fraDebug->SetViewer(viewer);
    tsDebug = addSheet(QStringLiteral("tsDebug"), fraDebug);

    m_cameraPages = { CameraPage { tsPhotoImport, fraPhotoImport, topBar->btnPhotoImport },
        CameraPage { tsLiveImport, fraLiveImport, topBar->btnLiveimport },
        CameraPage { tsRemoteControl, fraRemoteControl, topBar->btnRemoteControl },
        CameraPage { tsRemoteRelease, fraRemoteRelease, topBar->btnRemoteRelease } };
}

QWidget* TMainPages::addSheet(const QString& name, QWidget* content)
{
    auto* sheet = new QWidget(this);
    sheet->setObjectName(name);
    auto* box = new QVBoxLayout(sheet);
    box->setContentsMargins(0, 0, 0, 0);
    content->setParent(sheet);
    box->addWidget(content);
    addWidget(sheet);
    return sheet;
}

const TMainPages::CameraPage* TMainPages::CameraPageOn(const QWidget* sheet) const
{
    for (const CameraPage& entry : m_cameraPages) {
        if (entry.sheet == sheet)
            return &entry;
    }
    return nullptr;
}

void TMainPages::StopPagesExcept(const QWidget* sheet)
{
    // Only these three keep live view or transfers running; the photo import page is never stopped.
    for (const CameraPage& entry : m_cameraPages) {
        if (entry.page != fraPhotoImport && entry.sheet != sheet)
            entry.page->GoStop();
    }
}

void TMainPages::LeavePages()
{
    for (TfraCameraPage* page :
        std::initializer_list<TfraCameraPage*> { fraRemoteControl, fraLiveImport, fraRemoteRelease }) {
        try {
            page->GoStop();
        } catch (const std::exception& e) {
            TLogger::LogAlways(QStringLiteral("TMainPages.LeavePages (Ex): %1: %2")
                                   .arg(page->objectName(), QString::fromUtf8(e.what())));
        }
    }
}

void TMainPages::EnableFor(quint8 capabilities)
{
    fraPhotoImport->setEnabled(capabilities & TCamera::CapImport);
    fraLiveImport->setEnabled(capabilities & TCamera::CapRelease);
    fraRemoteControl->setEnabled(capabilities & TCamera::CapRemote);
    fraRemoteRelease->setEnabled(capabilities & TCamera::CapRelease);
    for (const CameraPage& entry : m_cameraPages)
        entry.button->setEnabled(entry.page->isEnabled());
}
