#include "gui/print/print_menu.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>
#include <utility>

#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/value_format.h"
#include "gui/print/page_renderer.h"
#include "gui/print/sansicht.h"
#include "gui/shared/busy_guard.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/file_written.h"
#include "gui/shared/page.h"

namespace parvion::gui {

namespace {

// The preview and the printout wait this long before the progress bar goes.
constexpr int kFinishWaitMs = 100;

// Text numbers of the print items: each names the printout it makes.
constexpr std::uint16_t kPreviewText = 22831;
constexpr std::uint16_t kPrintText = 22832;
constexpr std::uint16_t kExportPdfText = 22833;
constexpr std::uint16_t kPlanPreviewText = 22834;
constexpr std::uint16_t kPlanPrintText = 22835;
constexpr std::uint16_t kPlanExportPdfText = 22836;
constexpr std::uint16_t kRecordText = 22837;
constexpr std::uint16_t kRecordFileText = 22838;

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

std::size_t PageCount(const std::vector<print::PrintJob>& jobs) {
    std::size_t n = 0;
    for (const auto& j : jobs) n += j.pages.size();
    return n;
}

QAction* After(QMenu* menu, QAction* item) {
    const QList<QAction*> items = menu->actions();
    const qsizetype i = items.indexOf(item);
    return i >= 0 && i + 1 < items.size() ? items[i + 1] : nullptr;
}

}  // namespace

bool PrintJobs(QPrinter& printer, const std::vector<print::PrintJob>& jobs,
               const std::function<void()>& step) {
    if (jobs.empty()) return true;
    printer.setPageOrientation(QPageLayout::Portrait);
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    const std::size_t runs = toFile ? 1 : jobs.size();
    for (std::size_t r = 0; r < runs; ++r) {
        printer.setDocName(QString::fromStdString(jobs[r].title));
        QPainter painter;
        if (!painter.begin(&printer)) return false;
        if (toFile) {
            PaintPages(painter, printer, jobs, step);
        } else {
            PaintPages(painter, printer, {jobs[r]}, step);
        }
        painter.end();
    }
    return true;
}

PrintMenu::PrintMenu(QWidget& window, PageContext& context, PrintHost& host,
                     const PrintMenuItems& items, PrintDialogRunner runDialog)
    : QObject(&window),
      window_(window),
      ctx_(context),
      host_(host),
      items_(items),
      runDialog_(std::move(runDialog)) {
    setObjectName(QStringLiteral("PrintMenu"));
    if (!runDialog_) runDialog_ = RunPrintDialog;
    sansicht_ = new Tsansicht(&window);

    QMenu* menu = items_.menu;
    auto add = [menu](QAction* after, const char* name) {
        auto* a = new QAction(menu);
        a->setObjectName(QString::fromLatin1(name));
        menu->insertAction(After(menu, after), a);
        return a;
    };
    mnu_ExportPdf = add(items_.print, "mnu_ExportPdf");
    mnu_ExportKlemmenplanPdf = add(items_.planPrint, "mnu_ExportKlemmenplanPdf");
    mnu_Inbetriebnahme = add(mnu_ExportKlemmenplanPdf, "mnu_Inbetriebnahme");
    for (QAction* a : {items_.preview, items_.print, items_.planPreview, items_.planPrint}) {
        connect(a, &QAction::triggered, this, [this, a] { mnu_DruckenClick(a); });
    }
    for (QAction* a : {mnu_ExportPdf, mnu_ExportKlemmenplanPdf}) {
        connect(a, &QAction::triggered, this, [this, a] { mnu_ExportPdfClick(a); });
    }
    connect(mnu_Inbetriebnahme, &QAction::triggered, this, &PrintMenu::mnu_InbetriebnahmeClick);
    connect(menu, &QMenu::aboutToShow, this, &PrintMenu::updateTexts);
    updateTexts();
}

void PrintMenu::updateTexts() {
    // Each item names the printout it makes, so that the printout's and the
    // plan's items are told apart in the menu.
    const std::pair<QAction*, std::uint16_t> items[] = {
        {items_.preview, kPreviewText},     {items_.print, kPrintText},
        {mnu_ExportPdf, kExportPdfText},    {items_.planPreview, kPlanPreviewText},
        {items_.planPrint, kPlanPrintText}, {mnu_ExportKlemmenplanPdf, kPlanExportPdfText},
        {mnu_Inbetriebnahme, kRecordText},
    };
    for (const auto& [item, number] : items) {
        const std::string text = ctx_.text(number);
        if (!text.empty()) item->setText(QString::fromStdString(text));
    }
}

edit::PageTexts PrintMenu::pageTexts() const {
    const PageContext* c = &ctx_;
    return {[c](std::uint16_t first, std::uint8_t width, views::TextBlock& block) {
                return c->textBlock(first, width, block);
            },
            [c](std::uint16_t n) { return c->text(n); },
            [c](std::uint8_t q, bool withUnit, bool trim, float v) {
                return FormatValue(c->image, c->session.Medium, q, withUnit, trim, v);
            }};
}

print::PrintHeader PrintMenu::header() {
    print::PrintHeader h;
    const QDateTime now = QDateTime::currentDateTime();
    const auto field = [](int v) { return static_cast<std::uint16_t>(v); };
    h.dateTime = print::HeaderDateTime(
        {field(now.date().year()), field(now.date().month()), field(now.date().day()),
         field(now.time().hour()), field(now.time().minute()), field(now.time().second())},
        ctx_.session.Sprache);
    if (ctx_.session.Online) {
        // A failed read leaves the serial number read before.
        ReadDeviceSerialNo(ctx_.link, ctx_.device.DeviceSerialNo);
        h.source.online = true;
        h.source.serialNo = ctx_.device.DeviceSerialNo;
    } else {
        h.source.statusText = host_.loadedFileText().toStdString();
    }
    return h;
}

std::vector<print::PrintJob> PrintMenu::jobsFor(bool plan, int copies,
                                                const print::PrintHeader& h) {
    if (plan) return print::TerminalPlanJobs(ctx_.image, pageTexts(), h, copies);
    // The copies chosen in the print dialog are made here too, each with its
    // remarks page, rather than dropped.
    const print::PrintJob job =
        print::ParameterPrintoutJob(ctx_.image, ctx_.session.Medium, pageTexts(), h);
    return std::vector<print::PrintJob>(static_cast<std::size_t>(std::max(copies, 1)), job);
}

void PrintMenu::mnu_DruckenClick(QAction* item) {
    const bool preview = item == items_.preview || item == items_.planPreview;
    const bool plan = item == items_.planPreview || item == items_.planPrint;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    {
        auto busy = ctx_.busy.tryHold();
        if (!busy) return;
        if (!DeviceAvailable(ctx_.link, ctx_.device)) return;
        int copies = 1;
        if (!preview) {
            printer.setCopyCount(1);
            if (!runDialog_(printer, &window_)) return;
            // Every copy is a job of its own; the printer must not copy again.
            copies = std::max(1, printer.copyCount());
            printer.setCopyCount(1);
        }
        ctx_.ui.busyCursor(true);
        auto restore = qScopeGuard([this] {
            ctx_.ui.waitMs(kFinishWaitMs);
            ctx_.ui.progressHide();
            ctx_.ui.busyCursor(false);
        });
        if (ctx_.session.Online) ReadAllParameters(ctx_.link, ctx_.image);
        const std::vector<print::PrintJob> jobs = jobsFor(plan, copies, header());
        ctx_.ui.progressStart(static_cast<int>(PageCount(jobs)));
        if (preview) {
            const double dpiX = window_.logicalDpiX();
            const double dpiY = window_.logicalDpiY();
            // Every page of the printout, the remarks page too.
            sansicht_->setPages(jobs.front().pages, PreviewSize(printer.pageLayout(), dpiX, dpiY),
                                dpiX, dpiY);
            ctx_.ui.progressStep();
        } else if (!PrintJobs(printer, jobs, [this] { ctx_.ui.progressStep(); })) {
            const QString where = printer.outputFileName().isEmpty() ? printer.printerName()
                                                                     : printer.outputFileName();
            ctx_.dialogs.warning(&window_, QString::fromStdString(ctx_.text(7)) + " " + where);
            return;
        }
    }
    if (preview) {
        // The window speaks the language in force: its caption is the menu
        // item's ("Klemmenplan: Seitenansicht").
        sansicht_->setWindowTitle(item->text().remove(QLatin1Char('&')));
        sansicht_->setTexts([this](std::uint16_t n) { return ctx_.text(n); });
        sansicht_->exec();
        // Print in the preview prints what it showed, through the print dialog.
        if (sansicht_->printRequested()) mnu_DruckenClick(plan ? items_.planPrint : items_.print);
    }
}

QString PrintMenu::askPdfFile(const QString& name) {
    const QString folder = ctx_.host.documentsFolder();
    FileRequest request;
    request.directory = folder;
    request.fileName = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    request.filters = {QStringLiteral("PDF (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> chosen = ctx_.dialogs.saveFile(&window_, request);
    if (!chosen || chosen->isEmpty()) return {};
    QString file = *chosen;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
    if (!mayOverwrite(ctx_.dialogs, &window_, file, ctx_.session.Sprache)) return {};
    return file;
}

void PrintMenu::writePdf(const QString& file, const std::vector<print::PrintJob>& jobs) {
    QString reason;
    if (!WritePdf(file, jobs, &reason)) {
        ctx_.dialogs.warning(&window_, QString::fromStdString(ctx_.text(7)) + " " +
                                           QDir::toNativeSeparators(file) + "\n" + reason);
        return;
    }
    ShowFileWritten(&window_, ctx_.text(kFileWrittenText), file);
}

void PrintMenu::mnu_ExportPdfClick(QAction* item) {
    const bool plan = item == mnu_ExportKlemmenplanPdf;
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    if (!DeviceAvailable(ctx_.link, ctx_.device)) return;
    const QString file = askPdfFile(QString::fromUtf8(plan ? print::kTerminalPlanJobTitle.data()
                                                           : print::kParameterJobTitle.data()));
    if (file.isEmpty()) return;
    ctx_.ui.busyCursor(true);
    auto restore = qScopeGuard([this] { ctx_.ui.busyCursor(false); });
    if (ctx_.session.Online) ReadAllParameters(ctx_.link, ctx_.image);
    writePdf(file, jobsFor(plan, 1, header()));
}

void PrintMenu::mnu_InbetriebnahmeClick() {
    auto busy = ctx_.busy.tryHold();
    if (!busy) return;
    if (!DeviceAvailable(ctx_.link, ctx_.device)) return;
    const QString file = askPdfFile(QString::fromStdString(ctx_.text(kRecordFileText)));
    if (file.isEmpty()) return;
    ctx_.ui.busyCursor(true);
    auto restore = qScopeGuard([this] { ctx_.ui.busyCursor(false); });
    Link& link = ctx_.link;
    DeviceState& device = ctx_.device;
    print::DeviceIdentity identity;
    print::PrintHeader h;
    if (ctx_.session.Online) {
        // The record holds only what the device holds: a read that fails
        // writes no record.
        const std::string now = QDateTime::currentDateTime()
                                    .toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                                    .toStdString();
        if (!print::ReadRecordIdentity(link, ctx_.image, device, now, identity)) {
            host_.showDeviceUnreadable();
            return;
        }
        h = header();
        h.source.serialNo = device.DeviceSerialNo;
    } else {
        identity.fileName = host_.loadedFileText().toStdString();
        h = header();
        identity.serialNo = device.DeviceSerialNo;
    }
    writePdf(file, {print::CommissioningRecordJob(ctx_.image, ctx_.session.Medium, pageTexts(), h,
                                                  identity, ctx_.session.Sprache)});
}

}  // namespace parvion::gui
