#include "ui/rtftext.h"

#include "ui/rtfreader.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace {

// relative luminance and contrast ratio as the web's accessibility guidelines define them
double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

QColor ReadableOn(const QColor& colour, const QColor& background) {
    if (contrast(colour, background) >= 3.0)
        return colour;
    // the lightness mirrored, then moved further away from the background's until readable
    const bool darkBackground = luminance(background) < 0.18;
    const double own = colour.lightnessF();
    double lightness = darkBackground ? std::max(own, 1.0 - own) : std::min(own, 1.0 - own);
    QColor shown;
    for (;; lightness += darkBackground ? 0.05 : -0.05) {
        lightness = std::clamp(lightness, 0.0, 1.0);
        shown = QColor::fromHslF(colour.hslHueF(), colour.hslSaturationF(), lightness);
        if (contrast(shown, background) >= 3.0 || lightness <= 0.0 || lightness >= 1.0)
            return shown;
    }
}

bool FillFromRtf(QTextDocument& document, const QByteArray& rtf, const QColor& background) {
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
                format.setForeground(ReadableOn(QColor(c.red, c.green, c.blue), background));
            }
            // a line break stays inside its paragraph
            QString text = QString::fromUcs4(run.text.data(), qsizetype(run.text.size()));
            text.replace(QChar('\n'), QChar::LineSeparator);
            cursor.insertText(text, format);
        }
    }
    return true;
}
