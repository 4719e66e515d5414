#include "app/TfraDebug.h"

#include "app/ShellTexts.h"
#include "app/TfrmSettings.h"
#include "base/TNamedTexts.h"
#include "base/TSetup.h"
#include "camera/TCameraDump.h"
#include "camera/TIdHTTPEx.h"
#include "exif/ui/TfrmViewer.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const char* const kPresetPaths[] = { "/exec_pwoff.cgi", "", "/get_commandlist.cgi", "/get_connectmode.cgi",
    "/get_activate.cgi", "", "/switch_cammode.cgi?mode=play", "/switch_cammode.cgi?mode=rec&lvqty=0320x0240",
    "/switch_cammode.cgi?mode=rec&lvqty=0640x0480", "/switch_cammode.cgi?mode=rec&lvqty=0800x0600",
    "/switch_cammode.cgi?mode=rec&lvqty=1024x0768", "/switch_cammode.cgi?mode=rec&lvqty=1280x0960",
    "/switch_cammode.cgi?mode=shutter&lvqty=0320x0240", "/switch_cammode.cgi?mode=shutter&lvqty=0640x0480",
    "/switch_cammode.cgi?mode=shutter", "", "/exec_shutter.cgi?com=1st2ndpush",
    "/exec_shutter.cgi?com=2nd1strelease", "", "/exec_takemisc.cgi?com=ctrlzoom&move=wideterm",
    "/exec_takemisc.cgi?com=ctrlzoom&move=widemove", "/exec_takemisc.cgi?com=ctrlzoom&move=teleterm",
    "/exec_takemisc.cgi?com=ctrlzoom&move=telemove", "/exec_takemisc.cgi?com=ctrlzoom&move=off", "",
    "/exec_takemisc.cgi?com=supermacroaflock&func=lock",
    "/exec_takemisc.cgi?com=supermacroaflock&func=release",
    "/exec_takemisc.cgi?com=supermacromfinaflock&move=nearstep",
    "/exec_takemisc.cgi?com=supermacromfinaflock&move=farstep",
    "/exec_takemisc.cgi?com=supermacromfinaflock&move=near",
    "/exec_takemisc.cgi?com=supermacromfinaflock&move=far",
    "/exec_takemisc.cgi?com=supermacromfinaflock&move=stop", "", "/clear_resvflag.cgi",
    "/get_movplaytime.cgi?DIR=/DCIM/100OLYMP", "/get_resieimg.cgi?DIR=/DCIM/100OLYMP/P1050396.JPG&size=2048",
    "/get_activate.cgi", "", "/get_rsvimglist.cgi", "/get_rsvimglist.cgi?DIR=/DCIM", "/get_imglist.cgi",
    "/get_imglist.cgi?DIR=/DCIM", "/get_imglist.cgi?DIR=/DCIM/100OLYMP",
    "/get_thumbnail.cgi?DIR=/DCIM/100OLYMP/P1050396.JPG", "/get_movplaytime.cgi", "/get_screennail.cgi", "",
    "/get_unusedcapacity.cgi", "/get_dcffilenum.cgi", "/get_caminfo.cgi",
    "/set_utctimediff.cgi?utctime=20140105T095811&utcdiff=+0100", "",
    "/get_camprop.cgi?prop=desc&propname=desclist", "/get_camprop.cgi?prop=desc&propname=isospeedvalue",
    "/get_camprop.cgi?prop=get&propname=isospeedvalue", "/get_camprop.cgi?prop=desc&propname=cameradrivemode",
    "/get_camprop.cgi?prop=desc&propname=colortone", "/get_camprop.cgi?prop=desc&propname=exposemovie",
    "/get_camprop.cgi?prop=desc&propname=qualitymovie", "/get_camprop.cgi?prop=desc&propname=colorphase", "",
    "/exec_takemisc.cgi?com=startliveview&port=28488", "/exec_takemisc.cgi?com=stopliveview",
    "/exec_takemisc.cgi?com=getrecview", "/exec_takemisc.cgi?com=getlastjpg", "",
    "/exec_takemotion.cgi?com=starttake", "/exec_takemotion.cgi?com=starttake&point=0213x0070",
    "/exec_takemotion.cgi?com=assignafframe&point=0210x0075", "/exec_takemotion.cgi?com=startmovietake",
    "/exec_takemotion.cgi?com=stopmovietake", "", "/exec_shuttermisc.cgi?com=startliveview&port=28488",
    "/exec_shuttermisc.cgi?com=stopliveview", "", "/set_camprop.cgi?prop=set&propname=takemode", "",
    "/DCIM/100OLYMP/P1100408.ORF" };

QPushButton* button(const char* name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TfraDebug::TfraDebug(TSetup* setup, QWidget* parent)
    : TfraCameraPage(parent)
    , m_setup(setup)
{
    RegisterShellTexts();
    setObjectName(QStringLiteral("fraDebug"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(153, 153, 131));
    setPalette(pal);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("#cbxInput, #memPost, #memLog { background-color: rgb(41, 41, 41); "
                                 "color: rgb(153, 153, 131); }"));

    ChooseSaveFile = [](QWidget* owner, const QString& title, const QString& filter) {
        return QFileDialog::getSaveFileName(owner, title, QString(), filter);
    };
    ChooseOpenFile = [](QWidget* owner, const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(owner, title, QString(), filter);
    };
    ShowError = [](QWidget* owner, const QString& text) {
        QMessageBox::critical(owner, QStringLiteral("Lumivar"), text, QMessageBox::Ok);
    };

    cbxInput = new QComboBox(this);
    cbxInput->setObjectName(QStringLiteral("cbxInput"));
    cbxInput->setEditable(true);
    cbxInput->setInsertPolicy(QComboBox::NoInsert);
    cbxInput->setMaxVisibleItems(40);
    btnGet = button("btnGet", QStringLiteral("GET"), this);
    lblResponseCode = new QLabel(this);
    lblResponseCode->setObjectName(QStringLiteral("lblResponseCode"));
    lblResponseCode->setMinimumWidth(160);
    lblResponseCode->installEventFilter(this);
    memPost = new QPlainTextEdit(QStringLiteral("<?xml version=\"1.0\"?><set><value>M</value></set>"), this);
    memPost->setObjectName(QStringLiteral("memPost"));
    memPost->setFixedHeight(60);
    btnPost = button("btnPost", QStringLiteral("POST"), this);
    memLog = new TDebugLog(setup, this);
    btnViewer = button("btnViewer", QStringLiteral("Viewer"), this);
    btnViewer->setEnabled(false); // once there is a viewer window
    btnSave = button("btnSave", QStringLiteral("Speichern"), this);
    btnDump = button("btnDump", QStringLiteral("Kamera-Dump"), this);
    btnDump->setToolTip(
        QStringLiteral("Speichert die Antworten der Kamera für einen Fehlerbericht in einem Zip"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(cbxInput, 0, 0);
    grid->addWidget(btnGet, 0, 1);
    grid->addWidget(lblResponseCode, 0, 2);
    grid->addWidget(memPost, 1, 0);
    grid->addWidget(btnPost, 1, 1, Qt::AlignTop);
    grid->addWidget(memLog, 2, 0, 1, 3);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btnViewer);
    bottom->addStretch();
    bottom->addWidget(btnDump);
    bottom->addWidget(btnSave);
    grid->addLayout(bottom, 3, 0, 1, 3);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);

    connect(btnGet, &QPushButton::clicked, this, &TfraDebug::btnGetClick);
    connect(cbxInput->lineEdit(), &QLineEdit::returnPressed, this, &TfraDebug::btnGetClick);
    connect(btnPost, &QPushButton::clicked, this, &TfraDebug::btnPostClick);
    connect(btnSave, &QPushButton::clicked, this, &TfraDebug::btnSaveClick);
    connect(btnViewer, &QPushButton::clicked, this, &TfraDebug::btnViewerClick);
    connect(btnDump, &QPushButton::clicked, this, &TfraDebug::btnDumpClick);

    fillPresets();
}

// The memo saves the log at the end in debug mode.
TfraDebug::~TfraDebug() = default;

QStringList TfraDebug::PresetPaths()
{
    QStringList paths;
    for (const char* path : kPresetPaths)
        paths.append(QLatin1String(path));
    return paths;
}

void TfraDebug::fillPresets()
{
    // The presets address the camera the program talks to, so they follow the settings.
    const QString host = m_setup ? m_setup->GetCameraHost() : QLatin1String(TfrmSettings::FactoryCameraIP);
    if (host == m_presetHost)
        return;
    m_presetHost = host;
    const QString typed = cbxInput->currentText();
    const QSignalBlocker block(cbxInput);
    cbxInput->clear();
    for (const QString& path : PresetPaths())
        cbxInput->addItem(path.isEmpty() ? QString() : QStringLiteral("http://") + host + path);
    cbxInput->setCurrentIndex(-1);
    cbxInput->setEditText(typed);
}

void TfraDebug::btnSaveClick()
{
    QString fileName = ChooseSaveFile(this, rs("_rsSaveLogTitle"), rs("_rsSaveLogFilter"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".log");
    // A folder chosen in the dialog exists; a failure here is the disk's or the rights', and the
    // user asked for the file, so say so.
    if (!SaveLog(fileName) && ShowError)
        ShowError(this, rs("_rsSaveLogFailed", { QDir::toNativeSeparators(fileName) }));
}

void TfraDebug::btnDumpClick()
{
    if (m_requestRunning || !m_setup)
        return;
    QString fileName = ChooseSaveFile(this, rs("_rsDumpTitle"), rs("_rsDumpFilter"));
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".zip");
    m_requestRunning = true;
    lblResponseCode->setText(rs("_rsDumpRunning"));
    communicationStarted();
    TCameraLink link = TCameraLink::ToHost(m_setup->GetCameraHost());
    if (Transport)
        link.Transport = Transport;
    TCameraDump dump(link, m_setup->LiveViewPort);
    dump.setProgress([this](const QString& what, int percent) {
        emit OnProgress(rs("_rsDumpRunning"), what, false, percent);
    });
    const TCameraDump::Result result = dump.run();
    communicationStopped();
    emit OnProgress(rs("_rsDumpRunning"), QString(), true, 100);
    m_requestRunning = false;

    const QString shown = QDir::toNativeSeparators(fileName);
    QString error;
    if (result.Archive.isEmpty())
        error = rs("_rsDumpNoAnswer", { result.Failures.value(0) });
    else if (!TCameraDump::WriteArchive(fileName, result.Archive, error))
        error = rs("_rsDumpWriteFailed", { shown });
    else if (!result.Failures.isEmpty())
        error = rs("_rsDumpIncomplete", { shown, result.Failures.join(QStringLiteral("; ")) });
    lblResponseCode->setText(error.isEmpty() ? rs("_rsDumpWritten", { shown }) : error);
    if (!error.isEmpty()) {
        memLog->AddLine(error);
        if (ShowError)
            ShowError(this, error);
    }
}

bool TfraDebug::requestFromInput(const QByteArray& method, TCameraRequest& request)
{
    if (m_requestRunning)
        return false;
    // A preset shows as the field's text; a blank separator entry leaves it empty.
    const QString url = cbxInput->currentText().trimmed();
    if (url.isEmpty()) {
        lblResponseCode->setText(rs("_rsNoRequestSelected"));
        return false;
    }
    request.Method = method;
    request.Url = url;
    request.ReadTimeoutMs = RequestIdleTimeoutMs;
    request.LogBody = true;
    return true;
}

void TfraDebug::btnGetClick()
{
    TCameraRequest request;
    if (requestFromInput("GET", request))
        run(request);
}

void TfraDebug::btnPostClick()
{
    TCameraRequest request;
    if (!requestFromInput("POST", request))
        return;
    request.ContentType = QStringLiteral("text/xml");
    request.Body = TIdHTTPEx::PostBody(memPost->toPlainText().trimmed().split(u'\n'));
    run(request);
}

void TfraDebug::run(const TCameraRequest& request)
{
    m_requestRunning = true;
    lblResponseCode->setText(rs("_rsRequestStarted"));
    communicationStarted();
    TCameraLink link;
    link.Transport = Transport; // empty: the camera's HTTP transport
    const TCameraAnswer answer = link.send(request);
    communicationStopped();
    m_requestRunning = false;
    if (answer.Completed) {
        lblResponseCode->setText(rs("_rsHttpStatus", { answer.Code }));
        return;
    }
    // The log stays: the error is one more line, and the label says the request has ended.
    const QString error = rs("_rsRequestError", { answer.Error });
    lblResponseCode->setText(error);
    memLog->AddLine(error);
}

void TfraDebug::showEvent(QShowEvent* event)
{
    TfraCameraPage::showEvent(event);
    fillPresets();
}

bool TfraDebug::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblResponseCode && event->type() == QEvent::MouseButtonRelease)
        btnPostClick();
    return TfraCameraPage::eventFilter(watched, event);
}

void TfraDebug::SetViewer(TfrmViewer* viewer)
{
    m_viewer = viewer;
    btnViewer->setEnabled(viewer != nullptr);
}

void TfraDebug::btnViewerClick()
{
    if (!m_viewer || !ChooseOpenFile)
        return;
    const QString file
        = ChooseOpenFile(this, QStringLiteral("Viewer"), QStringLiteral("JPEG (*.jpg *.jpeg *.JPG *.JPEG)"));
    if (file.isEmpty())
        return;
    // Over the main window's bounds, as every page opens it.
    const QWidget* main = window();
    m_viewer->ShowImageModal(file, main->size(), main->pos());
}
