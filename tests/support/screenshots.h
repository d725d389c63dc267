#pragma once
// What the screenshot tests share: the folder PARVION_SCREENSHOT_DIR names
// (the test is skipped without it) and the window setup of each variant and
// language, with the file-name prefix "gas-de-", "energy-en-", ...

#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>
#include <functional>

#include "support/window_harness.h"

namespace parvion::test {

// The folder to save pictures in; empty when none is named.
inline QString ScreenshotFolder() {
    const char* dir = std::getenv("PARVION_SCREENSHOT_DIR");
    return dir == nullptr ? QString() : QString::fromLocal8Bit(dir);
}

// Calls shoot(setup, prefix) for gas and energy, German and English; the
// setup names the variant and language, the prefix is the folder and
// "gas-de-" etc.
inline void ForEachVariantAndLanguage(
    const QString& folder, const std::function<void(WindowSetup&, const QString&)>& shoot) {
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            WindowSetup setup;
            setup.medium = medium;
            setup.sprache = sprache;
            setup.device.medium = medium;
            const QString prefix =
                folder + (medium == 0 ? "/gas-" : "/energy-") + (sprache == 0 ? "de-" : "en-");
            shoot(setup, prefix);
        }
    }
}

}  // namespace parvion::test
