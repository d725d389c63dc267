#include "gui/graph/graph_texts.h"

namespace parvion::gui {

const GraphTexts& GraphTextsFor(int sprache) {
    static const GraphTexts german{
        QStringLiteral("Grafik"),
        QStringLiteral("Diagramme leeren"),
        QStringLiteral("Drucken..."),
        QStringLiteral("Zoom zurücksetzen"),
        QStringLiteral("Als PNG speichern..."),
        QStringLiteral("PNG-Bild (*.png)"),
        QStringLiteral("Die Datei %1 konnte nicht geschrieben werden."),
        QStringLiteral("Warnung"),
        QStringLiteral("Datei überschreiben ?"),
        QStringLiteral("Das Diagramm konnte nicht gedruckt werden."),
    };
    static const GraphTexts english{
        QStringLiteral("Graph"),
        QStringLiteral("Clear the charts"),
        QStringLiteral("Print..."),
        QStringLiteral("Reset zoom"),
        QStringLiteral("Save as PNG..."),
        QStringLiteral("PNG image (*.png)"),
        QStringLiteral("The file %1 could not be written."),
        QStringLiteral("Warning"),
        QStringLiteral("Overwrite the file?"),
        QStringLiteral("The chart could not be printed."),
    };
    return sprache == 0 ? german : english;
}

}  // namespace parvion::gui
