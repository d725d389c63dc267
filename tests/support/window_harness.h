#pragma once
// The main window against the in-process simulated device, in temporary
// folders, with message boxes and file dialogs answered by the test.

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/settings.h"
#include "core/app/texts.h"
#include "core/model/profile_file.h"
#include "gui/app/main_window.h"
#include "gui/app/qt_serial_line.h"
#include "gui/app/window_line.h"
#include "gui/operation/circuit_values_page.h"
#include "gui/operation/error_protocol_page.h"
#include "gui/operation/integrator_page.h"
#include "gui/operation/trend_page.h"
#include "gui/parameters/circuit_parameter_page.h"
#include "gui/parameters/correction_page.h"
#include "gui/parameters/display_page.h"
#include "gui/parameters/output_page.h"
#include "gui/parameters/relay_page.h"
#include "gui/parameters/remarks_page.h"
#include "gui/parameters/system_page.h"
#include "gui/parameters/trend_recording_page.h"
#include "gui/parameters/units_page.h"
#include "gui/shared/dialogs.h"
#include "sim/lib/device.h"
#include "sim/lib/pty_server.h"
#include "sim/lib/sim_line.h"
#include "support/temp_dir.h"

namespace parvion::test {

// A widget of the window by its object name; fails the test when missing.
template <class W>
W* child(QObject* parent, const char* name) {
    W* w = parent->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << "no " << name;
    return w;
}

class ScriptedDialogs : public gui::Dialogs {
  public:
    bool askYesNo(QWidget*, const QString& text, gui::DefaultAnswer byDefault) override {
        log.push_back("yesno:" + text);
        yesNoDefaults.push_back(byDefault);
        return pop(yesNo, false);
    }
    bool askOkCancel(QWidget*, const QString& title, const QString& text) override {
        log.push_back("okcancel:" + title + ":" + text);
        return pop(okCancel, false);
    }
    void information(QWidget*, const QString& text) override { log.push_back("info:" + text); }
    void warning(QWidget*, const QString& text) override { log.push_back("warning:" + text); }
    void error(QWidget*, const QString& text, bool yesButton) override {
        log.push_back("error:" + text + (yesButton ? ":yes" : ":ok"));
    }
    std::optional<QString> openFile(QWidget*, const gui::FileRequest& r) override {
        openRequests.push_back(r);
        return pop(openAnswers, std::optional<QString>{});
    }
    std::optional<QString> saveFile(QWidget*, const gui::FileRequest& r) override {
        saveRequests.push_back(r);
        return pop(saveAnswers, std::optional<QString>{});
    }

    bool showComparison(QWidget*, const gui::ComparisonView& view) override {
        comparisons.push_back(view);
        log.push_back("compare:" + QString::number(view.rows.size()));
        return !view.writeText.isEmpty() && pop(compareAnswers, true);
    }

    gui::KeepWorkAnswer askKeepWork(QWidget*, const gui::KeepWorkQuestion& q) override {
        log.push_back("keepwork:" + q.text + ":" + q.keep);
        // Unanswered, work is discarded: a test's window closes at its end.
        return pop(keepWork, gui::KeepWorkAnswer::Discard);
    }

    std::deque<bool> yesNo;
    std::deque<gui::KeepWorkAnswer> keepWork;
    // The default button of each Yes/No question asked, in order.
    std::vector<gui::DefaultAnswer> yesNoDefaults;
    // Answers of the comparison: write (true, the default) or cancel.
    std::deque<bool> compareAnswers;
    std::vector<gui::ComparisonView> comparisons;
    std::deque<bool> okCancel;
    std::deque<std::optional<QString>> openAnswers;
    std::deque<std::optional<QString>> saveAnswers;
    std::vector<QString> log;
    std::vector<gui::FileRequest> openRequests;
    std::vector<gui::FileRequest> saveRequests;

  private:
    template <typename T>
    static T pop(std::deque<T>& q, T def) {
        if (q.empty()) return def;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

struct WindowSetup {
    bool online = true;
    int medium = 0;
    int sprache = 0;
    sim::DeviceOptions device;
    // Folder of the string libraries; empty: the ones beside the programs.
    std::filesystem::path programFolder;
    // The real serial path: the Qt serial line on a pseudo-terminal served
    // by the device at its baud rate, instead of the in-process line.
    bool overPty = false;
    // "Com 1" mapped to this path (or network port), over the window
    // program's line: a port that need not exist.
    std::string portPath;
    // Answers the print dialog; null: the real one.
    std::function<bool(QPrinter&, QWidget*)> printDialog;
};

inline WindowSetup offline() {
    WindowSetup s;
    s.online = false;
    return s;
}

// The four string libraries: variant (0 gas, 1 energy) and language (0
// German, 1 English).
struct Library {
    int medium;
    int sprache;
    std::string name() const { return LibraryFileName(medium, sprache); }
};
constexpr Library kLibraries[] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};

// The window in a library, with a device of its variant.
inline WindowSetup inLibrary(int medium, int sprache, bool online = true) {
    WindowSetup s;
    s.online = online;
    s.medium = s.device.medium = medium;
    s.sprache = sprache;
    return s;
}

// "section key" of each row of a comparison.
inline std::vector<std::string> ComparedFields(const gui::ComparisonView& view) {
    std::vector<std::string> out;
    for (const auto& r : view.rows) out.push_back(r.section + " " + r.key);
    return out;
}

class Harness {
  public:
    explicit Harness(const WindowSetup& setup = {}) : device(setup.device) {
        std::filesystem::create_directories(appData());
        std::filesystem::create_directories(documents());
        using namespace settings_keys;
        ProfileFile ini(SettingsFile(appData()));
        if (setup.overPty) {
            server = std::make_unique<sim::PtyServer>(device);
            std::string error;
            EXPECT_TRUE(server->start(&error)) << error;
            ini.writeString(kPorts, "Com1", server->slavePath());
            line = std::make_unique<gui::QtSerialLine>();
        } else if (!setup.portPath.empty()) {
            ini.writeString(kPorts, "Com1", setup.portPath);
            line = std::make_unique<gui::WindowLine>();
        } else {
            line = std::make_unique<sim::SimLine>(device);
        }
        ini.writeString(kEinstellungen, kOnline, setup.online ? "1" : "0");
        ini.writeString(kEinstellungen, kBaudrate, std::to_string(setup.device.baudIndex));
        ini.writeString(kEinstellungen, kAnschluss, "0");
        ini.writeString(kSystem, kMedium, std::to_string(setup.medium));
        ini.writeString(kSystem, kSprache, std::to_string(setup.sprache));
        ini.save();
        gui::MainWindowOptions o;
        o.line = line.get();
        o.programFolder = setup.programFolder.empty() ? std::filesystem::path(PARVION_BIN_DIR)
                                                      : setup.programFolder;
        o.appDataFolder = appData();
        o.documentsFolder = documents();
        o.startScreenMs = 0;
        o.dialogs = &dialogs;
        o.openFolder = [this](const QString& f) { openedFolders.push_back(f); };
        o.printDialog = setup.printDialog;
        window = std::make_unique<gui::Tfrm_Main>(o);
    }
    // Starts the window as the program does.
    gui::Tfrm_Main& start() {
        EXPECT_TRUE(window->FormCreate());
        return *window;
    }
    ~Harness() {
        if (window) window->close();
        window.reset();
        if (server) server->stop();
    }

    std::filesystem::path appData() const { return dir.path() / "data"; }
    std::filesystem::path documents() const { return dir.path() / "docs"; }

    TempDir dir;
    sim::Device device;
    std::unique_ptr<sim::PtyServer> server;
    std::unique_ptr<SerialLine> line;
    ScriptedDialogs dialogs;
    std::vector<QString> openedFolders;
    std::unique_ptr<gui::Tfrm_Main> window;
};

}  // namespace parvion::test
