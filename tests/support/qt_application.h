#pragma once
// The application object every window test program needs, made once for the
// whole program by a gtest environment. Header only: the shared test support
// library itself does not link Qt.

#include <gtest/gtest.h>

#include <QApplication>

namespace parvion::test {

class QtApplication : public ::testing::Environment {
  public:
    explicit QtApplication(char* programName) : name_(programName) {}
    void SetUp() override {
        static int argc = 1;
        static char* argv[] = {name_, nullptr};
        if (QApplication::instance() == nullptr) app_ = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

  private:
    char* name_;
    QApplication* app_ = nullptr;
};

}  // namespace parvion::test
