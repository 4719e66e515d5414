#pragma once

#include <QString>

// Every CGI program of the camera in one place, with the read time-outs its requests use.
// Formats take the camera host ("oishare", "192.168.0.10" or "127.0.0.1:8080") as %1. Append
// queries after formatting: a query such as "diff=%2B0200" would otherwise be read as a place marker.
namespace Endpoint {

// Capabilities
inline constexpr const char* CommandList = "http://%1/get_commandlist.cgi";

// Connection check, information, power and clock
inline constexpr const char* ConnectMode = "http://%1/get_connectmode.cgi";
inline constexpr const char* CamInfo = "http://%1/get_caminfo.cgi";
inline constexpr const char* DcfFileNum = "http://%1/get_dcffilenum.cgi";
inline constexpr const char* UnusedCapacity = "http://%1/get_unusedcapacity.cgi";
inline constexpr const char* MovPlayTime = "http://%1/get_movplaytime.cgi";
inline constexpr const char* Activate = "http://%1/get_activate.cgi";
inline constexpr const char* PowerOff = "http://%1/exec_pwoff.cgi";
inline constexpr const char* UtcTimeDiff = "http://%1/set_utctimediff.cgi";

// Shooting properties
inline constexpr const char* GetCamProp = "http://%1/get_camprop.cgi";
inline constexpr const char* SetCamProp = "http://%1/set_camprop.cgi";

// Modes, focus, taking, shutter, zoom, live view and record view
inline constexpr const char* SwitchCamMode = "http://%1/switch_cammode.cgi";
inline constexpr const char* TakeMotion = "http://%1/exec_takemotion.cgi";
inline constexpr const char* Shutter = "http://%1/exec_shutter.cgi";
inline constexpr const char* TakeMisc = "http://%1/exec_takemisc.cgi";
inline constexpr const char* ShutterMisc = "http://%1/exec_shuttermisc.cgi";

// The card: lists, folder pages and files below /DCIM, thumbnails
inline constexpr const char* ImgList = "http://%1/get_imglist.cgi";
inline constexpr const char* RsvImgList = "http://%1/get_rsvimglist.cgi";
inline constexpr const char* Thumbnail = "http://%1/get_thumbnail.cgi";
inline constexpr const char* ScreenNail = "http://%1/get_screennail.cgi";
inline constexpr const char* Dcim = "http://%1/DCIM";

} // namespace Endpoint

// The URL of one endpoint on the given camera host.
inline QString cameraUrl(const QString& host, const char* fmt)
{
    return QString::fromLatin1(fmt).arg(host);
}

// Read time-outs in milliseconds (0 means no limit) and whether the exchange record shows the body.
namespace Timeout {

inline constexpr int CommandList = 10000;
inline constexpr int Info = 5000; // caminfo, connectmode, dcffilenum, unusedcapacity, movplaytime
inline constexpr int ConnectionCheck = 1000;
inline constexpr int PowerActivateClock = 5000; // exec_pwoff, get_activate, set_utctimediff
inline constexpr int CamProp = 10000; // get_camprop and set_camprop
inline constexpr int CamMode = 3000; // switch_cammode, releaseafframe, takeready
inline constexpr int AssignAfFrame = 10000;
inline constexpr int ModeSwitchPause = 1000; // between leaving one recording mode and entering the other
inline constexpr int TakeExtra = 2000; // added to a positive caller time-out of the take commands
inline constexpr int Zoom = 15000;
inline constexpr int LiveView = 5000; // live view start and stop, getrecview
inline constexpr int ImageList = 20000; // get_rsvimglist, get_imglist and folder pages
inline constexpr int Thumbnail = 10000;
inline constexpr int Download = 120000;
inline constexpr int Debug = 0;

// A take command waits for the camera's own time-out plus a margin; one with an AF point does not.
inline constexpr int takeTimeout(int callerMs, bool withPoint)
{
    return (!withPoint && callerMs > 0) ? callerMs + TakeExtra : callerMs;
}

// Requests whose answers are too bulky or binary for the log; every other request logs its body.
inline constexpr bool LogBodyConnectionCheck = false;
inline constexpr bool LogBodyThumbnail = false;
inline constexpr bool LogBodyDownload = false;

} // namespace Timeout
