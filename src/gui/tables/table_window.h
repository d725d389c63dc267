#pragma once
// What the two table editors share: the file menu (new, open, save, read
// from and send to the device), the grid's context menu with the clipboard,
// the state that outlives the window (file name, not-transmitted and
// not-saved flags), the questions on closing and the hourglass. The grids,
// their rules and files live in core/tables; Tfrm_Tabelle and
// Tfrm_UserSatTab add their grid and its editing.

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "core/tables/table_file.h"
#include "core/tables/table_transfer.h"
#include "core/views/text_source.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTableView;

namespace parvion::gui {

struct PageContext;
class TableGridModel;

class TableWindow : public QDialog {
    Q_OBJECT
  public:
    // Shows the window modally with the caption of the line that opened it
    // and its Tag (the property table's selector); returns when it closed.
    int open(int tag, const QString& caption);

    int Tag() const { return tag_; }
    const QString& fileName() const { return fileName_; }
    bool notTransmitted() const { return notTransmitted_; }
    bool notSaved() const { return notSaved_; }
    TableGridModel* model() const { return model_; }

    // Menu captions from the string library (left as they are when the
    // block is missing).
    virtual void updateTexts();

    QMenuBar* Menu = nullptr;
    QMenu* Datei1 = nullptr;
    QAction* mnu_Neu = nullptr;
    QAction* mnu_Load = nullptr;
    QAction* mnu_Store1 = nullptr;
    QAction* N1 = nullptr;
    QAction* mnu_Receive = nullptr;
    QAction* mnu_Transmit = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* mnu_Kopieren = nullptr;
    QAction* mnu_Einfuegen = nullptr;
    QAction* mnu_Loeschen = nullptr;
    QTableView* TabGrid = nullptr;
    // Below the grid: whether the last read or send of the table succeeded,
    // and why not.
    QLabel* TransferNote = nullptr;

  public slots:
    virtual void FormActivate() = 0;
    // The question before a changed table is left: send (online) or save
    // (offline), discard, or go back to editing. True when the window may
    // close: the table was sent or saved, or discarded.
    bool FormDeactivate();
    virtual void TabGridDblClick() = 0;
    virtual void mnu_NeuClick() = 0;
    void mnu_LoadClick();
    void mnu_Store1Click();
    virtual void mnu_ReceiveClick() = 0;
    void mnu_TransmitClick();
    void mnu_KopierenClick();
    void mnu_EinfuegenClick();
    void mnu_LoeschenClick();

  protected:
    TableWindow(PageContext& context, const QString& objectName, QWidget* parent);
    // Builds menus and grid; the derived class calls it with its model.
    void build(TableGridModel* model, int columnWidth);
    void done(int result) override;

    virtual tables::TableKind kind() const = 0;
    virtual tables::FileResult loadFile(const std::string& file) = 0;
    virtual tables::FileResult saveFile(const std::string& file) = 0;
    // Converts the grid and sends it; cells the loaded file did not hold
    // only after confirmMissing.
    virtual tables::TransmitResult transmitGrid() = 0;
    // The question before a grid with missing cells is sent, naming them;
    // true for Yes.
    bool confirmMissing(const std::vector<std::string>& keys);
    // Whether the clipboard may read or clear the current cell.
    virtual bool cellHoldsData(int col, int row) const = 0;
    virtual std::string pasteText(const std::string& clipboard, int col, int row) const = 0;

    // Opening, shared part: forgets a file name of another extension, sets
    // the flag and enables the device items. Online when it returns true.
    bool openCommon();
    // Sends the grid; false when it was not sent (a bad cell has its
    // message shown). Cells the loaded file did not hold are sent as 0 only
    // after a Yes to the question that names them; *declined says it was No.
    bool transmit(bool* declined = nullptr);
    // True when the file was written.
    bool save();
    void setBothFlags() {
        notTransmitted_ = true;
        notSaved_ = true;
    }
    // Says in the window how a read (received) or a send of the table went;
    // a failure names the link's cause, or `cause` when given.
    void showTransfer(bool received, bool ok, const std::string& cause = {});
    std::string text(std::uint16_t number) const;
    views::TextLoader textLoader() const;
    void showMessage(const std::string& message);
    // The current cell; col -1 when none.
    std::pair<int, int> current() const;

    class Hourglass {
      public:
        explicit Hourglass(TableWindow& w);
        ~Hourglass();
        Hourglass(const Hourglass&) = delete;
        Hourglass& operator=(const Hourglass&) = delete;

      private:
        TableWindow& w_;
    };

    PageContext& ctx_;
    TableGridModel* model_ = nullptr;
    int tag_ = 0;
    QString fileName_;
    bool notTransmitted_ = false;
    bool notSaved_ = false;
};

}  // namespace parvion::gui
