#pragma once

#include <QByteArray>

class QTextDocument;

// Fills `document` with the rich text in `rtf`, read by the program's own RTF reader.
// Returns false when the text is not RTF at all (it is then shown as it stands).
bool FillFromRtf(QTextDocument& document, const QByteArray& rtf);
