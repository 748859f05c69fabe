#include "history/savedpictures.h"

#include "common/datetimetext.h"
#include "imaging/savename.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <set>

namespace {

// What save names leave out of the date and the time.
QString withoutSeparators(QString text) {
    text.remove(' ');
    text.remove('/');
    text.remove(':');
    return text;
}

struct Token {
    enum Kind { Literal, Day, DayName, Month, MonthName, Year, Hour, Minute, Second, Millis, AmPm };
    Kind kind = Literal;
    int minDigits = 0, maxDigits = 0;
    QString text; // a literal's characters
    bool longName = false;
};

Token digits(Token::Kind kind, int count, int variableTo = 0) {
    Token token;
    token.kind = kind;
    token.minDigits = count;
    token.maxDigits = variableTo ? variableTo : count;
    return token;
}

// A Qt date or time format as the pieces a save name holds.
std::vector<Token> tokenize(const QString& format) {
    std::vector<Token> tokens;
    auto literal = [&tokens](const QString& text) {
        const QString kept = withoutSeparators(text);
        if (kept.isEmpty())
            return;
        if (tokens.empty() || tokens.back().kind != Token::Literal)
            tokens.push_back(Token{});
        tokens.back().text += kept;
    };
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == '\'') {
            const qsizetype close = format.indexOf('\'', i + 1);
            if (close == i + 1) { // '' is a quote
                literal("'");
                i += 2;
                continue;
            }
            const qsizetype end = close < 0 ? format.size() : close;
            literal(format.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        Token token;
        if (c == 'd')
            token = run >= 3 ? Token{Token::DayName, 0, 0, {}, run >= 4}
                             : digits(Token::Day, run, run == 1 ? 2 : 0);
        else if (c == 'M')
            token = run >= 3 ? Token{Token::MonthName, 0, 0, {}, run >= 4}
                             : digits(Token::Month, run, run == 1 ? 2 : 0);
        else if (c == 'y')
            token = digits(Token::Year, run >= 4 ? 4 : 2);
        else if (c == 'h' || c == 'H')
            token = digits(Token::Hour, std::min<qsizetype>(run, 2), run == 1 ? 2 : 0);
        else if (c == 'm')
            token = digits(Token::Minute, std::min<qsizetype>(run, 2), run == 1 ? 2 : 0);
        else if (c == 's')
            token = digits(Token::Second, std::min<qsizetype>(run, 2), run == 1 ? 2 : 0);
        else if (c == 'z')
            token = digits(Token::Millis, run >= 3 ? 3 : 1, run >= 3 ? 0 : 3);
        else if (c == 'A' || c == 'a') {
            token.kind = Token::AmPm;
            if (i + run < format.size() && (format[i + run] == 'P' || format[i + run] == 'p'))
                ++run;
        } else if (c == 't') {
            i += run; // no time zone in save names
            continue;
        } else {
            literal(format.mid(i, run));
            i += run;
            continue;
        }
        tokens.push_back(token);
        i += run;
    }
    return tokens;
}

struct Reading {
    int year = -1, month = -1, day = -1, hour = 0, minute = 0, second = 0, millis = 0;
    int pm = -1; // -1: no AM/PM in the format
};

class Matcher {
  public:
    Matcher(const std::vector<Token>& tokens, const QString& text, const QLocale& locale)
        : m_tokens(tokens), m_text(text), m_locale(locale) {}

    std::vector<QDateTime> run() {
        match(0, 0, Reading{});
        return m_found;
    }

  private:
    static constexpr size_t maxReadings = 8;

    void match(size_t tokenIndex, qsizetype at, Reading reading) {
        if (m_found.size() >= maxReadings)
            return;
        if (tokenIndex == m_tokens.size()) {
            if (at == m_text.size())
                accept(reading);
            return;
        }
        const Token& token = m_tokens[tokenIndex];
        switch (token.kind) {
        case Token::Literal:
            if (m_text.mid(at, token.text.size()) == token.text)
                match(tokenIndex + 1, at + token.text.size(), reading);
            return;
        case Token::DayName:
            for (int day = 1; day <= 7; ++day)
                matchName(tokenIndex, at, reading,
                          m_locale.dayName(day, token.longName ? QLocale::LongFormat
                                                               : QLocale::ShortFormat),
                          [](Reading&) {});
            return;
        case Token::MonthName:
            for (int month = 1; month <= 12; ++month)
                matchName(tokenIndex, at, reading,
                          m_locale.monthName(month, token.longName ? QLocale::LongFormat
                                                                   : QLocale::ShortFormat),
                          [month](Reading& r) { r.month = month; });
            return;
        case Token::AmPm:
            matchName(tokenIndex, at, reading, m_locale.amText(), [](Reading& r) { r.pm = 0; });
            matchName(tokenIndex, at, reading, m_locale.pmText(), [](Reading& r) { r.pm = 1; });
            return;
        default:
            break;
        }
        for (int count = token.minDigits; count <= token.maxDigits; ++count) {
            const QString part = m_text.mid(at, count);
            if (part.size() != count ||
                !std::all_of(part.begin(), part.end(), [](QChar c) { return c.isDigit(); }))
                return;
            Reading next = reading;
            const int value = part.toInt();
            switch (token.kind) {
            case Token::Day:
                next.day = value;
                break;
            case Token::Month:
                next.month = value;
                break;
            case Token::Year:
                next.year = count == 2 ? 2000 + value : value;
                break;
            case Token::Hour:
                next.hour = value;
                break;
            case Token::Minute:
                next.minute = value;
                break;
            case Token::Second:
                next.second = value;
                break;
            case Token::Millis:
                next.millis = count == 1 ? value * 100 : count == 2 ? value * 10 : value;
                break;
            default:
                break;
            }
            match(tokenIndex + 1, at + count, next);
        }
    }

    template <typename Apply>
    void matchName(size_t tokenIndex, qsizetype at, const Reading& reading, const QString& name,
                   Apply apply) {
        const QString kept = withoutSeparators(name);
        if (kept.isEmpty() || m_text.mid(at, kept.size()).compare(kept, Qt::CaseInsensitive) != 0)
            return;
        Reading next = reading;
        apply(next);
        match(tokenIndex + 1, at + kept.size(), next);
    }

    void accept(const Reading& r) {
        int hour = r.hour;
        if (r.pm >= 0) {
            if (hour < 1 || hour > 12)
                return;
            hour = hour % 12 + (r.pm ? 12 : 0);
        }
        const QDate date(r.year, r.month, r.day);
        const QTime time(hour, r.minute, r.second, r.millis);
        if (!date.isValid() || !time.isValid())
            return;
        const QDateTime moment(date, time);
        if (std::find(m_found.begin(), m_found.end(), moment) == m_found.end())
            m_found.push_back(moment);
    }

    const std::vector<Token>& m_tokens;
    const QString& m_text;
    const QLocale& m_locale;
    std::vector<QDateTime> m_found;
};

// The formats save names were written in: this locale's first, then common ones, for names
// written under another locale.
std::vector<std::pair<QString, QString>> saveNameFormats() {
    return {{shortDateFormat(), longTimeFormat()},
            {"M/d/yyyy", "h:mm:ss AP"},
            {"dd/MM/yyyy", "HH:mm:ss"},
            {"d/M/yyyy", "H:mm:ss"},
            {"dd.MM.yyyy", "HH:mm:ss"},
            {"yyyy-MM-dd", "HH:mm:ss"}};
}

std::optional<QDateTime> takenMoment(const QString& dateTimePart, const QDateTime& modified) {
    for (const auto& [date, time] : saveNameFormats()) {
        const QLocale locale = date == shortDateFormat() ? QLocale() : QLocale::c();
        const std::vector<QDateTime> readings = SaveNameMoments(dateTimePart, date, time, locale);
        if (readings.empty())
            continue;
        return *std::min_element(
            readings.begin(), readings.end(), [&modified](const QDateTime& a, const QDateTime& b) {
                return std::abs(a.secsTo(modified)) < std::abs(b.secsTo(modified));
            });
    }
    return std::nullopt;
}

// Whether an older form's date-and-time part still holds a whole moment after its first
// characters: then a cam whose name goes on with those characters could have written it.
bool couldBeLongerNames(const QString& dateTimePart, const QDateTime& modified) {
    for (qsizetype start = 1; start + 1 < dateTimePart.size(); ++start)
        if (takenMoment(dateTimePart.mid(start), modified))
            return true;
    return false;
}

// The cam's part of its save names, as SaveFileName writes it.
QByteArray saveNamePart(const QByteArray& camName) {
    std::string name = SaveFileName(camName.toStdString(), "", "");
    name.resize(name.size() - 4); // ".jpg"
    return QByteArray::fromStdString(name);
}

} // namespace

QDateTime MomentOf(const SaveMoment& m) {
    return QDateTime(QDate(m.year, m.month, m.day), QTime(m.hour, m.minute, m.second));
}

std::vector<QDateTime> SaveNameMoments(const QString& dateTimePart, const QString& dateFormat,
                                       const QString& timeFormat, const QLocale& locale) {
    const std::vector<Token> tokens = tokenize(dateFormat + timeFormat);
    const QString text = withoutSeparators(dateTimePart);
    return Matcher(tokens, text, locale).run();
}

namespace {

bool takenFirst(const CamPictureFile& a, const CamPictureFile& b) {
    if (a.taken != b.taken)
        return a.taken < b.taken;
    if (a.sameSecond != b.sameSecond)
        return a.sameSecond < b.sameSecond;
    if (a.modified != b.modified)
        return a.modified < b.modified;
    return a.path < b.path;
}

} // namespace

std::vector<CamPictureFile> FindSavedPictures(const QString& camFolder, const QByteArray& camName,
                                              std::optional<QDateTime> from,
                                              std::optional<QDateTime> to,
                                              const std::vector<QByteArray>& otherCams) {
    const QByteArray camPart = saveNamePart(camName);
    // the cams whose save names begin like this cam's, or this cam's like theirs
    std::vector<QByteArray> alikeParts;
    for (const QByteArray& other : otherCams) {
        const QByteArray part = saveNamePart(other);
        if (part != camPart && (part.startsWith(camPart) || camPart.startsWith(part)))
            alikeParts.push_back(part);
    }
    // Both readings are moments: pictures are saved at the moment in their name, so the reading
    // nearer the file's time tells whose it is.
    auto isOtherCams = [&alikeParts](const QByteArray& name, const QDateTime& ours,
                                     const QDateTime& modified) {
        for (const QByteArray& part : alikeParts) {
            if (!name.startsWith(part))
                continue;
            const std::optional<QDateTime> theirs = takenMoment(
                QFile::decodeName(name.mid(part.size(), name.size() - part.size() - 4)), modified);
            if (theirs && std::abs(theirs->secsTo(modified)) < std::abs(ours.secsTo(modified)))
                return true;
        }
        return false;
    };

    const std::string timedPart = SaveNameCamPart(camName.toStdString());
    std::vector<CamPictureFile> pictures;
    // the program writes pictures as files of their own: a link named like one (to a picture
    // elsewhere, a device or a FIFO) is never read, counted or removed as one
    QDirIterator found(camFolder,
                       QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    while (found.hasNext()) {
        found.next();
        const QFileInfo file = found.fileInfo();
        const QByteArray name = QFile::encodeName(file.fileName());
        // today's names say whose they are and when, whatever the locale, without asking the
        // disk for the file's time; an older name may hold the separator in the cam's name
        if (const auto read = name.contains(saveNameSeparator)
                                  ? ReadTimedSaveFileName(name.toStdString(), timedPart)
                                  : std::nullopt) {
            const QDateTime taken = MomentOf(read->moment);
            if (taken.isValid() && (!from || taken >= *from) && (!to || taken <= *to))
                pictures.push_back({file.absoluteFilePath(), taken, taken, read->number});
            continue;
        }
        if (!name.startsWith(camPart) || !name.endsWith(".jpg") ||
            name.size() <= camPart.size() + 4)
            continue;
        const QString dateTimePart =
            QFile::decodeName(name.mid(camPart.size(), name.size() - camPart.size() - 4));
        const QDateTime modified = file.lastModified();
        // a name whose rest is no moment is another cam's ("Harbour" and "Harbour2")
        const std::optional<QDateTime> taken = takenMoment(dateTimePart, modified);
        if (!taken || (from && *taken < *from) || (to && *taken > *to) ||
            isOtherCams(name, *taken, modified))
            continue;
        pictures.push_back({file.absoluteFilePath(), *taken, modified, 1,
                            couldBeLongerNames(dateTimePart, modified)});
    }
    std::sort(pictures.begin(), pictures.end(), takenFirst);
    return pictures;
}

std::vector<CamPictureFile> FindCamPictures(const QString& camFolder, const CamNames& names,
                                            std::optional<QDateTime> from,
                                            std::optional<QDateTime> to,
                                            const std::vector<QByteArray>& otherCams) {
    std::vector<CamPictureFile> pictures;
    std::set<QString> seen;
    for (const QByteArray& name : names.all())
        for (CamPictureFile& picture : FindSavedPictures(camFolder, name, from, to, otherCams))
            if (seen.insert(picture.path).second)
                pictures.push_back(std::move(picture));
    std::sort(pictures.begin(), pictures.end(), takenFirst);
    return pictures;
}
