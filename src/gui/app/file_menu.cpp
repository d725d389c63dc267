// The parameter menu: new parameter set, load and save a parameter file, the
// recent files; and parameter files that come from outside the menu (the
// command line, a second start, a drop).

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "core/app/connection.h"
#include "core/app/recent_files.h"
#include "core/edit/parameter_compare.h"
#include "core/edit/parameter_transfer.h"
#include "core/link/connect.h"
#include "core/link/parameter_blocks.h"
#include "core/link/transport.h"
#include "core/model/defaults.h"
#include "core/model/parameter_file.h"
#include "core/model/text_file.h"
#include "core/model/variant.h"
#include "core/views/text_source.h"
#include "gui/app/main_window.h"
#include "gui/shared/dialogs.h"
#include "gui/shared/file_written.h"
#include "gui/shared/widgets.h"

namespace parvion::gui {

namespace {

QStringList qtFilters(const std::vector<FileFilter>& filters) {
    QStringList out;
    for (const FileFilter& f : filters) out << QString::fromStdString(f.label);
    return out;
}

}  // namespace

void Tfrm_Main::showParameterFileName(const QString& file) {
    statusText(0, ShortenFileName(QDir::toNativeSeparators(file).toStdString()));
}

void Tfrm_Main::mnu_NeuClick() {
    // New parameters write the whole device: one sequence, guarded like the
    // others.
    auto busy = busy_.tryHold();
    if (!busy) return;
    [&] {
        if (!DeviceAvailable(*link_, *device_)) return;
        const bool online = session_.Online;
        if (online &&
            !dialogs_->askYesNo(this, QString::fromStdString(LoadText(16)), DefaultAnswer::No)) {
            return;
        }
        if (online) {
            if (!ReadSystem(*link_, image_)) {
                showDeviceUnreadable();
                return;
            }
            ResetParameters(image_, session_.Medium, true);
            unsaved_.saved(image_);
            statusText(0, "");
            redisplayPages();
            writeParameterSet(QString());
        } else {
            ResetParameters(image_, session_.Medium, false);
            unsaved_.saved(image_);
            statusText(0, "");
            redisplayPages();
        }
    }();
    // Whether the sequence ran to its end or stopped early (device check,
    // question answered No), the visible page shows what the image holds.
    refreshVisiblePage();
}

std::optional<QString> Tfrm_Main::askParameterFileToOpen() {
    FileRequest request;
    request.directory = lastParameterFolder_;
    request.filters = qtFilters(OpenDialogFilters(session_.Medium));
    request.defaultSuffix = QString::fromStdString(ParameterFileExtension(session_.Medium));
    return dialogs_->openFile(this, request);
}

bool Tfrm_Main::readParameterFile(ParameterImage& candidate, QString& file,
                                  const std::optional<QString>& given) {
    // The file is chosen before anything is read, and prepared in a copy of
    // the image: a cancelled dialog or a refused file changes nothing.
    const std::optional<QString> chosen = given ? given : askParameterFileToOpen();
    if (!chosen) return false;
    const QFileInfo info(*chosen);
    lastParameterFolder_ = info.absolutePath();

    const std::filesystem::path path = info.absoluteFilePath().toStdString();
    edit::FileForDevice prepared = edit::PrepareParameterFile(*link_, image_, path);
    if (prepared.status == edit::FileForDevice::Status::DeviceUnreadable) {
        showDeviceUnreadable();
        return false;
    }
    const ParameterFileResult& result = prepared.file;
    switch (result.status) {
        case ParameterFileStatus::Ok:
            break;
        case ParameterFileStatus::WrongVariant:
            dialogs_->information(this, QString::fromStdString(LoadText(4)));
            return false;
        case ParameterFileStatus::NotANumber:
            dialogs_->warning(this, QString::fromStdString(LoadText(6) + result.detail(path)));
            return false;
        case ParameterFileStatus::FileError:
            // A file that is missing or cannot be read, not one that cannot
            // be written (text 7).
            dialogs_->warning(
                this, QString::fromStdString(LoadText(kFileUnreadableText) + result.detail(path)));
            return false;
    }
    if (!result.missingKeys.empty()) {
        // Said before the set is shown, compared or sent.
        dialogs_->information(
            this, QString::fromStdString(views::FillPlaceholders(
                      LoadText(kMissingKeysText),
                      {info.fileName().toStdString(), std::to_string(result.missingKeys.size()),
                       ListMissingKeys(result.missingKeys)})));
    }
    candidate = std::move(prepared.image);
    file = info.absoluteFilePath();
    return true;
}

void Tfrm_Main::takeParameterFile(ParameterImage candidate, const QString& file,
                                  const QString& snapshot) {
    if (snapshot.isEmpty()) {
        saveFileName_ = QString::fromStdString(
            WithParameterExtension(file.toStdString(), session_.Medium).string());
        showParameterFileName(file);
        rememberRecentFile(file);
    } else {
        statusText(0, snapshot.toStdString());
    }
    image_ = std::move(candidate);
    unsaved_.saved(image_);
    redisplayPages();
}

void Tfrm_Main::showDeviceUnreadable() {
    const auto text = [this](std::uint16_t n) { return LoadText(n); };
    dialogs_->warning(
        this, QString::fromStdString(LoadText(edit::compare_text::kDeviceUnreadable) + "\n" +
                                     LinkFailureText(link_->lastFailure(), text)));
}

namespace {
// What a whole-set write that failed says (string libraries).
constexpr std::uint16_t kWrittenBlocksText = 22807;    // "Written: %1"
constexpr std::uint16_t kNothingWrittenText = 22808;   // "Nothing was written."
constexpr std::uint16_t kWriteAgainText = 22809;       // the offer to write again
constexpr std::uint16_t kFileNotOnDeviceText = 22810;  // "%1: not completely written ..."
constexpr std::uint16_t kSetNotOnDeviceText = 22811;   // the same for a new set
}  // namespace

bool Tfrm_Main::writeParameterSet(const QString& source) {
    const edit::SetWritten written = edit::WriteParameterSet(*link_, image_);
    if (written.ok() && session_.Online) {
        rewritePending_ = false;
        return true;
    }
    const auto text = [this](std::uint16_t n) { return LoadText(n); };
    std::string blocks;
    for (const std::string& b : written.written) blocks += (blocks.empty() ? "" : ", ") + b;
    const std::string message =
        views::FillPlaceholders(LoadText(edit::kWriteSetFailedText),
                                {LinkFailureText(link_->lastFailure(), text)}) +
        "\n\n" +
        (blocks.empty() ? LoadText(kNothingWrittenText)
                        : views::FillPlaceholders(LoadText(kWrittenBlocksText), {blocks}));
    // The file is not what the device holds.
    statusText(0, source.isEmpty()
                      ? LoadText(kSetNotOnDeviceText)
                      : views::FillPlaceholders(
                            LoadText(kFileNotOnDeviceText),
                            {ShortenFileName(QDir::toNativeSeparators(source).toStdString())}));
    dialogs_->warning(this, QString::fromStdString(message));
    if (dialogs_->askYesNo(this, QString::fromStdString(LoadText(kWriteAgainText)),
                           DefaultAnswer::No)) {
        rewritePending_ = true;
        rewriteSource_ = source;
        // A device that answers again is written at once; a lost port once
        // it has been connected again.
        QTimer::singleShot(0, this, &Tfrm_Main::writeAgainIfConnected);
    }
    return false;
}

void Tfrm_Main::writeAgainIfConnected() {
    if (!rewritePending_ || !session_.Online) return;
    auto busy = busy_.tryHold();
    if (!busy) {
        QTimer::singleShot(200, this, &Tfrm_Main::writeAgainIfConnected);
        return;
    }
    // Not there yet: waits for the next connection.
    if (!DeviceAvailable(*link_, *device_)) return;
    rewritePending_ = false;
    if (writeParameterSet(rewriteSource_)) {
        if (rewriteSource_.isEmpty()) {
            statusText(0, "");
        } else {
            showParameterFileName(rewriteSource_);
        }
    }
    refreshVisiblePage();
}

void Tfrm_Main::rememberRecentFile(const QString& file) {
    AddRecentFile(recentFiles_, std::filesystem::path(file.toStdString()));
}

void Tfrm_Main::refreshRecentMenu() {
    DropMissingRecentFiles(recentFiles_);
    mnu_Zuletzt->clear();
    const QFontMetrics metrics(mnu_Zuletzt->font());
    for (std::size_t i = 0; i < recentFiles_.size(); ++i) {
        const QString path =
            QDir::toNativeSeparators(QString::fromStdString(recentFiles_[i].string()));
        // "&1 /home/…/station7.PGA": the number is the key, the name stays whole.
        const QString shown = metrics.elidedText(path, Qt::ElideMiddle, 420);
        QAction* item = mnu_Zuletzt->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        item->setObjectName(QStringLiteral("mnu_Zuletzt%1").arg(i + 1));
        item->setToolTip(path);
        connect(item, &QAction::triggered, this, [this, path] { openParameterFile(path); });
    }
    if (recentFiles_.empty()) {
        QAction* none = mnu_Zuletzt->addAction(qs(LoadText(kRecentNoneText)));
        none->setObjectName(QStringLiteral("mnu_ZuletztLeer"));
        none->setEnabled(false);
        return;
    }
    mnu_Zuletzt->addSeparator();
    QAction* clear = mnu_Zuletzt->addAction(qs(LoadText(kRecentClearText)));
    clear->setObjectName(QStringLiteral("mnu_ZuletztLoeschen"));
    connect(clear, &QAction::triggered, this, [this] { recentFiles_.clear(); });
}

void Tfrm_Main::openParameterFile(const QString& file) {
    pendingFiles_.push_back(file);
    openPendingFiles();
}

void Tfrm_Main::openPendingFiles() {
    if (pendingFiles_.isEmpty()) return;
    // Never inside a device sequence or a dialog, nor before the window has
    // started: tried again shortly.
    if (!formReady_ || busy_.held() || QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr) {
        pendingTimer_->start();
        return;
    }
    loadParameterSet(pendingFiles_.takeFirst());
    if (!pendingFiles_.isEmpty()) pendingTimer_->start();
}

void Tfrm_Main::raiseWindow() {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
}

namespace {

// The first local parameter file (.PGA, .PEG, .PAR, any case) of a drag.
QString DroppedParameterFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) continue;
        const QString file = url.toLocalFile();
        const QString suffix = QFileInfo(file).suffix().toUpper();
        if (suffix == QLatin1String("PGA") || suffix == QLatin1String("PEG") ||
            suffix == QLatin1String("PAR")) {
            return file;
        }
    }
    return {};
}

}  // namespace

bool Tfrm_Main::takeFileDrop(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = DroppedParameterFile(drop->mimeData());
    if (file.isEmpty()) return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // The load asks its questions after the drop has ended.
    if (type == QEvent::Drop) {
        QTimer::singleShot(0, this, [this, file] { openParameterFile(file); });
    }
    return true;
}

bool Tfrm_Main::readDeviceParameters(ParameterImage& device) {
    device = image_;
    const int before = link_->failedTransactions();
    ReadAllParameters(*link_, device);
    return link_->failedTransactions() == before && session_.Online;
}

ComparisonView Tfrm_Main::comparisonView(const ParameterImage& left, const ParameterImage& file,
                                         bool offerWrite, const QString& rightHead) const {
    namespace ct = edit::compare_text;
    auto text = [this](std::uint16_t n) { return QString::fromStdString(LoadText(n)); };
    ComparisonView view;
    view.title = text(ct::kTitle);
    view.headers = {text(ct::kSection), text(ct::kKey),
                    text(session_.Online ? ct::kDevice : ct::kProgram),
                    rightHead.isEmpty() ? text(ct::kFile) : rightHead};
    view.labelHeader = text(ct::kLabel);
    view.countLabel = text(ct::kCount);
    if (offerWrite) view.writeText = text(ct::kWrite);
    view.closeText = text(offerWrite ? ct::kCancel : ct::kClose);
    view.rows = edit::CompareParameterSets(left, file, session_.Medium,
                                           [this](std::uint16_t n) { return LoadText(n); });
    return view;
}

void Tfrm_Main::mnu_LadenClick() {
    loadParameterSet(std::nullopt);
}

void Tfrm_Main::loadParameterSet(const std::optional<QString>& given) {
    loadParameterSet(given, {});
}

void Tfrm_Main::loadParameterSet(const std::optional<QString>& given, const QString& snapshot) {
    auto busy = busy_.tryHold();
    if (!busy) return;
    [&] {
        if (!DeviceAvailable(*link_, *device_)) return;
        const bool online = session_.Online;
        if (online &&
            !dialogs_->askYesNo(this, QString::fromStdString(LoadText(16)), DefaultAnswer::No)) {
            return;
        }
        ParameterImage candidate;
        QString file;
        if (!readParameterFile(candidate, file, given)) return;
        if (online && session_.CompareBeforeWrite) {
            // What the write would change, shown first; cancelled, the
            // device gets nothing and the image is as it was.
            ParameterImage device;
            if (!readDeviceParameters(device)) {
                showDeviceUnreadable();
                return;
            }
            const ComparisonView view = comparisonView(device, candidate, true, snapshot);
            if (view.rows.empty()) {
                takeParameterFile(std::move(candidate), file, snapshot);
                dialogs_->information(
                    this,
                    QString::fromStdString(LoadText(edit::compare_text::kAgreeNothingWritten)));
                return;
            }
            if (!dialogs_->showComparison(this, view)) return;
        }
        takeParameterFile(std::move(candidate), file, snapshot);
        if (online) writeParameterSet(snapshot.isEmpty() ? file : snapshot);
    }();
    // Also after a load that stopped early (device check, question, file
    // refused or cancelled, comparison cancelled): the visible page shows
    // what the image holds.
    refreshVisiblePage();
}

void Tfrm_Main::mnu_VergleichenClick() {
    auto busy = busy_.tryHold();
    if (!busy) return;
    if (!DeviceAvailable(*link_, *device_)) return;
    ParameterImage candidate;
    QString file;
    if (!readParameterFile(candidate, file)) return;
    ParameterImage left = image_;
    if (session_.Online && !readDeviceParameters(left)) {
        showDeviceUnreadable();
        return;
    }
    const ComparisonView view = comparisonView(left, candidate, false);
    if (view.rows.empty()) {
        dialogs_->information(this,
                              QString::fromStdString(LoadText(edit::compare_text::kNoDifferences)));
        return;
    }
    dialogs_->showComparison(this, view);
}

void Tfrm_Main::compareParameterSet(const ParameterImage& set, const QString& caption) {
    auto busy = busy_.tryHold();
    if (!busy) return;
    if (!DeviceAvailable(*link_, *device_)) return;
    ParameterImage left = image_;
    if (session_.Online && !readDeviceParameters(left)) {
        showDeviceUnreadable();
        return;
    }
    const ComparisonView view = comparisonView(left, set, false, caption);
    if (view.rows.empty()) {
        dialogs_->information(this,
                              QString::fromStdString(LoadText(edit::compare_text::kNoDifferences)));
        return;
    }
    dialogs_->showComparison(this, view);
}

void Tfrm_Main::writeParameterText(const std::string& text, int medium, const QString& caption) {
    // The load reads files: the text goes through a scratch file of the
    // snapshot's variant (another variant's is refused as its file would be).
    const std::filesystem::path scratch =
        options_.appDataFolder / (".snapshot-write." + ParameterFileExtension(medium));
    std::string error;
    if (!WriteFileAtomically(scratch, text, &error)) {
        dialogs_->warning(this, QString::fromStdString(LoadText(7) + " " + error));
        return;
    }
    const QString folder = lastParameterFolder_;
    loadParameterSet(QString::fromStdString(scratch.string()), caption);
    lastParameterFolder_ = folder;
    std::error_code ec;
    std::filesystem::remove(scratch, ec);
}

bool Tfrm_Main::saveParameterFile() {
    const int med = session_.Medium;
    if (FindVariant(med) == nullptr) return false;
    FileRequest request;
    request.directory = lastParameterFolder_;
    request.fileName = saveFileName_;
    request.filters = qtFilters(SaveDialogFilters(med));
    request.defaultSuffix = QString::fromStdString(ParameterFileExtension(med));
    const std::optional<QString> chosen = dialogs_->saveFile(this, request);
    if (!chosen) return false;
    const QString file =
        QString::fromStdString(WithParameterExtension(chosen->toStdString(), med).string());
    if (!mayOverwrite(*dialogs_, this, file, session_.Sprache)) return false;
    showParameterFileName(file);
    const std::filesystem::path path = file.toStdString();
    const ParameterFileResult result = SaveParameterFile(path, image_, med);
    if (!result.ok()) {
        dialogs_->warning(this, QString::fromStdString(LoadText(7) + result.detail(path)));
        return false;
    }
    unsaved_.saved(image_);
    refreshUnsavedMark();
    ShowFileWritten(this, LoadText(kFileWrittenText), file);
    saveFileName_ = file;
    lastParameterFolder_ = QFileInfo(file).absolutePath();
    rememberRecentFile(file);
    return true;
}

bool Tfrm_Main::saveAll() {
    auto busy = busy_.tryHold();
    if (!busy) return false;
    if (!DeviceAvailable(*link_, *device_)) return false;
    if (session_.Online) ReadAllParameters(*link_, image_);
    return saveParameterFile();
}

void Tfrm_Main::mnu_SpeichernClick() {
    saveAll();
}

}  // namespace parvion::gui
