#pragma once
// What the pictures share: the folder named on the command line and the
// window setup of each variant and language, with the file-name prefix
// "gas-de-", "energy-en-", ...

#include <gtest/gtest.h>

#include <QString>
#include <functional>

#include "support/window_harness.h"

namespace parvion::test {

// The folder to save pictures in (main.cpp sets it).
QString& ScreenshotFolder();

// Calls shoot(setup, prefix) for gas and energy, German and English; the
// setup names the variant and language, the prefix is the folder and
// "gas-de-" etc.
inline void ForEachVariantAndLanguage(
    const std::function<void(WindowSetup&, const QString&)>& shoot) {
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            WindowSetup setup;
            setup.medium = medium;
            setup.sprache = sprache;
            setup.device.medium = medium;
            shoot(setup, ScreenshotFolder() + (medium == 0 ? "/gas-" : "/energy-") +
                             (sprache == 0 ? "de-" : "en-"));
        }
    }
}

// Saves the widget's picture as path.png; a picture that cannot be saved
// fails the run.
inline void Shoot(QWidget& w, const QString& path) {
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.grab().save(path + ".png", "PNG")) << path.toStdString();
}

}  // namespace parvion::test
