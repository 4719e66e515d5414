// The settings an import page test runs with: German texts, a private settings file and an empty
// target folder, each test its own.
#pragma once

#include "base/AppTexts.h"
#include "base/TSetup.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace lumivar::test {

struct ImportPageSettings
{
    QTemporaryDir settingsDir;
    QTemporaryDir target;
    TSetup setup;

    ::testing::AssertionResult prepareSettings()
    {
        RegisterAppTexts();
        if (!settingsDir.isValid() || !target.isValid())
            return ::testing::AssertionFailure() << "no temporary folder";
        setup.SetStoreFile(settingsDir.filePath(QStringLiteral("settings.ini")));
        return ::testing::AssertionSuccess();
    }
};

} // namespace lumivar::test
