#include "gui/history/history_window.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "core/edit/parameter_compare.h"
#include "core/history/history.h"
#include "core/history/journal_csv.h"
#include "core/model/parameter_file.h"
#include "core/model/text_file.h"
#include "gui/print/page_renderer.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace ht = history::history_text;

namespace {

QTreeWidget* list(QWidget* parent, const QString& name, QAbstractItemView::SelectionMode mode) {
    auto* tree = named(new QTreeWidget(parent), name);
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setSelectionMode(mode);
    tree->header()->setStretchLastSection(true);
    return tree;
}

QPushButton* button(QWidget* parent, const QString& name) {
    return named(new QPushButton(parent), name);
}

QStringList toQ(std::initializer_list<std::string> texts) {
    QStringList out;
    for (const std::string& t : texts) out << qs(t);
    return out;
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryHost& main, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), main_(main), dialogs_(dialogs) {
    setObjectName(QStringLiteral("HistoryWindow"));
    auto* layout = new QVBoxLayout(this);

    // Filter: a date range and a setting.
    auto* filterRow = new QHBoxLayout;
    DateRange = named(new QCheckBox(this), QStringLiteral("DateRange"));
    DateFrom =
        named(new QDateEdit(QDate::currentDate().addMonths(-1), this), QStringLiteral("DateFrom"));
    DateTo = named(new QDateEdit(QDate::currentDate(), this), QStringLiteral("DateTo"));
    auto* toLabel = named(new QLabel(this), QStringLiteral("DateToLabel"));
    for (QDateEdit* d : {DateFrom, DateTo}) {
        d->setCalendarPopup(true);
        d->setEnabled(false);
    }
    SettingLabel = named(new QLabel(this), QStringLiteral("SettingLabel"));
    SettingFilter = named(new QLineEdit(this), QStringLiteral("SettingFilter"));
    SettingFilter->setClearButtonEnabled(true);
    SettingLabel->setBuddy(SettingFilter);
    filterRow->addWidget(DateRange);
    filterRow->addWidget(DateFrom);
    filterRow->addWidget(toLabel);
    filterRow->addWidget(DateTo);
    filterRow->addSpacing(16);
    filterRow->addWidget(SettingLabel);
    filterRow->addWidget(SettingFilter, 1);
    layout->addLayout(filterRow);

    auto* split = named(new QSplitter(Qt::Horizontal, this), QStringLiteral("HistorySplit"));
    layout->addWidget(split, 1);

    DevicesBox = named(new QGroupBox(split), QStringLiteral("DevicesBox"));
    auto* devicesLayout = new QVBoxLayout(DevicesBox);
    DeviceList = list(DevicesBox, QStringLiteral("DeviceList"), QAbstractItemView::SingleSelection);
    DeviceList->setColumnCount(3);
    devicesLayout->addWidget(DeviceList);

    auto* right = new QSplitter(Qt::Vertical, split);
    SnapshotsBox = named(new QGroupBox(right), QStringLiteral("SnapshotsBox"));
    auto* snapLayout = new QVBoxLayout(SnapshotsBox);
    SnapshotList =
        list(SnapshotsBox, QStringLiteral("SnapshotList"), QAbstractItemView::ExtendedSelection);
    SnapshotList->setColumnCount(6);
    snapLayout->addWidget(SnapshotList);
    auto* snapButtons = new QHBoxLayout;
    BtnCompare = button(SnapshotsBox, QStringLiteral("BtnCompare"));
    BtnCompareDevice = button(SnapshotsBox, QStringLiteral("BtnCompareDevice"));
    BtnCompareFile = button(SnapshotsBox, QStringLiteral("BtnCompareFile"));
    BtnSave = button(SnapshotsBox, QStringLiteral("BtnSave"));
    BtnWrite = button(SnapshotsBox, QStringLiteral("BtnWrite"));
    for (QPushButton* b : {BtnCompare, BtnCompareDevice, BtnCompareFile, BtnSave, BtnWrite}) {
        snapButtons->addWidget(b);
    }
    snapButtons->addStretch(1);
    snapLayout->addLayout(snapButtons);

    JournalBox = named(new QGroupBox(right), QStringLiteral("JournalBox"));
    auto* journalLayout = new QVBoxLayout(JournalBox);
    JournalList =
        list(JournalBox, QStringLiteral("JournalList"), QAbstractItemView::SingleSelection);
    JournalList->setColumnCount(7);
    // Each column as wide as its texts; a scroll bar rather than a cut outcome.
    JournalList->header()->setStretchLastSection(false);
    journalLayout->addWidget(JournalList);
    ChainStatus = named(new QLabel(JournalBox), QStringLiteral("ChainStatus"));
    ChainStatus->setWordWrap(true);
    ChainStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    journalLayout->addWidget(ChainStatus);
    auto* journalButtons = new QHBoxLayout;
    BtnVerify = button(JournalBox, QStringLiteral("BtnVerify"));
    BtnCsv = button(JournalBox, QStringLiteral("BtnCsv"));
    BtnPdf = button(JournalBox, QStringLiteral("BtnPdf"));
    for (QPushButton* b : {BtnVerify, BtnCsv, BtnPdf}) journalButtons->addWidget(b);
    journalButtons->addStretch(1);
    journalLayout->addLayout(journalButtons);

    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({310, 870});
    StoreStatus = named(new QLabel(this), QStringLiteral("StoreStatus"));
    StoreStatus->setWordWrap(true);
    StoreStatus->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(StoreStatus);

    connect(DateRange, &QCheckBox::toggled, this, [this](bool on) {
        DateFrom->setEnabled(on);
        DateTo->setEnabled(on);
        showLists();
    });
    connect(DateFrom, &QDateEdit::dateChanged, this, [this] { showLists(); });
    connect(DateTo, &QDateEdit::dateChanged, this, [this] { showLists(); });
    connect(SettingFilter, &QLineEdit::textChanged, this, [this] { showLists(); });
    connect(DeviceList, &QTreeWidget::itemSelectionChanged, this, [this] { fillDeviceLists(); });
    connect(SnapshotList, &QTreeWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(BtnCompare, &QPushButton::clicked, this, &HistoryWindow::compareSnapshots);
    connect(BtnCompareDevice, &QPushButton::clicked, this, &HistoryWindow::compareWithDevice);
    connect(BtnCompareFile, &QPushButton::clicked, this, &HistoryWindow::compareWithFile);
    connect(BtnSave, &QPushButton::clicked, this, &HistoryWindow::saveSnapshot);
    connect(BtnWrite, &QPushButton::clicked, this, &HistoryWindow::writeSnapshot);
    connect(BtnVerify, &QPushButton::clicked, this, &HistoryWindow::verifyChain);
    connect(BtnCsv, &QPushButton::clicked, this, &HistoryWindow::exportCsv);
    connect(BtnPdf, &QPushButton::clicked, this, &HistoryWindow::exportPdf);

    resize(1180, 680);
    updateTexts();
}

bool HistoryWindow::german() const {
    return main_.session().Sprache != 1;
}

std::string HistoryWindow::text(std::uint16_t number) const {
    return main_.LoadText(number);
}

QString HistoryWindow::qtext(std::uint16_t number) const {
    return qs(text(number));
}

void HistoryWindow::setHistory(history::History* history) {
    history_ = history;
    verified_.reset();
    refresh();
}

void HistoryWindow::showWindow() {
    refresh();
    if (!isVisible() && parentWidget() != nullptr) centreWindow(this, parentWidget());
    show();
    raise();
    activateWindow();
}

void HistoryWindow::updateTexts() {
    setWindowTitle(qtext(ht::kCaption));
    setCaption(DevicesBox, text(ht::kDevices));
    setCaption(SnapshotsBox, text(ht::kSnapshots));
    setCaption(JournalBox, text(ht::kJournal));
    setCaption(DateRange, text(ht::kDateRange));
    findChild<QLabel*>(QStringLiteral("DateToLabel"))->setText(qtext(ht::kDateTo));
    SettingLabel->setText(qtext(ht::kSettingFilter));
    const QString dateFormat =
        german() ? QStringLiteral("dd.MM.yyyy") : QStringLiteral("yyyy-MM-dd");
    for (QDateEdit* d : {DateFrom, DateTo}) {
        d->setDisplayFormat(dateFormat);
        // The whole date beside the calendar's button.
        d->setMinimumWidth(d->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 48);
    }
    setCaption(BtnCompare, text(ht::kCompare));
    setCaption(BtnCompareDevice, text(ht::kCompareDevice));
    setCaption(BtnCompareFile, text(ht::kCompareFile));
    setCaption(BtnSave, text(ht::kSave));
    setCaption(BtnWrite, text(ht::kWrite));
    setCaption(BtnVerify, text(ht::kVerify));
    setCaption(BtnCsv, text(ht::kExportCsv));
    setCaption(BtnPdf, text(ht::kExportPdf));
    DeviceList->setHeaderLabels(toQ({text(ht::kSerial), text(ht::kVariant), text(ht::kLastSeen)}));
    SnapshotList->setHeaderLabels(
        toQ({text(ht::kTime), text(ht::kEntry), text(ht::kProgram), text(ht::kLevel),
             text(ht::kWho), text(ht::kSettingValues)}));
    const history::JournalCsvTexts words =
        history::JournalTextsFrom([this](std::uint16_t n) { return text(n); });
    // No., time, user, what, old and new value as shown, outcome.
    JournalList->setHeaderLabels(
        toQ({words.heads[0], words.heads[1], words.heads[4], words.heads[7], words.heads[10],
             words.heads[11], words.heads[12]}));
    JournalList->headerItem()->setText(2, qtext(ht::kWho));
    if (history_ != nullptr) refresh();
}

bool HistoryWindow::storeOk(const history::StoreStatus& status) {
    if (status.ok()) return true;
    StoreStatus->setText(qs(views::FillPlaceholders(text(ht::kUnavailable), {status.cause})));
    StoreStatus->show();
    return false;
}

void HistoryWindow::refresh() {
    StoreStatus->clear();
    StoreStatus->hide();
    const std::string keep = selectedSerial();
    // The lists follow once the device is picked again.
    const QSignalBlocker quiet(DeviceList);
    DeviceList->clear();
    if (history_ == nullptr) {
        StoreStatus->setText(qtext(ht::kNoHistory));
        StoreStatus->show();
        fillDeviceLists();
        return;
    }
    std::vector<history::DeviceInfo> devices;
    if (storeOk(history_->store().listDevices(&devices))) {
        for (const history::DeviceInfo& d : devices) {
            const history::DeviceRow row = history::DescribeDevice(d, german());
            new QTreeWidgetItem(DeviceList, toQ({row.serial, row.variant, row.lastSeen}));
        }
    }
    // The device list is as wide as its columns: nothing of them is cut.
    int width = 2 * DeviceList->frameWidth() +
                DeviceList->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, DeviceList);
    for (int c = 0; c < 3; ++c) {
        DeviceList->resizeColumnToContents(c);
        width += DeviceList->columnWidth(c);
    }
    DeviceList->setMinimumWidth(width);
    if (DeviceList->topLevelItemCount() > 0) {
        selectDevice(keep);
        if (DeviceList->selectedItems().isEmpty()) {
            DeviceList->topLevelItem(0)->setSelected(true);
        }
    }
    fillDeviceLists();
    verifyChain();
}

void HistoryWindow::selectDevice(const std::string& serial) {
    for (int i = 0; i < DeviceList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = DeviceList->topLevelItem(i);
        if (item->text(0).toStdString() == serial) {
            DeviceList->setCurrentItem(item);
            item->setSelected(true);
            return;
        }
    }
}

std::string HistoryWindow::selectedSerial() const {
    const auto items = DeviceList->selectedItems();
    return items.isEmpty() ? std::string() : items.first()->text(0).toStdString();
}

history::HistoryFilter HistoryWindow::filter() const {
    history::HistoryFilter f;
    if (DateRange->isChecked()) {
        const QDate from = DateFrom->date();
        const QDate to = DateTo->date();
        f.fromDay = history::DayNumber(from.year(), from.month(), from.day());
        f.toDay = history::DayNumber(to.year(), to.month(), to.day());
    }
    f.setting = SettingFilter->text().trimmed().toStdString();
    return f;
}

void HistoryWindow::fillDeviceLists() {
    snapshots_.clear();
    sightings_.clear();
    journal_.clear();
    texts_.clear();
    const std::string serial = selectedSerial();
    if (history_ != nullptr && !serial.empty()) {
        history::HistoryStore& store = history_->store();
        history::JournalFilter all;
        all.serial = serial;
        if (!(storeOk(store.listSnapshots(serial, &snapshots_)) &&
              storeOk(store.listSightings(serial, &sightings_)) &&
              storeOk(store.listJournal(all, &journal_)))) {
            snapshots_.clear();
            sightings_.clear();
            journal_.clear();
        }
    }
    showLists();
}

void HistoryWindow::showLists() {
    const history::HistoryFilter f = filter();
    const auto loader = [this](std::uint16_t n) { return text(n); };
    const history::JournalCsvTexts words = history::JournalTextsFrom(loader);

    // The rows picked stay picked when the lists are read again.
    std::set<std::pair<qlonglong, qlonglong>> picked;
    for (const QTreeWidgetItem* item : SnapshotList->selectedItems()) {
        picked.insert(
            {item->data(0, Qt::UserRole).toLongLong(), item->data(1, Qt::UserRole).toLongLong()});
    }
    SnapshotList->clear();
    snapshotRows_ = history::SnapshotRows(snapshots_, sightings_, f, loader, words, german());
    for (std::size_t i = 0; i < snapshotRows_.size(); ++i) {
        const history::SnapshotRow& r = snapshotRows_[i];
        auto* item =
            new QTreeWidgetItem(SnapshotList, toQ({r.time, r.entry, r.program, r.level, r.who}));
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(r.snapshotId));
        item->setData(1, Qt::UserRole, QVariant::fromValue<qlonglong>(r.at.utcMs));
        item->setSelected(picked.count({r.snapshotId, r.at.utcMs}) > 0);
        if (!f.setting.empty()) {
            auto kept = texts_.find(r.snapshotId);
            if (kept == texts_.end()) {
                history::Snapshot snapshot;
                if (!storeOk(history_->store().getSnapshot(r.snapshotId, &snapshot))) break;
                kept = texts_.emplace(r.snapshotId, std::move(snapshot.parameterText)).first;
            }
            item->setText(5, qs(history::SettingValues(kept->second, f.setting)));
        }
        if (r.seenAgain) {
            for (int c = 0; c < 6; ++c) item->setForeground(c, palette().placeholderText());
        }
    }
    for (int c = 0; c < 6; ++c) SnapshotList->resizeColumnToContents(c);

    JournalList->clear();
    for (const history::JournalRow& r : history::JournalRows(journal_, f, words, german())) {
        auto* item = new QTreeWidgetItem(
            JournalList, toQ({r.number, r.time, r.who, r.what, r.oldValue, r.newValue, r.outcome}));
        item->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(r.seq));
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        if (r.bad) item->setForeground(6, QColor(0xb0, 0, 0));
        item->setToolTip(6, qs(r.outcome));
        if (verified_ && !verified_->ok() && r.seq == verified_->seq) {
            for (int c = 0; c < 7; ++c) item->setBackground(c, QColor(0xff, 0xd0, 0xd0));
        }
    }
    for (int c = 0; c < 7; ++c) JournalList->resizeColumnToContents(c);
    updateButtons();
}

void HistoryWindow::updateButtons() {
    const std::size_t picked = selectedSnapshots().size();
    BtnCompare->setEnabled(picked == 2);
    for (QPushButton* b : {BtnCompareDevice, BtnCompareFile, BtnSave, BtnWrite}) {
        b->setEnabled(picked == 1);
    }
    const bool journal = history_ != nullptr && !journal_.empty();
    BtnCsv->setEnabled(journal);
    BtnPdf->setEnabled(journal);
    BtnVerify->setEnabled(history_ != nullptr);
}

std::vector<std::int64_t> HistoryWindow::selectedSnapshots() const {
    std::vector<std::int64_t> ids;
    for (const QTreeWidgetItem* item : SnapshotList->selectedItems()) {
        const auto id = static_cast<std::int64_t>(item->data(0, Qt::UserRole).toLongLong());
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

void HistoryWindow::verifyChain() {
    verified_.reset();
    if (history_ == nullptr) {
        ChainStatus->clear();
        return;
    }
    history::VerifyResult result;
    if (!storeOk(history_->store().verifyJournal(&result))) {
        ChainStatus->clear();
        return;
    }
    verified_ = result;
    ChainStatus->setText(
        qs(history::VerifyText(result, [this](std::uint16_t n) { return text(n); })));
    ChainStatus->setStyleSheet(result.ok() ? QStringLiteral("color: #006000")
                                           : QStringLiteral("color: #b00000; font-weight: bold"));
    showLists();
}

std::optional<history::Snapshot> HistoryWindow::loadSnapshot(std::int64_t id) {
    history::Snapshot snapshot;
    if (history_ == nullptr || !storeOk(history_->store().getSnapshot(id, &snapshot))) {
        return std::nullopt;
    }
    return snapshot;
}

bool HistoryWindow::snapshotImage(const history::Snapshot& snapshot, ParameterImage* image) {
    const ParameterFileResult r = history::SnapshotImage(snapshot, main_.appDataFolder(), image);
    if (r.ok()) return true;
    dialogs_.warning(this, qs(text(ht::kSnapshotUnreadable) + " " +
                              history::SnapshotFileName(snapshot.info) + ": " + r.reason));
    return false;
}

QString HistoryWindow::snapshotCaption(std::int64_t id) const {
    return qs(views::FillPlaceholders(text(ht::kSnapshotN), {std::to_string(id)}));
}

void HistoryWindow::compareSnapshots() {
    const std::vector<std::int64_t> ids = selectedSnapshots();
    if (ids.size() != 2) {
        dialogs_.information(this, qtext(ht::kPickTwo));
        return;
    }
    const auto older = loadSnapshot(ids[0]);
    const auto newer = older ? loadSnapshot(ids[1]) : std::nullopt;
    if (!newer) return;
    if (older->info.medium != newer->info.medium) {
        dialogs_.information(this, qtext(4));
        return;
    }
    ParameterImage left;
    ParameterImage right;
    if (!snapshotImage(*older, &left) || !snapshotImage(*newer, &right)) return;
    namespace ct = edit::compare_text;
    ComparisonView view;
    view.title = qtext(ht::kCaption);
    view.headers = {qtext(ct::kSection), qtext(ct::kKey), snapshotCaption(ids[0]),
                    snapshotCaption(ids[1])};
    view.labelHeader = qtext(ct::kLabel);
    view.countLabel = qtext(ct::kCount);
    view.closeText = qtext(ct::kClose);
    view.rows = edit::CompareParameterSets(left, right, older->info.medium,
                                           [this](std::uint16_t n) { return text(n); });
    if (view.rows.empty()) {
        dialogs_.information(this, qtext(ct::kNoDifferences));
        return;
    }
    dialogs_.showComparison(this, view);
}

void HistoryWindow::compareWithDevice() {
    const std::vector<std::int64_t> ids = selectedSnapshots();
    if (ids.size() != 1) return;
    const auto snapshot = loadSnapshot(ids[0]);
    ParameterImage set;
    if (!snapshot || !snapshotImage(*snapshot, &set)) return;
    if (snapshot->info.medium != main_.session().Medium) {
        dialogs_.information(this, qtext(4));
        return;
    }
    main_.compareParameterSet(set, snapshotCaption(ids[0]));
}

void HistoryWindow::compareWithFile() {
    const std::vector<std::int64_t> ids = selectedSnapshots();
    if (ids.size() != 1) return;
    const auto snapshot = loadSnapshot(ids[0]);
    ParameterImage left;
    if (!snapshot || !snapshotImage(*snapshot, &left)) return;
    const int medium = snapshot->info.medium;
    FileRequest request;
    request.directory = main_.documentsFolder();
    for (const FileFilter& f : OpenDialogFilters(medium)) request.filters << qs(f.label);
    request.defaultSuffix = qs(ParameterFileExtension(medium));
    const std::optional<QString> chosen = dialogs_.openFile(this, request);
    if (!chosen) return;
    const std::filesystem::path path = chosen->toStdString();
    ParameterImage right;
    const ParameterFileResult r =
        history::ParameterFileImage(path, medium, snapshot->info.expansionLevel, &right);
    switch (r.status) {
        case ParameterFileStatus::Ok:
            break;
        case ParameterFileStatus::WrongVariant:
            dialogs_.information(this, qtext(4));
            return;
        case ParameterFileStatus::NotANumber:
            dialogs_.warning(this, qs(text(6) + r.detail(path)));
            return;
        case ParameterFileStatus::FileError:
            dialogs_.warning(this, qs(text(kFileUnreadableText) + r.detail(path)));
            return;
    }
    namespace ct = edit::compare_text;
    ComparisonView view;
    view.title = qtext(ht::kCaption);
    view.headers = {qtext(ct::kSection), qtext(ct::kKey), snapshotCaption(ids[0]),
                    qtext(ct::kFile)};
    view.labelHeader = qtext(ct::kLabel);
    view.countLabel = qtext(ct::kCount);
    view.closeText = qtext(ct::kClose);
    view.rows = edit::CompareParameterSets(left, right, medium,
                                           [this](std::uint16_t n) { return text(n); });
    if (view.rows.empty()) {
        dialogs_.information(this, qtext(ct::kNoDifferences));
        return;
    }
    dialogs_.showComparison(this, view);
}

QString HistoryWindow::askSaveFile(const std::string& name, const QString& filterText,
                                   const QString& suffix) {
    FileRequest request;
    request.directory = main_.documentsFolder();
    request.fileName = QDir(request.directory).filePath(qs(name));
    request.filters = {filterText};
    request.defaultSuffix = suffix;
    const std::optional<QString> chosen = dialogs_.saveFile(this, request);
    if (!chosen || chosen->isEmpty()) return {};
    return *chosen;
}

void HistoryWindow::saveSnapshot() {
    const std::vector<std::int64_t> ids = selectedSnapshots();
    if (ids.size() != 1) return;
    const auto snapshot = loadSnapshot(ids[0]);
    if (!snapshot) return;
    const int medium = snapshot->info.medium;
    QStringList filters;
    for (const FileFilter& f : SaveDialogFilters(medium)) filters << qs(f.label);
    const QString chosen = askSaveFile(history::SnapshotFileName(snapshot->info), filters.value(0),
                                       qs(ParameterFileExtension(medium)));
    if (chosen.isEmpty()) return;
    const QString file = qs(WithParameterExtension(chosen.toStdString(), medium).string());
    if (!mayOverwrite(dialogs_, this, file, main_.session().Sprache)) return;
    std::filesystem::path written;
    std::string error;
    if (!history::SaveSnapshotFile(*snapshot, file.toStdString(), &written, &error)) {
        dialogs_.warning(this, qs(text(7) + " " + error));
    }
}

void HistoryWindow::writeSnapshot() {
    const std::vector<std::int64_t> ids = selectedSnapshots();
    if (ids.size() != 1) return;
    const auto snapshot = loadSnapshot(ids[0]);
    if (!snapshot) return;
    // A set kept for another device goes to this one only when asked.
    const std::string connected =
        QString::fromStdString(main_.device().DeviceSerialNo).trimmed().toStdString();
    if (main_.session().Online && !connected.empty() && connected != snapshot->info.serial &&
        !dialogs_.askYesNo(
            this,
            qs(views::FillPlaceholders(text(ht::kOtherDevice), {snapshot->info.serial, connected})),
            DefaultAnswer::No)) {
        return;
    }
    main_.writeParameterText(snapshot->parameterText, snapshot->info.medium,
                             snapshotCaption(ids[0]));
    refresh();
}

void HistoryWindow::exportCsv() {
    const auto words = history::JournalTextsFrom([this](std::uint16_t n) { return text(n); });
    const std::vector<history::JournalEntry> entries =
        history::FilterJournal(journal_, filter(), words);
    QString file =
        askSaveFile(history::JournalFileName(selectedSerial(), history::Now().utcMs, "csv"),
                    QStringLiteral("CSV (*.csv)"), QStringLiteral("csv"));
    if (file.isEmpty()) return;
    if (!file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) file += QStringLiteral(".csv");
    if (!mayOverwrite(dialogs_, this, file, main_.session().Sprache)) return;
    std::string error;
    if (!WriteFileAtomically(file.toStdString(), history::JournalCsv(entries, words, german()),
                             &error)) {
        dialogs_.warning(this, qs(text(7) + " " + error));
    }
}

void HistoryWindow::exportPdf() {
    const auto words = history::JournalTextsFrom([this](std::uint16_t n) { return text(n); });
    const std::vector<history::JournalEntry> entries =
        history::FilterJournal(journal_, filter(), words);
    QString file =
        askSaveFile(history::JournalFileName(selectedSerial(), history::Now().utcMs, "pdf"),
                    QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"));
    if (file.isEmpty()) return;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
    if (!mayOverwrite(dialogs_, this, file, main_.session().Sprache)) return;
    const std::string title = views::FillPlaceholders(text(ht::kPrintTitle), {selectedSerial()});
    const std::string now = history::FormatLocal(history::Now(), german());
    QString reason;
    if (!WritePdf(file, {history::JournalPrintJob(entries, words, title, now, german())},
                  &reason)) {
        dialogs_.warning(this, qs(text(7)) + " " + QDir::toNativeSeparators(file) + "\n" + reason);
    }
}

}  // namespace parvion::gui
