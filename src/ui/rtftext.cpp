#include "ui/rtftext.h"

#include "ui/rtfreader.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

bool FillFromRtf(QTextDocument& document, const QByteArray& rtf) {
    const RtfDocument read = ReadRtf(std::string_view(rtf.constData(), size_t(rtf.size())));
    document.clear();
    if (!read.looksLikeRtf) {
        document.setPlainText(QString::fromLocal8Bit(rtf.left(qsizetype(rtfMaxInput))));
        return false;
    }
    QTextCursor cursor(&document);
    bool first = true;
    for (const RtfParagraph& paragraph : read.paragraphs) {
        if (!first)
            cursor.insertBlock();
        first = false;
        for (const RtfRun& run : paragraph.runs) {
            QTextCharFormat format;
            format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(run.italic);
            format.setFontUnderline(run.underline);
            format.setFontPointSize(run.fontSizeHalfPoints / 2.0);
            if (run.colourIndex >= 0 && size_t(run.colourIndex) < read.colours.size() &&
                !read.colours[size_t(run.colourIndex)].automatic) {
                const RtfColour& c = read.colours[size_t(run.colourIndex)];
                format.setForeground(QColor(c.red, c.green, c.blue));
            }
            // a line break stays inside its paragraph
            QString text = QString::fromUcs4(run.text.data(), qsizetype(run.text.size()));
            text.replace(QChar('\n'), QChar::LineSeparator);
            cursor.insertText(text, format);
        }
    }
    return true;
}
