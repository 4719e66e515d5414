// What the live view panel's tests share: a panel with its settings, camera information with chosen
// fields, and pictures whose turning and overlays can be seen.
#pragma once

#include "liveview/ui/TfraLiveView.h"

#include "base/AppTexts.h"
#include "base/TSetup.h"
#include "base/ui/TKmImageHistogram.h"
#include "liveview/HistogramCounter.h"
#include "liveview/LiveViewTestSupport.h"
#include "liveview/LiveViewTexts.h"
#include "liveview/ui/TLiveViewDebugMonitor.h"
#include "liveview/ui/TLiveViewMagnifier.h"
#include "liveview/ui/TLiveViewStatusLine.h"
#include "liveview/ui/TfraViewGrid.h"
#include "session/TCamera.h"
#include "sim/SimServer.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

using namespace lvtest;

namespace lvpanel {

inline constexpr QRgb kBackdrop = qRgb(71, 71, 71);

// Camera information with orientation code, focus state and frame, battery and aperture.
inline TMetaData information(int orientationCode = 1, int focusState = 0, QRect focus = {}, int battery = 100)
{
    QByteArray b = informationBlock();
    b[19] = char(orientationCode);
    b[43] = char(focusState);
    put16(b, 46, quint32(focus.left()));
    put16(b, 50, quint32(focus.top()));
    put16(b, 54, quint32(focus.width()));
    put16(b, 58, quint32(focus.height()));
    b[75] = char(battery);
    put16(b, 88, 1);
    put16(b, 90, 250);
    put32(b, 104, 56);
    TMetaData m;
    m.Assign(b);
    return m;
}

// A plain picture, white except for a black top band, so turning it is visible.
inline QByteArray bandedFrame(int width = 640, int height = 480)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 0; y < height / 8; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(0, 0, 0));
    return encode(picture, TJSAMP_444, 95);
}

inline bool near(QRgb a, QRgb b, int tolerance = 24)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

class LiveViewPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterAppTexts();
        RegisterLiveViewTexts();
        ASSERT_TRUE(settingsDir.isValid());
        setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        panel.SetSetup(&setup);
    }

    QImage picture() const { return panel.imgLiveView32->Bitmap(); }

    TSetup setup;
    QTemporaryDir settingsDir;
    TfraLiveView panel;
};

} // namespace lvpanel

using namespace lvpanel;
