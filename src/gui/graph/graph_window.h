#pragma once
// The trend graph window Tfrm_Grafik: the trend values the trend page has
// read, drawn for one circuit at a time as four time charts in equal
// quarters (temperature, pressure, flow or power, mass flow), with the
// chart titles taken from the trend grid's heads. It only reads the trend
// store and never talks to the device. Every time it becomes the active
// window again after another window of the program, the charts are emptied
// and the user picks "CH 1" or "CH 2" again.
//
// Each chart has a context menu: print (through the print dialog), reset
// the zoom, save as PNG; the mouse wheel and a dragged band zoom its time
// axis, and the pointer shows the time and value of the nearest point.

#include <QStringList>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <string>

#include "core/model/device_records.h"
#include "core/model/parameter_image.h"
#include "core/model/session.h"
#include "core/views/text_source.h"

class QAbstractButton;
class QButtonGroup;
class QFrame;
class QLineSeries;
class QPrinter;
class QPushButton;
class QSplitter;

namespace parvion::gui {

class Dialogs;
class TrendChartView;

struct GraphContext {
    const TrendStore& store;
    // The units of the values, as the trend grid shows them.
    const ParameterImage& image;
    // Medium and language.
    const Session& session;
    Dialogs& dialogs;
    // The heads of the trend grid's four value columns.
    std::function<QStringList()> columnHeads;
    // Start folder of the PNG file dialog.
    std::filesystem::path documentsFolder;
    // Runs the print dialog for the printer; true when confirmed. Null: the
    // real print dialog.
    std::function<bool(QPrinter&, QWidget*)> printDialog;
    // The serial number of the device the trend values come from (empty:
    // not known); the PNG files and printouts name it.
    std::function<std::string()> serialNumber = {};
    // The string library in force, for the caption line.
    views::TextLoader text = {};
};

class Tfrm_Grafik : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kCharts = 4;

    explicit Tfrm_Grafik(GraphContext context, QWidget* parent = nullptr);

    // Shows the window without waiting and makes it the active window.
    void showGraph();

    // Chart 0..3 (Chart1..Chart4) and its line series.
    TrendChartView* chart(int index) const { return charts_[static_cast<std::size_t>(index)]; }
    QLineSeries* series(int index) const;

    // Puts the blank button down and empties the charts; the texts follow the
    // current language.
    void FormActivate();
    // The three buttons: the blank one empties the charts, "CH 1" and "CH 2"
    // draw circuit 1 or 2.
    void SpeedButton1Click(QAbstractButton* sender);
    // Gives the two rows and the two charts of each row equal shares.
    void FormResize();
    // "Drucken..." of chart 0..3: the print dialog, then the chart.
    void mnu_Print1Click(int index);
    // "Als PNG speichern..." of chart 0..3: the file dialog, then the file.
    void savePngClick(int index);

    // The line above a chart in its PNG file and printout: device, serial
    // number, circuit and the times shown. Empty while no circuit is drawn.
    QString captionLine(int index) const;

    // Prints chart 0..3 on a printer set up by the caller, one page, under
    // its caption line; false when the printer cannot be started.
    bool printChart(int index, QPrinter& printer);
    // Writes chart 0..3 as it is shown, under its caption line, into a PNG
    // file, completely or not at all; false when the file cannot be written.
    bool saveChartPng(int index, const QString& file);

    QFrame* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QWidget* Panel4 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QSplitter* Splitter3 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QPushButton* SpeedButton3 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyTexts();
    void drawCircuit(int circuit);
    bool ownsWindow(const QWidget* window) const;

    GraphContext ctx_;
    std::array<TrendChartView*, kCharts> charts_{};
    QButtonGroup* speedButtons_ = nullptr;
    bool centred_ = false;
    // The circuit drawn (0 or 1), -1 while the charts are empty.
    int circuit_ = -1;
    // Another window of the program was active: the next activation
    // empties the charts.
    bool emptyOnActivate_ = false;
};

}  // namespace parvion::gui
