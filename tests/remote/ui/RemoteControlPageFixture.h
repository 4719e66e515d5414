// The remote control page against a simulator on a loopback port, with its communications counted:
// the set-up the page's tests share.
#pragma once

#include "remote/TRemoteControl.h"
#include "remote/TShooting.h"
#include "remote/ui/TRemotePropertyPanel.h"
#include "remote/ui/TRemoteSeriesPanel.h"
#include "remote/ui/TRemoteShootingLink.h"
#include "remote/ui/TRemoteShutterPanel.h"
#include "remote/ui/TRemoteTimeLapsePanel.h"
#include "remote/ui/TfraRemoteControl.h"

#include "base/AppTexts.h"
#include "base/TSetup.h"
#include "liveview/ui/TfraLiveView.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>
#include <mutex>

namespace lvtest {

class RemoteControlPageTest : public ::testing::Test
{
protected:
    void start(const std::string& profile = "e-m10")
    {
        RegisterAppTexts();
        ASSERT_TRUE(settingsDir.isValid());
        setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        setup.LiveViewPort = 0;
        camsim::SimServerOptions options;
        options.profile = profile;
        options.generatedFiles = 2;
        options.requestLog = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(logMutex);
            requests << QString::fromStdString(line);
        };
        server = std::make_unique<camsim::SimServer>(options);
        ASSERT_TRUE(server->isValid()) << server->errorText();
        ASSERT_NE(server->start(), 0);
        camera = std::make_unique<TCamera>(
            TCameraLink::ToHost(QStringLiteral("127.0.0.1:%1").arg(server->port())), QStringLiteral("CAM"),
            false, QString(), [](const QString&, const QStringList&) { return true; });
        camera->OnChangeConnection = [](TCamera*, bool& handled) { handled = true; };
        camera->CheckTimer.start(10);
        ASSERT_TRUE(QTest::qWaitFor([&] { return camera->Connected; }, 10000));
        // No connection check between the steps of a test.
        camera->CheckTimer.stop();
        camera->Remote.CameraMode.SwitchPauseMs = 0;
        page = std::make_unique<TfraRemoteControl>();
        page->SetSetup(&setup);
        page->resize(1100, 700);
        page->show();
        QObject::connect(
            page.get(), &TfraCameraPage::OnCommunication, [this](const TCommunication& communication) {
                if (communication.Kind == ceChangeFreeRegion) {
                    freeRegions = int(communication.FreeRegions.size());
                    regionRects = communication.FreeRegions;
                }
                if (communication.Kind == ceStart)
                    ++open;
                else if (communication.Kind == ceStop) {
                    --open;
                    EXPECT_GE(open, 0) << "an end without its begin";
                }
            });
        page->SetCamera(camera.get());
        page->GoStart();
        ASSERT_EQ(open, 0);
        ASSERT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeRec);
    }

    void TearDown() override
    {
        if (page)
            page->GoStop();
        EXPECT_EQ(open, 0) << "a begin without its end";
        page.reset();
        if (camera)
            camera->Stop();
        camera.reset();
        server.reset();
    }

    // The live view's frames would select in the choices meanwhile; the camera stays in recording mode.
    void stopFrames()
    {
        ASSERT_TRUE(page->fraLiveView->StopLiveView());
        QTest::qWait(20);
        ASSERT_EQ(camera->Remote.CameraMode.Mode, TCameraModeAction::ModeRec);
    }

    // The user picks an entry of a choice.
    static void pick(QComboBox* choice, const QString& text)
    {
        const int index = choice->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        choice->setCurrentIndex(index);
        emit choice->activated(index);
    }

    // The mouse on a button, each event on its own (no double click made of two tests' presses).
    static void press(QWidget* w) { mouse(w, QEvent::MouseButtonPress); }
    static void release(QWidget* w) { mouse(w, QEvent::MouseButtonRelease); }
    static void mouse(QWidget* w, QEvent::Type type)
    {
        const QPointF at = QRectF(w->rect()).center();
        QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }

    // The camera's current value as it answers now.
    QString cameraValue(const char* property)
    {
        TCameraParam* p = camera->Remote.Params.Find(QString::fromLatin1(property));
        EXPECT_NE(p, nullptr);
        if (!p)
            return {};
        EXPECT_TRUE(p->Refresh());
        return p->RawValue;
    }

    // The simulator notes a request after its answer went out, so the client may already be on:
    // waits until the count is reached, then says whether it is exact.
    bool requestsSeen(const QString& part, int count)
    {
        return QTest::qWaitFor([&] { return requestCount(part) >= count; }, 5000)
            && requestCount(part) == count;
    }

    int requestCount(const QString& part)
    {
        std::lock_guard<std::mutex> lock(logMutex);
        int n = 0;
        for (const QString& line : requests)
            n += line.contains(part) ? 1 : 0;
        return n;
    }

    QRect inPage(QWidget* w) const { return QRect(w->mapTo(page.get(), QPoint(0, 0)), w->size()); }

    QTemporaryDir settingsDir;
    TSetup setup;
    std::mutex logMutex;
    QStringList requests;
    std::unique_ptr<camsim::SimServer> server;
    std::unique_ptr<TCamera> camera;
    std::unique_ptr<TfraRemoteControl> page;
    int open = 0;
    // The number of rectangles the last change of free regions named.
    int freeRegions = -1;
    QList<QRect> regionRects;
};

} // namespace lvtest
