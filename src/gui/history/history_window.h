#pragma once
// The device history window ("Gerätehistorie"): the devices seen, and for
// the one picked its snapshots (and the times it was seen again unchanged)
// and its journal in time order, filtered by a date range and a setting;
// the verdict of the journal's check, a broken chain named by its first
// broken entry. A snapshot can be compared with another, with the connected
// device or with a parameter file in the comparison window, saved as a
// parameter file and written back to the device through the main window's
// load path (compared first, written only when confirmed); the journal
// exports as CSV and PDF. What a row says, the filter, the file names and
// the exports come from core/history; this class shows and asks.

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/history/history_store.h"
#include "core/history/history_view.h"
#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace parvion::history {
class History;
}

namespace parvion::gui {

class Dialogs;

// What the history window asks of the window it belongs to.
class HistoryHost {
  public:
    virtual ~HistoryHost() = default;
    virtual Session& session() = 0;
    virtual DeviceState& device() = 0;
    virtual std::string LoadText(std::uint16_t number) const = 0;
    virtual const std::filesystem::path& appDataFolder() const = 0;
    virtual QString documentsFolder() const = 0;
    // A parameter set compared with the device (online) or the program's
    // parameters (offline), as "Compare with file" does; writes nothing.
    virtual void compareParameterSet(const ParameterImage& set, const QString& caption) = 0;
    // A parameter file's text written to the device as "Load" writes a
    // file: the same questions, the comparison first.
    virtual void writeParameterText(const std::string& text, int medium,
                                    const QString& caption) = 0;
};

class HistoryWindow : public QWidget {
    Q_OBJECT
  public:
    HistoryWindow(HistoryHost& main, Dialogs& dialogs, QWidget* parent = nullptr);

    // The history shown; null: none is open (the window says so).
    void setHistory(history::History* history);
    history::History* history() const { return history_; }

    // Captions in the program's language, then the lists again.
    void updateTexts();
    // Reads the devices, the picked device's lists and the journal's check
    // from the store again.
    void refresh();
    // Picks the device of that serial number (when listed).
    void selectDevice(const std::string& serial);
    // Shows the window without waiting, in front, with fresh lists.
    void showWindow();

    QGroupBox* DevicesBox = nullptr;
    QTreeWidget* DeviceList = nullptr;  // serial number, variant, last seen
    QCheckBox* DateRange = nullptr;
    QDateEdit* DateFrom = nullptr;
    QDateEdit* DateTo = nullptr;
    QLabel* SettingLabel = nullptr;
    QLineEdit* SettingFilter = nullptr;
    QGroupBox* SnapshotsBox = nullptr;
    // Time, entry, program, level, who, and the values of the setting the
    // filter names.
    QTreeWidget* SnapshotList = nullptr;
    QPushButton* BtnCompare = nullptr;
    QPushButton* BtnCompareDevice = nullptr;
    QPushButton* BtnCompareFile = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnWrite = nullptr;
    QGroupBox* JournalBox = nullptr;
    QTreeWidget* JournalList = nullptr;  // no., time, who, what, old, new, outcome
    QLabel* ChainStatus = nullptr;
    QPushButton* BtnVerify = nullptr;
    QPushButton* BtnCsv = nullptr;
    QPushButton* BtnPdf = nullptr;
    QLabel* StoreStatus = nullptr;  // why the store cannot be read

    // The journal's check: ChainStatus names the first broken entry.
    void verifyChain();
    void compareSnapshots();
    void compareWithDevice();
    void compareWithFile();
    void saveSnapshot();
    void writeSnapshot();
    void exportCsv();
    void exportPdf();

  private:
    bool german() const;
    std::string text(std::uint16_t number) const;
    QString qtext(std::uint16_t number) const;
    std::string selectedSerial() const;
    // The snapshot ids of the selected rows, oldest first, each once.
    std::vector<std::int64_t> selectedSnapshots() const;
    std::optional<history::Snapshot> loadSnapshot(std::int64_t id);
    // The snapshot's set as an image; a message when it cannot be loaded.
    bool snapshotImage(const history::Snapshot& snapshot, ParameterImage* image);
    history::HistoryFilter filter() const;
    void fillDeviceLists();
    void showLists();
    void updateButtons();
    // False (with the store's cause shown) when the call failed.
    bool storeOk(const history::StoreStatus& status);
    QString snapshotCaption(std::int64_t id) const;
    // The chosen file (extension forced, overwrite confirmed); empty when cancelled.
    QString askSaveFile(const std::string& name, const QString& filter, const QString& suffix);

    HistoryHost& main_;
    Dialogs& dialogs_;
    history::History* history_ = nullptr;
    std::vector<history::SnapshotInfo> snapshots_;
    std::vector<history::Sighting> sightings_;
    std::vector<history::JournalEntry> journal_;
    std::vector<history::SnapshotRow> snapshotRows_;
    // The parameter texts of the device's snapshots, read when a setting is
    // filtered for.
    std::map<std::int64_t, std::string> texts_;
    std::optional<history::VerifyResult> verified_;
};

}  // namespace parvion::gui
