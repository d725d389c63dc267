#pragma once
// The message boxes and file dialogs of the main window, behind one small
// interface so that the window tests can answer them without a modal loop.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/edit/parameter_compare.h"

class QWidget;

namespace parvion::gui {

// "The file could not be read:", before the cause, in any window.
inline constexpr std::uint16_t kFileUnreadableText = 22659;

struct FileRequest {
    QString directory;
    QString fileName;       // preset name, may be empty
    QStringList filters;    // "Gas Parameter (*.PGA)", ...
    QString defaultSuffix;  // "PGA"
};

// What the comparison of a parameter set with a file shows: the captions
// from the string library and the rows, grouped by page.
struct ComparisonView {
    QString title;
    QStringList headers;  // section, key, left side (device or program), file
    QString labelHeader;  // the column of what the page calls the field
    QString countLabel;   // "Differences:" (the count follows)
    QString writeText;    // the write button; empty: only a close button
    QString closeText;    // cancel (with write) or close
    std::vector<edit::ComparisonRow> rows;
};

// The button of a question that Enter presses. A question whose Yes
// overwrites the device or a file has No: a stray Enter changes nothing.
enum class DefaultAnswer { Yes, No };

// A question before work is lost: keep it (save or send), discard it, or go
// back (Cancel: the default button and Escape).
struct KeepWorkQuestion {
    QString text;
    QString keep;  // "Save" or "Send"
    QString discard;
    QString cancel;
};
enum class KeepWorkAnswer { Keep, Discard, Cancel };
// Texts of the question (string libraries): the main window's question
// before unsaved work is lost, and the buttons (the table editors use them
// too, with "Send" online).
inline constexpr std::uint16_t kUnsavedCloseText = 22800;
inline constexpr std::uint16_t kSaveButtonText = 22801;
inline constexpr std::uint16_t kDiscardButtonText = 22802;
inline constexpr std::uint16_t kCancelButtonText = 22803;
inline constexpr std::uint16_t kSendButtonText = 22804;

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Information box with Yes and No; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, DefaultAnswer byDefault) = 0;
    // Warning box with OK and Cancel; true for OK. It asks before an
    // overwrite, so Cancel is the default button.
    virtual bool askOkCancel(QWidget* parent, const QString& title, const QString& text) = 0;
    // Information box with OK.
    virtual void information(QWidget* parent, const QString& text) = 0;
    // Warning box with OK.
    virtual void warning(QWidget* parent, const QString& text) = 0;
    // Error box with OK, or with a single Yes button.
    virtual void error(QWidget* parent, const QString& text, bool yesButton) = 0;
    // A file to open (must exist) or to save; nothing when cancelled.
    virtual std::optional<QString> openFile(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const FileRequest& request) = 0;
    // The comparison table; true when the user chose to write (only
    // offered when view.writeText is set).
    virtual bool showComparison(QWidget* parent, const ComparisonView& view) = 0;
    virtual KeepWorkAnswer askKeepWork(QWidget* parent, const KeepWorkQuestion& question) = 0;
};

// True when the file may be written: it does not exist yet, or the user
// confirmed "Datei überschreiben ?" (warning "Warnung", OK and Cancel); in
// English (`sprache` 1) "Overwrite the file?" ("Warning"), as the graph
// window asks.
bool mayOverwrite(Dialogs& dialogs, QWidget* parent, const QString& file, int sprache);

// The real boxes and dialogs.
class QtDialogs : public Dialogs {
  public:
    bool askYesNo(QWidget* parent, const QString& text, DefaultAnswer byDefault) override;
    bool askOkCancel(QWidget* parent, const QString& title, const QString& text) override;
    void information(QWidget* parent, const QString& text) override;
    void warning(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text, bool yesButton) override;
    std::optional<QString> openFile(QWidget* parent, const FileRequest& request) override;
    std::optional<QString> saveFile(QWidget* parent, const FileRequest& request) override;
    bool showComparison(QWidget* parent, const ComparisonView& view) override;
    KeepWorkAnswer askKeepWork(QWidget* parent, const KeepWorkQuestion& question) override;
};

}  // namespace parvion::gui
