#pragma once
// The settings dialog on its own, with the objects the main window would
// give it: session, parameter image, device records, a link over a serial
// line to a simulated device, the string libraries beside the programs, a
// recording UiHooks and hooks that count what the main window was asked to
// do. Modal dialogs are answered from a timer.

#include <QCoreApplication>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/error_log.h"
#include "core/app/texts.h"
#include "core/link/serial_line.h"
#include "core/link/transport.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "gui/app/settings_dialog.h"
#include "gui/parameters/password_dialog.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/radio_group.h"
#include "support/recording_ui.h"
#include "support/temp_dir.h"

namespace parvion::test {

// Clicks item `index` of a radio group as the user would.
inline void ClickItem(gui::RadioGroup* group, int index) {
    const auto buttons = group->findChildren<QRadioButton*>();
    buttons.at(index)->click();
}

// Answers a modal dialog once it is shown: `answer` runs inside its loop.
// Counts how often it was answered.
class ModalAnswer {
  public:
    ModalAnswer(QWidget& dialog, std::function<void()> answer)
        : dialog_(dialog), answer_(std::move(answer)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (!dialog_.isVisible()) return;
            ++answered;
            answer_();
        });
        timer_.start();
    }
    int answered = 0;

  private:
    QWidget& dialog_;
    std::function<void()> answer_;
    QTimer timer_;
};

struct EinstRig {
    // line: the serial line to the device; port: the path "Com 1" maps to.
    EinstRig(SerialLine& line, std::string port, bool online, int medium = 0, int baudIndex = 7)
        : link(line, ui, session, dir.path()),
          texts(PARVION_BIN_DIR, session),
          portPath(std::move(port)) {
        session.Medium = medium;
        session.Baudrate = baudIndex;
        session.Anschluss = 0;
        const auto resolve = [this](int n) { return n == 1 ? portPath : "/nonexistent/port"; };
        link.setPortResolver(resolve);
        link.setErrorLog(ErrorLogIn(dir.path()));
        if (online) {
            session.Online = true;
            link.OpenComPort(1, baudIndex);
        }
        password = std::make_unique<gui::TPasswordDlg>();
        gui::EinstHooks hooks;
        hooks.stopRefreshTimer = [this] { calls.push_back("stop"); };
        hooks.setRefreshInterval = [this](int ms) { interval = ms; };
        hooks.startRefreshTimer = [this] { calls.push_back("start:" + std::to_string(interval)); };
        hooks.UpdateTexts = [this] { calls.push_back("texts:" + std::to_string(session.Medium)); };
        hooks.checkVariantMenus = [this] { calls.push_back("menus"); };
        hooks.FillParameterPages = [this] { calls.push_back("fill"); };
        hooks.clearDateTime = [this] { calls.push_back("clock"); };
        dialog = std::make_unique<gui::TEinst>(
            gui::EinstContext{session, image, device, link, texts, ui, busy, dir.path(), resolve},
            std::move(hooks), *password);
    }
    ~EinstRig() {
        dialog.reset();
        password.reset();
    }

    // Shows the dialog (without a modal loop): runs FormActivate.
    void open() {
        dialog->show();
        QCoreApplication::processEvents();
    }
    void ok() { dialog->BtnOk->click(); }
    bool count(const std::string& call) const {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
    std::string errorLog() const {
        const auto file = dir.path() / "Errors.log";
        return std::filesystem::exists(file) ? readFileBytes(file) : std::string();
    }

    TempDir dir;
    RecordingUi ui;
    Session session;
    ParameterImage image;
    DeviceState device;
    Link link;
    TextLibrary texts;
    gui::BusyGuard busy;
    std::string portPath;
    std::unique_ptr<gui::TPasswordDlg> password;
    std::unique_ptr<gui::TEinst> dialog;
    std::vector<std::string> calls;
    int interval = 0;
};

}  // namespace parvion::test
