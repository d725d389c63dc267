#include "gui/operation/trend_page.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "core/link/data_commands.h"
#include "core/link/link_failure.h"
#include "core/link/transport.h"
#include "core/link/ui_hooks.h"
#include "core/model/device_records.h"
#include "core/model/session.h"
#include "core/model/units.h"
#include "core/views/circuit_values.h"
#include "core/views/trend_export.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/file_written.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {
constexpr std::uint16_t kReadText = 19472;
constexpr std::uint16_t kExportText = 19473;
constexpr std::uint16_t kGraphText = 19474;
constexpr std::uint16_t kCannotWriteText = 7;
constexpr int kRows = 64;
constexpr int kColumns = 5;
constexpr int kFirstValueRow = 4;
}  // namespace

TrendPage::TrendPage(PageContext& context, QWidget* parent)
    : Page(context, QStringLiteral("TabTrend"), parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* buttons = new QHBoxLayout;
    cmd_ReadTrends_ = named(new QPushButton(this), QStringLiteral("cmd_ReadTrends"));
    cmd_ExportTrends_ = named(new QPushButton(this), QStringLiteral("cmd_ExportTrends"));
    cmd_Grafik_ = named(new QPushButton(this), QStringLiteral("cmd_Grafik"));
    ComboTrends_ = named(new QComboBox(this), QStringLiteral("ComboTrends"));
    ComboTrends_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    buttons->addWidget(cmd_ReadTrends_);
    buttons->addWidget(cmd_ExportTrends_);
    buttons->addWidget(cmd_Grafik_);
    buttons->addWidget(ComboTrends_, 1);
    layout->addLayout(buttons);
    staleNote_ = named(new QLabel(this), QStringLiteral("TrendStaleNote"));
    staleNote_->setWordWrap(true);
    staleNote_->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    staleNote_->hide();
    layout->addWidget(staleNote_);

    Trendgrid_ = named(new QTableWidget(kRows, kColumns, this), QStringLiteral("Trendgrid"));
    Trendgrid_->horizontalHeader()->hide();
    Trendgrid_->verticalHeader()->hide();
    Trendgrid_->verticalHeader()->setDefaultSectionSize(Trendgrid_->fontMetrics().height() + 4);
    Trendgrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Trendgrid_->setSelectionMode(QAbstractItemView::NoSelection);
    Trendgrid_->setWordWrap(false);
    layout->addWidget(Trendgrid_);

    connect(cmd_ReadTrends_, &QPushButton::clicked, this, [this] { cmd_ReadTrendsClick(false); });
    connect(cmd_ExportTrends_, &QPushButton::clicked, this, [this] { cmd_ReadTrendsClick(true); });
    connect(cmd_Grafik_, &QPushButton::clicked, this, &TrendPage::graphRequested);
    connect(ComboTrends_, &QComboBox::activated, this, [this] { ComboTrendsClick(); });
}

void TrendPage::updateTexts() {
    FillTrendGridHeader();
    setCaption(cmd_ExportTrends_, ctx_.text(kExportText));
    setCaption(cmd_Grafik_, ctx_.text(kGraphText));
}

void TrendPage::setButtonsEnabled(bool enabled) {
    for (QPushButton* b : {cmd_ExportTrends_, cmd_ReadTrends_, cmd_Grafik_}) b->setEnabled(enabled);
}

void TrendPage::setCell(int row, int column, const QString& text) {
    QTableWidgetItem* item = Trendgrid_->item(row, column);
    if (item == nullptr) {
        item = new QTableWidgetItem;
        // Rows 0..3 and column 0 are the grid's fixed heads.
        if (row < kFirstValueRow || column == 0) item->setBackground(palette().button());
        Trendgrid_->setItem(row, column, item);
    }
    item->setText(text);
}

void TrendPage::clearGrid() {
    for (int row = 1; row < kFirstValueRow; ++row) {
        for (int col = 1; col < kColumns; ++col) setCell(row, col, QString());
    }
    for (int row = kFirstValueRow; row < kRows; ++row) {
        for (int col = 0; col < kColumns; ++col) setCell(row, col, QString());
    }
}

void TrendPage::FillTrendGridHeader() {
    const ParameterImage& image = ctx_.image;
    const int medium = ctx_.medium();
    const std::vector<std::string> heads = views::TrendGridHeader(
        ctx_.blocks(),
        [&image, medium](std::uint8_t q) { return UnitText(image, medium, q, true); });
    views::TextBlock t;
    if (heads.size() != kColumns || !ctx_.textBlock(19456, 1, t)) return;
    for (int col = 0; col < kColumns; ++col)
        setCell(0, col, qs(heads[static_cast<std::size_t>(col)]));
    for (int row = 1; row < kFirstValueRow; ++row) {
        setCell(row, 0, qs(t[static_cast<std::size_t>(row) + 4]));
    }
    // Widths as the grid's font measures the widest content, plus the room
    // a cell leaves around its text.
    const QFontMetrics fm(Trendgrid_->font());
    const int margin =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Trendgrid_) + 1) + 1;
    Trendgrid_->setColumnWidth(
        0, fm.horizontalAdvance(QStringLiteral("09.09.2099 09:09:09x")) + margin);
    for (int col = 1; col < kColumns; ++col) {
        const QString sample =
            col == 1 ? QStringLiteral("-999.0000x") : QStringLiteral("-999.9999E99xx");
        const QString head = Trendgrid_->item(0, col)->text() + (col == 1 ? "x" : "");
        Trendgrid_->setColumnWidth(
            col, std::max(fm.horizontalAdvance(sample), fm.horizontalAdvance(head)) + margin);
    }
    setCaption(cmd_ReadTrends_, ctx_.text(kReadText));
}

QStringList TrendPage::columnHeads() const {
    QStringList heads;
    for (int col = 1; col < kColumns; ++col) {
        const QTableWidgetItem* item = Trendgrid_->item(0, col);
        heads << (item != nullptr ? item->text() : QString());
    }
    return heads;
}

void TrendPage::ShowTrendBlock(int block) {
    clearGrid();
    if (block < 0 || block >= static_cast<int>(TrendStore::kBlocks)) return;
    const TrendBlock& b = ctx_.device.TrendStore.Block[static_cast<std::size_t>(block)];
    const std::vector<views::TrendRow> rows = views::TrendRows(b, ctx_.values());
    if (rows.empty()) return;
    const auto stats = views::TrendStatisticsCells(b, ctx_.values());
    for (std::size_t r = 0; r < 3; ++r) {
        for (std::size_t s = 0; s < 4; ++s) {
            setCell(static_cast<int>(r) + 1, static_cast<int>(s) + 1, qs(stats[r][s]));
        }
    }
    for (std::size_t j = 0; j < rows.size(); ++j) {
        for (std::size_t c = 0; c < rows[j].size(); ++c) {
            setCell(static_cast<int>(j) + kFirstValueRow, static_cast<int>(c), qs(rows[j][c]));
        }
    }
}

void TrendPage::ComboTrendsClick() {
    FillTrendGridHeader();
    const int item = ComboTrends_->currentIndex();
    if (item < 0 || item >= static_cast<int>(TrendStore::kBlocks)) return;
    ShowTrendBlock(ctx_.device.TrendStore.ItemMap[static_cast<std::size_t>(item)]);
}

bool TrendPage::exportTo(const QString& file) {
    FillTrendGridHeader();
    DeviceState& dev = ctx_.device;
    // A failed read keeps the serial number of the last one.
    ReadDeviceSerialNo(ctx_.link, dev.DeviceSerialNo);
    std::vector<std::string> heads;
    heads.reserve(kColumns);
    for (int col = 0; col < kColumns; ++col) {
        const QTableWidgetItem* item = Trendgrid_->item(0, col);
        heads.push_back(item != nullptr ? item->text().toStdString() : std::string());
    }
    const auto lines =
        views::BuildTrendExport(dev.TrendStore, dev.DeviceSerialNo, heads, ctx_.values());
    std::string reason;
    if (views::SaveTrendExportFile(file.toStdString(), lines, &reason)) {
        ShowFileWritten(this, ctx_.text(kFileWrittenText), file);
        return true;
    }
    ctx_.dialogs.warning(this, qs(ctx_.text(kCannotWriteText) + " " + reason));
    return false;
}

void TrendPage::setStale(bool stale) {
    // Only values a read brought can be old.
    stale_ = stale && lastRead_.month != 0;
    Trendgrid_->setStyleSheet(stale_ ? QStringLiteral("QTableWidget { color: #5f5f5f; }")
                                     : QString());
    if (!stale_) {
        staleNote_->hide();
        return;
    }
    const views::TextLoader text = [this](std::uint16_t n) { return ctx_.text(n); };
    staleNote_->setText(QString::fromStdString(
        views::StaleValuesNote(lastRead_, LinkFailureText(ctx_.link.lastFailure(), text), text)));
    staleNote_->show();
}

void TrendPage::cmd_ReadTrendsClick(bool exportMode) {
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    UiHooks& ui = ctx_.ui;
    TrendStore& store = ctx_.device.TrendStore;
    setButtonsEnabled(false);
    ui.busyCursor(true);
    ui.progressStart(static_cast<int>(TrendStore::kBlocks));
    ComboTrends_->hide();

    const TrendRead read = ReadTrendMemory(ctx_.link, store);
    switch (read) {
        case TrendRead::DirectoryFailed:
            ComboTrends_->clear();
            store.ItemMap.fill(-1);
            setStale(true);
            break;
        case TrendRead::BlockFailed:
            // The drop-down and the grid keep the blocks of the last complete
            // read.
            setStale(true);
            break;
        case TrendRead::Complete: {
            lastRead_ = RunningDeviceClock(0.0, SystemLocalNow());
            setStale(false);
            std::optional<QString> file;
            if (exportMode) {
                FileRequest request;
                request.directory = ctx_.host.documentsFolder();
                request.fileName = QStringLiteral("Trenddaten");
                request.defaultSuffix = QStringLiteral("txt");
                file = ctx_.dialogs.saveFile(this, request);
                // A cancelled dialog, or no to overwriting, makes it a plain read.
                if (file && !mayOverwrite(ctx_.dialogs, this, *file, ctx_.session.Sprache))
                    file.reset();
            }
            if (file) exportTo(*file);
            ComboTrends_->clear();
            clearGrid();
            QStringList items;
            for (const views::TrendItem& item : views::ListTrendBlocks(store)) {
                items << qs(item.text);
            }
            ComboTrends_->addItems(items);
            break;
        }
    }

    ui.progressHide();
    ComboTrends_->show();
    if (read == TrendRead::Complete && ComboTrends_->count() > 0) {
        ComboTrends_->setCurrentIndex(0);
        ComboTrendsClick();
    }
    setButtonsEnabled(true);
    ui.busyCursor(false);
}

}  // namespace parvion::gui
