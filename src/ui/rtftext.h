#pragma once

#include <QByteArray>
#include <QColor>

class QTextDocument;

// Fills `document` with the rich text in `rtf`, read by the program's own RTF reader.
// Returns false when the text is not RTF at all (it is then shown as it stands).
// Text colours are kept where they stand out from `background` and made lighter or darker
// where they do not (navy on a dark palette).
bool FillFromRtf(QTextDocument& document, const QByteArray& rtf,
                 const QColor& background = Qt::white);

// `colour`, or the same hue made lighter (on a dark background) or darker when it is too close
// to `background` to read (a contrast ratio under 3).
QColor ReadableOn(const QColor& colour, const QColor& background);
