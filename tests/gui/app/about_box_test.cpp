// The about box as it is seen: every line centred and whole in the memo
// (no scrolling, rows broken at blanks only, the device's program text on
// one row), in each string library and for each expansion level; and where
// it opens: on the screen as the start screen, on the main window later.

#include <gtest/gtest.h>

#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>

#include "gui/app/about_box.h"
#include "support/window_harness.h"

namespace parvion::test {
namespace {

// How the memo's text does not fit: rows wider than the memo, rows broken
// elsewhere than at a blank or a hyphen, a `whole` text on two rows, lines
// not centred, text below the memo.
QStringList memoFaults(const QTextEdit& memo, const QStringList& whole) {
    QStringList out;
    const QTextDocument* doc = memo.document();
    const int width = memo.viewport()->width();
    if (doc->size().height() > memo.viewport()->height()) {
        out << QStringLiteral("text %1 px high in a memo of %2")
                   .arg(doc->size().height())
                   .arg(memo.viewport()->height());
    }
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().alignment() != Qt::AlignHCenter) out << "not centred: " + b.text();
        const QTextLayout* layout = b.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine row = layout->lineAt(i);
            if (row.naturalTextWidth() > width) out << "too wide: " + b.text();
            if (i + 1 == layout->lineCount()) continue;
            const int end = row.textStart() + row.textLength();
            const QChar last = b.text().at(end - 1);
            if (!last.isSpace() && last != QLatin1Char('-')) {
                out << "broken inside a word: " + b.text().left(end);
            }
        }
    }
    // The memo's own characters aside, as the rows show them.
    QStringList rows;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (int i = 0; i < b.layout()->lineCount(); ++i) {
            const QTextLine row = b.layout()->lineAt(i);
            rows << b.text().mid(row.textStart(), row.textLength()).remove(QChar(0x2060));
        }
    }
    for (const QString& w : whole) {
        if (!std::any_of(rows.begin(), rows.end(),
                         [&w](const QString& r) { return r.contains(w); }))
            out << "split over two rows: " + w;
    }
    return out;
}

TEST(AboutBox, EveryLineCentredAndWholeWithEveryLibraryAndLevel) {
    for (int medium = 0; medium < 2; ++medium) {
        for (int sprache = 0; sprache < 2; ++sprache) {
            for (const int level : {0x00, 0xC0, 0xFE}) {
                SCOPED_TRACE("medium " + std::to_string(medium) + " language " +
                             std::to_string(sprache) + " level " + std::to_string(level));
                WindowSetup setup;
                setup.medium = medium;
                setup.sprache = sprache;
                setup.device.medium = medium;
                setup.device.ausbaustufe = static_cast<std::uint8_t>(level);
                Harness h(setup);
                ASSERT_TRUE(h.window->FormCreate());
                gui::TAboutBox& box = *h.window->aboutBox();
                box.show();
                QCoreApplication::processEvents();
                const QString program = medium == 0 ? "PV-GAS2V2.07" : "PV-ENG2V2.07";
                const QString serial = QString::fromStdString(h.window->device().DeviceSerialNo);
                ASSERT_TRUE(serial.contains('-'));
                EXPECT_EQ(memoFaults(*box.About_Memo, {program, serial}).join('\n').toStdString(),
                          "");
                EXPECT_FALSE(box.About_Memo->verticalScrollBar()->isVisible());
                // The level line ends with the device's program text, blanks
                // dropped.
                const QStringList lines = box.memoLines();
                ASSERT_EQ(lines.size(), 9);
                EXPECT_TRUE(lines[3].endsWith(program)) << lines[3].toStdString();
                box.hide();
            }
        }
    }
}

// Notes where the about box is each time it is shown, and whether the main
// window was shown then.
class ShowWatch : public QObject {
  public:
    explicit ShowWatch(const gui::Tfrm_Main& main) : main_(main) {}
    struct Seen {
        QPoint centre;
        bool mainShown;
    };
    std::vector<Seen> seen;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->inherits("parvion::gui::TAboutBox")) {
            const auto* box = static_cast<QWidget*>(watched);
            seen.push_back({box->frameGeometry().center(), main_.isVisible()});
        }
        return false;
    }

  private:
    const gui::Tfrm_Main& main_;
};

void expectNear(QPoint got, QPoint want) {
    EXPECT_LE((got - want).manhattanLength(), 2)
        << got.x() << "," << got.y() << " vs " << want.x() << "," << want.y();
}

TEST(AboutBox, StartScreenOnTheScreenLaterOnTheMainWindow) {
    Harness h(offline());
    gui::Tfrm_Main& w = *h.window;
    ShowWatch watch(w);
    qApp->installEventFilter(&watch);
    ASSERT_TRUE(w.FormCreate());
    const QRect screen = w.screen()->availableGeometry();
    ASSERT_FALSE(watch.seen.empty());
    EXPECT_FALSE(watch.seen[0].mainShown);
    expectNear(watch.seen[0].centre, screen.center());
    // The main window opens in the middle of the screen too.
    expectNear(w.frameGeometry().center(), screen.center());

    for (const QPoint where : {QPoint(0, 0), QPoint(120, 60)}) {
        w.move(where);
        QCoreApplication::processEvents();
        watch.seen.clear();
        // The busy screen of a language switch, then the box of "Info ...".
        w.mnu_DeutschClick(w.mnu_Englisch);
        ASSERT_FALSE(watch.seen.empty());
        EXPECT_TRUE(watch.seen[0].mainShown);
        expectNear(watch.seen[0].centre, w.frameGeometry().center());
        w.aboutBox()->show();
        expectNear(w.aboutBox()->frameGeometry().center(), w.frameGeometry().center());
        w.aboutBox()->hide();
    }
    qApp->removeEventFilter(&watch);
}

}  // namespace
}  // namespace parvion::test
