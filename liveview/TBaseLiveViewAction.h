#pragma once

#include "camera/TBaseRemoteAction.h"
#include "liveview/TLiveViewProcessor.h"

class TSetup;

// Starts and stops the camera's live view through one CGI program and owns the UDP receiver the
// pictures arrive at. The record-mode and the shutter-mode actions differ only in the program.
class TBaseLiveViewAction : public TBaseRemoteAction
{
public:
    enum Kind : quint8 { KindStart = 1, KindStop = 2 };
    enum State : quint8 { NotStarted = 0, Started = 1, Stopped = 2 };

    // endpointFormat is a camera URL format of CameraEndpoints.h; the setup (may be null) goes to
    // the receiver, which reads it at each start.
    TBaseLiveViewAction(
        const QString& cgiName, const char* endpointFormat, TCameraLink link, const TSetup* setup = nullptr);

    // NotStarted after construction and every reset, Started once a start was answered with 200,
    // Stopped after a stop request.
    quint8 LiveViewState = NotStarted;
    // Why the last start (or stop) failed, or the receiver's complaint; empty after a clean start.
    QString ErrorText;

    TLiveViewProcessor& Processor() { return m_processor; }
    const TLiveViewProcessor& Processor() const { return m_processor; }

    // Also forgets the live view state; an open receiver stays open (a later start reuses it).
    void Reset() override;
    // Enabled when "com" offers "startliveview" with a "port" and "stopliveview".
    bool Probe(const TCGIFunction& function) override;
    // Without a kind there is nothing to do: false, like every kind but start and stop.
    bool Execute() override { return false; }
    // Kind 1 opens the receiver and asks the camera to stream to its port; kind 2 asks it to stop
    // and closes the receiver. A disabled action returns true without a request.
    bool Execute(quint8 kind, quint16 port);

private:
    bool start(quint16 port);
    bool stop();
    // The answer's document; why a start or stop failed.
    TCameraFailure finish(const TCameraAnswer& answer);

    const char* m_endpoint;
    TLiveViewProcessor m_processor;
};
