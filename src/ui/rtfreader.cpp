#include "ui/rtfreader.h"

#include "common/numbertext.h"

#include <algorithm>
#include <optional>

namespace {

// The characters 0x80 to 0x9F of the Windows Western code page; the rest of it is Latin-1.
const char32_t windows1252[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                  0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t fromCodePage(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? windows1252[byte - 0x80] : char32_t(byte);
}

enum class Destination { Text, Skip, ColourTable };

struct State {
    bool bold = false, italic = false, underline = false;
    int fontSize = 24;
    int colour = 0;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
};

class Reader {
  public:
    explicit Reader(std::string_view text) : in(text.substr(0, rtfMaxInput)) {}

    RtfDocument read() {
        doc.looksLikeRtf = in.starts_with("{\\rtf");
        doc.paragraphs.emplace_back();
        while (at < in.size()) {
            const char c = in[at];
            if (c == '{') {
                ++at;
                if (stack.size() < size_t(rtfMaxDepth))
                    stack.push_back(state);
                else
                    ++overflowDepth; // deeper groups share the deepest kept state
            } else if (c == '}') {
                ++at;
                closeGroup();
            } else if (c == '\\') {
                ++at;
                control();
            } else if (c == '\r' || c == '\n') {
                ++at;
            } else {
                ++at;
                addChar(fromCodePage(uint8_t(c)));
            }
        }
        while (!doc.paragraphs.empty() && doc.paragraphs.back().runs.empty() &&
               doc.paragraphs.size() > 1)
            doc.paragraphs.pop_back();
        return std::move(doc);
    }

  private:
    void closeGroup() {
        if (overflowDepth > 0) {
            --overflowDepth;
            return;
        }
        if (stack.empty())
            return; // an unbalanced close is ignored
        if (state.destination == Destination::ColourTable && pendingColourUsed)
            finishColour();
        state = stack.back();
        stack.pop_back();
    }

    void control() {
        if (at >= in.size())
            return;
        const char c = in[at];
        if (!isLetter(c)) {
            ++at;
            controlSymbol(c);
            return;
        }
        const size_t start = at;
        while (at < in.size() && isLetter(in[at]) && at - start < 32)
            ++at;
        const std::string_view word = in.substr(start, at - start);
        std::optional<long> parameter;
        const size_t numberStart = at;
        if (at < in.size() && (in[at] == '-' || isDigit(in[at]))) {
            bool negative = in[at] == '-';
            if (negative)
                ++at;
            long value = 0;
            while (at < in.size() && isDigit(in[at])) {
                if (at - numberStart < 10)
                    value = value * 10 + (in[at] - '0');
                ++at;
            }
            parameter = negative ? -value : value;
        }
        if (at < in.size() && in[at] == ' ')
            ++at; // the delimiting blank belongs to the control word
        controlWord(word, parameter);
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            addChar(char32_t(c));
            break;
        case '~':
            addChar(0xA0);
            break;
        case '-':
            break; // optional hyphen
        case '_':
            addChar(0x2011);
            break;
        case '*':
            state.destination = Destination::Skip;
            break;
        case '\'':
            if (at + 2 <= in.size()) {
                const int high = hexDigitValue(in[at]), low = hexDigitValue(in[at + 1]);
                if (high >= 0 && low >= 0) {
                    at += 2;
                    addChar(fromCodePage(uint8_t(high * 16 + low)));
                }
            }
            break;
        case '\r':
        case '\n':
            newParagraph();
            break;
        default:
            break;
        }
    }

    void controlWord(std::string_view word, std::optional<long> parameter) {
        const long value = parameter.value_or(1);
        if (word == "par" || word == "sect" || word == "page")
            newParagraph();
        else if (word == "line")
            addChar(U'\n');
        else if (word == "tab")
            addChar(U'\t');
        else if (word == "b")
            state.bold = value != 0;
        else if (word == "i")
            state.italic = value != 0;
        else if (word == "ul")
            state.underline = value != 0;
        else if (word == "ulnone")
            state.underline = false;
        else if (word == "fs" && parameter)
            state.fontSize = int(std::clamp(*parameter, 2L, 400L));
        else if (word == "cf" && parameter)
            state.colour = int(std::clamp(*parameter, 0L, 255L));
        else if (word == "plain") {
            const State kept = state;
            state = State{};
            state.destination = kept.destination;
            state.unicodeSkip = kept.unicodeSkip;
        } else if (word == "uc" && parameter)
            state.unicodeSkip = int(std::clamp(*parameter, 0L, 8L));
        else if (word == "u" && parameter)
            unicodeChar(*parameter);
        else if (word == "colortbl")
            state.destination = Destination::ColourTable;
        else if (word == "fonttbl" || word == "stylesheet" || word == "info" || word == "pict" ||
                 word == "header" || word == "footer" || word == "object")
            state.destination = Destination::Skip;
        else if (state.destination == Destination::ColourTable)
            colourPart(word, value);
        else if (word == "emdash")
            addChar(0x2014);
        else if (word == "endash")
            addChar(0x2013);
        else if (word == "bullet")
            addChar(0x2022);
        else if (word == "lquote")
            addChar(0x2018);
        else if (word == "rquote")
            addChar(0x2019);
        else if (word == "ldblquote")
            addChar(0x201C);
        else if (word == "rdblquote")
            addChar(0x201D);
        // anything else is skipped
    }

    void unicodeChar(long code) {
        if (code < 0)
            code += 65536;
        const bool valid = code > 0 && code < 0x110000 && !(code >= 0xD800 && code < 0xE000);
        addChar(valid ? char32_t(code) : char32_t(0xFFFD));
        // skip the stand-in characters that follow for readers without Unicode
        for (int skipped = 0; skipped < state.unicodeSkip && at < in.size(); ++skipped) {
            if (in[at] == '{' || in[at] == '}')
                break;
            if (in[at] == '\\') {
                if (at + 3 < in.size() && in[at + 1] == '\'') {
                    at += 4;
                    continue;
                }
                break;
            }
            ++at;
        }
    }

    void colourPart(std::string_view word, long value) {
        const uint8_t part = uint8_t(std::clamp(value, 0L, 255L));
        if (word == "red")
            pendingColour.red = part;
        else if (word == "green")
            pendingColour.green = part;
        else if (word == "blue")
            pendingColour.blue = part;
        else
            return;
        pendingColourUsed = true;
    }

    void finishColour() {
        if (doc.colours.size() < 256)
            doc.colours.push_back(pendingColour);
        pendingColour = {};
        pendingColourUsed = false;
    }

    void addChar(char32_t c) {
        if (state.destination == Destination::ColourTable) {
            // every entry ends at its ";", an empty one too (the usual first entry): the
            // indices are the entries' places in the table
            if (c == U';') {
                if (!pendingColourUsed)
                    pendingColour.automatic = true;
                finishColour();
            }
            return;
        }
        if (state.destination != Destination::Text)
            return;
        RtfParagraph& paragraph = doc.paragraphs.back();
        // past the bound on runs, text keeps the look of the run before it
        const bool newRun =
            paragraph.runs.empty() || (!sameLook(paragraph.runs.back()) && runCount < maxRuns);
        if (newRun) {
            paragraph.runs.push_back(RtfRun{
                {}, state.bold, state.italic, state.underline, state.fontSize, state.colour});
            ++runCount;
        }
        paragraph.runs.back().text.push_back(c);
    }

    bool sameLook(const RtfRun& run) const {
        return run.bold == state.bold && run.italic == state.italic &&
               run.underline == state.underline && run.fontSizeHalfPoints == state.fontSize &&
               run.colourIndex == state.colour;
    }

    void newParagraph() {
        if (state.destination != Destination::Text)
            return;
        if (doc.paragraphs.size() < maxParagraphs)
            doc.paragraphs.emplace_back();
        else
            addChar(U'\n');
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view in;
    size_t at = 0;
    RtfDocument doc;
    State state;
    std::vector<State> stack;
    int overflowDepth = 0;
    RtfColour pendingColour;
    bool pendingColourUsed = false;
    size_t runCount = 0;
    static constexpr size_t maxRuns = 100000, maxParagraphs = 100000;
};

} // namespace

RtfDocument ReadRtf(std::string_view input) {
    return Reader(input).read();
}
