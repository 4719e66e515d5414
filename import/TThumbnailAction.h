#pragma once

#include "camera/TBackgroundExchange.h"
#include "import/TBaseImportAction.h"

#include <functional>

// A file's thumbnail ("get_thumbnail.cgi?DIR=/DCIM..."), a small JPEG into Data.
class TThumbnailAction : public TBaseImportAction
{
public:
    explicit TThumbnailAction(TCameraLink link, const QString& cgiName = QStringLiteral("get_thumbnail"));

    // Ends a background request; its caller hears of it as failed with LastFailure Reset.
    void Reset() override;
    // Enabled when the GET method has the key "DIR".
    bool Probe(const TCGIFunction* description) override;
    using TBaseImportAction::Execute;
    // cameraPath as TCameraImportItem::CameraPath gives it. A disabled action returns true with
    // empty Data. Refused (LastFailure Busy) while a background request runs.
    bool Execute(const QString& cameraPath);
    // The same in the background: returns at once, done follows from the event loop (Data holds the
    // thumbnail on success); Busy meanwhile. False without a done call when the action is disabled
    // or busy, or the request cannot start.
    bool Start(const QString& cameraPath, std::function<void(bool success)> done);
    // Ends a background request without a done call.
    void Abandon();
    bool IsRunningInBackground() const { return m_background.isRunning(); }

private:
    QString urlOf(const QString& cameraPath) const;

    TBackgroundExchange m_background;
    std::function<void(bool success)> m_done;
};
