// The live view panel's readings and controls: battery warnings, the linked choices, the grid chooser,
// the debug monitor, and status texts that fit their labels.
#include "liveview/ui/LiveViewPanelFixture.h"

#include "base/ui/TElidingLabel.h"

TEST_F(LiveViewPanelTest, BatteryThresholdsColourAndBlink)
{
    const TLiveViewStatusLine& line = *panel.StatusLine;
    const auto color = [&] { return line.gauBattery->property("gaugeColor").value<QColor>(); };
    panel.SetBatteryLevel(50);
    EXPECT_EQ(color(), QColor(255, 0, 0));
    EXPECT_TRUE(line.IsBatteryBlinking());
    panel.SetBatteryLevel(51);
    EXPECT_EQ(color(), QColor(255, 255, 0));
    EXPECT_FALSE(line.IsBatteryBlinking());
    EXPECT_FALSE(line.gauBattery->isHidden()); // stopping shows the gauge again
    panel.SetBatteryLevel(70);
    EXPECT_EQ(color(), QColor(255, 255, 0));
    panel.SetBatteryLevel(71);
    EXPECT_EQ(color(), QColor(0, 255, 0));
    panel.ShowFrame(bandedFrame(), information(1, 0, {}, 180)); // beyond 100: shows full
    EXPECT_EQ(line.gauBattery->value(), 100);
}

// LIVETIME replaces the shutter speed and keeps the host's choice; an aperture list that the user
// has open keeps its selection.
TEST_F(LiveViewPanelTest, LinkedChoicesFollowFramesUnlessHeld)
{
    QComboBox shutter;
    shutter.addItems({ QStringLiteral("60"), QStringLiteral("250") });
    QComboBox aperture;
    aperture.addItems({ QStringLiteral("4.0"), QStringLiteral("5.6") });
    panel.SetCamera(nullptr, &shutter, nullptr, nullptr, nullptr, &aperture);
    bool updatingSeen = false;
    QObject::connect(
        &aperture, &QComboBox::currentIndexChanged, [&] { updatingSeen = panel.IsUpdatingChoices(); });
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(shutter.currentText(), QStringLiteral("250"));
    EXPECT_EQ(aperture.currentText(), QStringLiteral("5.6"));
    EXPECT_TRUE(updatingSeen);
    EXPECT_FALSE(panel.IsUpdatingChoices());

    shutter.setCurrentIndex(0);
    panel.SetLongExposureMode(true, false);
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(panel.StatusLine->lblImgShutterSpeed->text(), QStringLiteral("LIVETIME"));
    EXPECT_EQ(shutter.currentText(), QStringLiteral("60"));
    EXPECT_EQ(panel.StatusLine->lblImgAperture->text(), QStringLiteral("F5.6"));

    aperture.setCurrentIndex(0);
    aperture.show();
    aperture.showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return aperture.view()->isVisible(); }, 5000));
    panel.ShowFrame(bandedFrame(), information());
    EXPECT_EQ(aperture.currentText(), QStringLiteral("4.0"));
    aperture.hidePopup();
}

// The grid chooser lights the chosen entry only, and a stored colour without a name still shows.
TEST_F(LiveViewPanelTest, GridChooserMarksTheChoiceAndKeepsUnnamedColours)
{
    TfraViewGrid& chooser = *panel.fraViewGrid;
    const QImage inactive = chooser.Choice(2)->icon().pixmap(40, 30).toImage();
    chooser.Choice(2)->click();
    EXPECT_EQ(chooser.GridKind(), 2);
    EXPECT_NE(chooser.Choice(2)->icon().pixmap(40, 30).toImage(), inactive);
    chooser.Choice(0)->click();
    EXPECT_EQ(chooser.Choice(2)->icon().pixmap(40, 30).toImage(), inactive);
    chooser.SetGridKind(9);
    EXPECT_EQ(chooser.GridKind(), 0);

    setup.GridLinesColor = 0x123456; // a Windows colour value: blue 0x12, green 0x34, red 0x56
    panel.Prepare();
    EXPECT_EQ(chooser.GridColor(), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(chooser.ColorList()->currentData().value<QColor>(), QColor(0x56, 0x34, 0x12));
    panel.Finish();
    EXPECT_EQ(setup.GridLinesColor, 0x123456u);
}

// The monitor marks unchanged characters, 20 bytes to a line with their range; "LM.log" collects the
// baselines, and the frame after that becomes the new baseline.
TEST_F(LiveViewPanelTest, DebugMonitorShowsChangedBytesAndLogsTheBaseline)
{
    const QString baseline(1024, QLatin1Char('0'));
    QString changed = baseline;
    changed[40] = QLatin1Char('F'); // byte 21
    const QStringList lines
        = TLiveViewDebugMonitor::ComparisonText(changed, baseline).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("________ ________ ________ ________ ________ 001 - 020 "));
    EXPECT_EQ(lines[1], QStringLiteral("F_______ ________ ________ ________ ________ 021 - 040 "));
    EXPECT_EQ(lines.size(), 27); // 26 lines, the last with three groups, and the empty rest

    QTemporaryDir temp;
    QFile existing(temp.filePath(QStringLiteral("LM.log")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("earlier\r\n");
    existing.close();
    setup.TempDir = temp.path() + QLatin1Char('/');
    panel.ToggleDebugView();
    EXPECT_TRUE(panel.DebugMonitor->isVisibleTo(&panel));
    EXPECT_TRUE(panel.lblFramesPerSecond->isVisibleTo(&panel));
    panel.ShowFrame(bandedFrame(), information(1));
    panel.ShowFrame(bandedFrame(), information(6));
    EXPECT_TRUE(panel.DebugMonitor->memChanges->toPlainText().startsWith(
        QStringLiteral("________ ________ ________ ________ _______6 001 - 020 ")));
    const QString first = panel.DebugMonitor->Baseline();
    panel.DebugMonitor->btnAssignChanges->click();
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "earlier\r\n" + first.toLatin1() + "\r\n");
    existing.close();
    panel.ShowFrame(bandedFrame(), information(3));
    EXPECT_EQ(panel.DebugMonitor->Baseline(), information(3).GetHexDump());
}

// Every status text fits its label and every label lies inside the status line, with the longest
// texts the camera sends.
TEST_F(LiveViewPanelTest, StatusTextsFitTheirLabels)
{
    panel.show();
    panel.SetLongExposureMode(false, true);
    QByteArray b = informationBlock();
    put16(b, 26, 9999);
    put32(b, 104, 220);
    put32(b, 120, quint32(-50));
    put16(b, 130, 25600);
    b[139] = 1;
    put16(b, 146, 18);
    TMetaData wide;
    wide.Assign(b);
    panel.ShowFrame(bandedFrame(), wide);
    panel.StatusLine->SetServing(QStringLiteral("http://127.0.0.1:65535/"));
    QCoreApplication::processEvents();
    if (!qEnvironmentVariableIsEmpty("LUMIVAR_GRAB"))
        panel.grab().save(qEnvironmentVariable("LUMIVAR_GRAB"));
    const QRect line = panel.StatusLine->rect();
    for (QLabel* label : panel.StatusLine->findChildren<QLabel*>()) {
        const QFontMetrics metrics(label->font());
        // A label made for long texts shows what fits and has the whole text as its hint.
        const auto* eliding = qobject_cast<TElidingLabel*>(label);
        EXPECT_GE(label->width(), metrics.horizontalAdvance(eliding ? eliding->ShownText() : label->text()))
            << label->objectName().toStdString();
        EXPECT_GE(label->height(), metrics.height()) << label->objectName().toStdString();
        EXPECT_TRUE(line.contains(label->geometry())) << label->objectName().toStdString();
    }
    EXPECT_TRUE(panel.rect().contains(panel.StatusLine->geometry()));
    const auto* serving = static_cast<TElidingLabel*>(panel.StatusLine->lblServing);
    EXPECT_TRUE(serving->isVisible());
    EXPECT_FALSE(serving->ShownText().isEmpty());
    EXPECT_TRUE(serving->text().contains(QStringLiteral("http://127.0.0.1:65535/")));
    EXPECT_GE(panel.lblHistogram->height(), QFontMetrics(panel.lblHistogram->font()).height());
}
