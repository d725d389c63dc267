// parvion-screenshots FOLDER [gtest options]: saves pictures of every
// window, in German and English, gas and energy, as PNG files into FOLDER
// (scripts/screenshots runs it under Xvfb). Each group of pictures is a
// gtest case, so --gtest_filter=Screenshot.GraphWindow takes only those.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "shots.h"

namespace parvion::test {
QString& ScreenshotFolder() {
    static QString folder;
    return folder;
}
}  // namespace parvion::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER [gtest options]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    parvion::test::ScreenshotFolder() = folder;
    return RUN_ALL_TESTS();
}
