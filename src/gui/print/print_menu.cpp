#include "gui/print/print_menu.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>

#include "core/link/connect.h"
#include "core/link/data_commands.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/value_format.h"
#include "gui/app/dialogs.h"
#include "gui/app/file_written.h"
#include "gui/app/main_window.h"
#include "gui/print/page_renderer.h"
#include "gui/print/sansicht.h"

namespace parvion::gui {

namespace {

// The preview and the printout wait this long before the progress bar goes.
constexpr int kFinishWaitMs = 100;

struct MenuTexts {
    const char* exportPdf;
    const char* record;
    const char* recordFile;
};
constexpr MenuTexts kGerman = {"PDF exportieren...", "Inbetriebnahmeprotokoll...",
                               "Inbetriebnahmeprotokoll"};
constexpr MenuTexts kEnglish = {"Export PDF...", "Commissioning record...", "Commissioning record"};

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

PrintMenu::PrintMenu(Tfrm_Main& main, Dialogs& dialogs, PrintDialogRunner runDialog)
    : QObject(&main), main_(main), dialogs_(dialogs), runDialog_(std::move(runDialog)) {
    setObjectName(QStringLiteral("PrintMenu"));
    if (!runDialog_) runDialog_ = RunPrintDialog;
    sansicht_ = new Tsansicht(&main);

    QMenu* menu = main.mnu_Parameter;
    auto add = [menu](QAction* after, const char* name) {
        auto* a = new QAction(menu);
        a->setObjectName(QString::fromLatin1(name));
        menu->insertAction(After(menu, after), a);
        return a;
    };
    mnu_ExportPdf = add(main.mnu_Drucken, "mnu_ExportPdf");
    mnu_ExportKlemmenplanPdf = add(main.mnu_PrintKlemmenplan, "mnu_ExportKlemmenplanPdf");
    mnu_Inbetriebnahme = add(mnu_ExportKlemmenplanPdf, "mnu_Inbetriebnahme");
    for (QAction* a : {main.mnu_Seitenansicht, main.mnu_Drucken, main.mnu_Klemmenplan,
                       main.mnu_PrintKlemmenplan}) {
        connect(a, &QAction::triggered, this, [this, a] { mnu_DruckenClick(a); });
    }
    for (QAction* a : {mnu_ExportPdf, mnu_ExportKlemmenplanPdf}) {
        connect(a, &QAction::triggered, this, [this, a] { mnu_ExportPdfClick(a); });
    }
    connect(mnu_Inbetriebnahme, &QAction::triggered, this, &PrintMenu::mnu_InbetriebnahmeClick);
    connect(menu, &QMenu::aboutToShow, this, &PrintMenu::updateTexts);
    updateTexts();
}

bool PrintMenu::english() const {
    return main_.session().Sprache == 1;
}

void PrintMenu::updateTexts() {
    const MenuTexts& t = english() ? kEnglish : kGerman;
    mnu_ExportPdf->setText(QString::fromUtf8(t.exportPdf));
    mnu_ExportKlemmenplanPdf->setText(QString::fromUtf8(t.exportPdf));
    mnu_Inbetriebnahme->setText(QString::fromUtf8(t.record));
    // The plan's print item has no text of its own in the string library: it
    // takes that of the printout's, so that it follows the language.
    main_.mnu_PrintKlemmenplan->setText(main_.mnu_Drucken->text());
}

edit::PageTexts PrintMenu::pageTexts() const {
    Tfrm_Main* m = &main_;
    return {[m](std::uint16_t first, std::uint8_t width, views::TextBlock& block) {
                return m->LoadTextBlock(first, width, block);
            },
            [m](std::uint16_t n) { return m->LoadText(n); },
            [m](std::uint8_t q, bool withUnit, bool trim, float v) {
                return FormatValue(m->image(), m->session().Medium, q, withUnit, trim, v);
            }};
}

print::PrintHeader PrintMenu::header() {
    print::PrintHeader h;
    h.dateTime = QLocale::system()
                     .toString(QDateTime::currentDateTime(), QLocale::ShortFormat)
                     .toStdString();
    if (main_.session().Online) {
        // A failed read leaves the serial number read before.
        ReadDeviceSerialNo(main_.link(), main_.device().DeviceSerialNo);
        h.source.online = true;
        h.source.serialNo = main_.device().DeviceSerialNo;
    } else {
        h.source.statusText = main_.statusPanelText(0).toStdString();
    }
    return h;
}

std::vector<print::PrintJob> PrintMenu::jobsFor(bool plan, int copies,
                                                const print::PrintHeader& h) {
    if (plan) return print::TerminalPlanJobs(main_.image(), pageTexts(), h, copies);
    // The copies chosen in the print dialog are made here too, each with its
    // remarks page, rather than dropped.
    const print::PrintJob job =
        print::ParameterPrintoutJob(main_.image(), main_.session().Medium, pageTexts(), h);
    return std::vector<print::PrintJob>(static_cast<std::size_t>(std::max(copies, 1)), job);
}

void PrintMenu::mnu_DruckenClick(QAction* item) {
    const bool preview = item == main_.mnu_Seitenansicht || item == main_.mnu_Klemmenplan;
    const bool plan = item == main_.mnu_Klemmenplan || item == main_.mnu_PrintKlemmenplan;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    {
        auto busy = main_.busyGuard().tryHold();
        if (!busy) return;
        if (!DeviceAvailable(main_.link(), main_.device())) return;
        int copies = 1;
        if (!preview) {
            printer.setCopyCount(1);
            if (!runDialog_(printer, &main_)) return;
            // Every copy is a job of its own; the printer must not copy again.
            copies = std::max(1, printer.copyCount());
            printer.setCopyCount(1);
        }
        main_.busyCursor(true);
        auto restore = qScopeGuard([this] {
            main_.waitMs(kFinishWaitMs);
            main_.progressHide();
            main_.busyCursor(false);
        });
        if (main_.session().Online) ReadAllParameters(main_.link(), main_.image());
        const std::vector<print::PrintJob> jobs = jobsFor(plan, copies, header());
        main_.progressStart(static_cast<int>(PageCount(jobs)));
        if (preview) {
            const double dpiX = main_.logicalDpiX();
            const double dpiY = main_.logicalDpiY();
            sansicht_->setPicture(PreviewImage(jobs.front().pages.front(),
                                               PreviewSize(printer.pageLayout(), dpiX, dpiY), dpiX,
                                               dpiY));
            main_.progressStep();
        } else if (!PrintJobs(printer, jobs, [this] { main_.progressStep(); })) {
            const QString where = printer.outputFileName().isEmpty() ? printer.printerName()
                                                                     : printer.outputFileName();
            dialogs_.warning(&main_, QString::fromStdString(main_.LoadText(7)) + " " + where);
            return;
        }
    }
    if (preview) {
        // The window speaks the language in force: its caption is the menu
        // item's ("Seitenansicht", "Print preview").
        sansicht_->setWindowTitle(main_.mnu_Seitenansicht->text().remove(QLatin1Char('&')));
        sansicht_->exec();
    }
}

QString PrintMenu::askPdfFile(const QString& name) {
    const QString folder = main_.documentsFolder();
    FileRequest request;
    request.directory = folder;
    request.fileName = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    request.filters = {QStringLiteral("PDF (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    const std::optional<QString> chosen = dialogs_.saveFile(&main_, request);
    if (!chosen || chosen->isEmpty()) return {};
    QString file = *chosen;
    if (!file.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) file += QStringLiteral(".pdf");
    if (!mayOverwrite(dialogs_, &main_, file, main_.session().Sprache)) return {};
    return file;
}

void PrintMenu::writePdf(const QString& file, const std::vector<print::PrintJob>& jobs) {
    QString reason;
    if (!WritePdf(file, jobs, &reason)) {
        dialogs_.warning(&main_, QString::fromStdString(main_.LoadText(7)) + " " +
                                     QDir::toNativeSeparators(file) + "\n" + reason);
        return;
    }
    ShowFileWritten(&main_, main_.LoadText(kFileWrittenText), file);
}

void PrintMenu::mnu_ExportPdfClick(QAction* item) {
    const bool plan = item == mnu_ExportKlemmenplanPdf;
    auto busy = main_.busyGuard().tryHold();
    if (!busy) return;
    if (!DeviceAvailable(main_.link(), main_.device())) return;
    const QString file = askPdfFile(QString::fromUtf8(plan ? print::kTerminalPlanJobTitle.data()
                                                           : print::kParameterJobTitle.data()));
    if (file.isEmpty()) return;
    main_.busyCursor(true);
    auto restore = qScopeGuard([this] { main_.busyCursor(false); });
    if (main_.session().Online) ReadAllParameters(main_.link(), main_.image());
    writePdf(file, jobsFor(plan, 1, header()));
}

void PrintMenu::mnu_InbetriebnahmeClick() {
    auto busy = main_.busyGuard().tryHold();
    if (!busy) return;
    if (!DeviceAvailable(main_.link(), main_.device())) return;
    const QString file = askPdfFile(QString::fromUtf8((english() ? kEnglish : kGerman).recordFile));
    if (file.isEmpty()) return;
    main_.busyCursor(true);
    auto restore = qScopeGuard([this] { main_.busyCursor(false); });
    Link& link = main_.link();
    DeviceState& device = main_.device();
    print::DeviceIdentity identity;
    print::PrintHeader h;
    if (main_.session().Online) {
        // The record holds only what the device holds: a read that fails
        // writes no record.
        const std::string now = QDateTime::currentDateTime()
                                    .toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                                    .toStdString();
        if (!print::ReadRecordIdentity(link, main_.image(), device, now, identity)) {
            main_.showDeviceUnreadable();
            return;
        }
        h = header();
        h.source.serialNo = device.DeviceSerialNo;
    } else {
        identity.fileName = main_.statusPanelText(0).toStdString();
        h = header();
        identity.serialNo = device.DeviceSerialNo;
    }
    writePdf(file,
             {print::CommissioningRecordJob(main_.image(), main_.session().Medium, pageTexts(), h,
                                            identity, main_.session().Sprache)});
}

}  // namespace parvion::gui
