#pragma once
// The print commands of the main window's parameter menu: the preview and
// the printing of the parameter printout and the terminal plan (one handler,
// mnu_DruckenClick, for the four items), the export of either straight to a
// PDF, and the commissioning record. The pages come from core/print; this
// class only asks, reads the device through the core and draws.

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

#include "core/edit/page_commands.h"
#include "core/print/printouts.h"

class QAction;
class QMenu;
class QPrinter;
class QWidget;

namespace parvion::gui {

class Tsansicht;
struct PageContext;

// What the print menu asks of the window it sits in, beside what the pages
// share (PageContext).
class PrintHost {
  public:
    virtual ~PrintHost() = default;
    // Where the parameters shown come from offline (the loaded file's name
    // as the status bar shows it): the printout's source line.
    virtual QString loadedFileText() const = 0;
    // The device's parameters could not be read: the window says so.
    virtual void showDeviceUnreadable() = 0;
};

// The window's menu the print items join, and its four print items.
struct PrintMenuItems {
    QMenu* menu = nullptr;
    QAction* preview = nullptr;
    QAction* print = nullptr;
    QAction* planPreview = nullptr;
    QAction* planPrint = nullptr;
};

// Runs the print dialog for the printer; true when the user confirmed.
using PrintDialogRunner = std::function<bool(QPrinter& printer, QWidget* parent)>;

// Prints the jobs: one printer job each, with the job's title as document
// name; when the printer writes a PDF file, all jobs go into that one file
// (separate jobs would overwrite each other's file). `step` runs after each
// page. False when the printer cannot be opened.
bool PrintJobs(QPrinter& printer, const std::vector<print::PrintJob>& jobs,
               const std::function<void()>& step = {});

class PrintMenu : public QObject {
    Q_OBJECT
  public:
    // Adds its own items to the window's parameter menu. A null runner:
    // the real print dialog.
    PrintMenu(QWidget& window, PageContext& context, PrintHost& host, const PrintMenuItems& items,
              PrintDialogRunner runDialog);

    // Shared by mnu_Seitenansicht, mnu_Drucken, mnu_Klemmenplan and
    // mnu_PrintKlemmenplan.
    void mnu_DruckenClick(QAction* item);
    // mnu_ExportPdf (the printout) and mnu_ExportKlemmenplanPdf (the plan).
    void mnu_ExportPdfClick(QAction* item);
    void mnu_InbetriebnahmeClick();

    // Captions in the program's language.
    void updateTexts();

    Tsansicht* preview() const { return sansicht_; }

    QAction* mnu_ExportPdf = nullptr;
    QAction* mnu_ExportKlemmenplanPdf = nullptr;
    QAction* mnu_Inbetriebnahme = nullptr;

  private:
    edit::PageTexts pageTexts() const;
    // Online it reads the serial number first.
    print::PrintHeader header();
    std::vector<print::PrintJob> jobsFor(bool plan, int copies, const print::PrintHeader& h);
    // The save dialog for a PDF in the documents folder; empty when cancelled
    // or not to be overwritten.
    QString askPdfFile(const QString& name);
    void writePdf(const QString& file, const std::vector<print::PrintJob>& jobs);

    QWidget& window_;
    PageContext& ctx_;
    PrintHost& host_;
    PrintMenuItems items_;
    PrintDialogRunner runDialog_;
    Tsansicht* sansicht_ = nullptr;
};

}  // namespace parvion::gui
