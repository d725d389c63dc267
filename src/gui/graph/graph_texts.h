#pragma once
// The graph window's own texts in German and English; the string libraries
// have none for it. The chart titles come from the trend grid's heads.

#include <QString>

namespace parvion::gui {

struct GraphTexts {
    QString caption;        // window caption
    QString noCircuitHint;  // tool tip of the blank button
    QString print;          // context menu
    QString resetZoom;      // context menu
    QString savePng;        // context menu
    QString pngFilter;      // file dialog
    QString pngFailed;      // message; %1 is the file
    QString warning;        // title of the overwrite question
    QString overwrite;      // the overwrite question
    QString printFailed;    // message
};

// 0 German, anything else English.
const GraphTexts& GraphTextsFor(int sprache);

}  // namespace parvion::gui
