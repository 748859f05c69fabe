#include "camlist/camlistexchange.h"

#include "camlist/camlistfile.h"
#include "camlist/camlisttext.h"
#include "common/credentials.h"
#include "common/localtext.h"

#include <QCoreApplication>

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

using camlisttext::marker;

bool isRecordLine(std::string_view line) {
    return line.starts_with(marker);
}

// The complete records of a list file, by its own line rules.
template <typename Visit> void forEachRecord(std::string_view listText, Visit visit) {
    const std::vector<std::string> lines = camlisttext::splitLines(listText);
    for (size_t i = 0; i + 2 < lines.size(); ++i)
        if (isRecordLine(lines[i]))
            visit(CamRecord{lines[i].substr(marker.size()), lines[i + 1], lines[i + 2]});
}

// Lines ending in CR LF, LF or CR alike: files from other tools end lines their own way.
std::vector<std::string_view> lenientLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

bool isRefresh(std::string_view field) {
    return !field.empty() && field.size() <= 9 &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isWellFormed(const CamRecord& record) {
    return !record.name.empty() && !record.url.empty() && isRefresh(record.refresh) &&
           record.name.size() <= camlisttext::maxNameLength &&
           record.url.size() <= camlisttext::maxAddressLength &&
           !camlisttext::breaksRecordLines(record.name) &&
           !camlisttext::breaksRecordLines(record.url);
}

} // namespace

std::string ExportedCamList(std::string_view listText, const std::vector<std::string>& names,
                            int* written) {
    const std::unordered_set<std::string> wanted(names.begin(), names.end());
    std::unordered_set<std::string> taken;
    std::string text(camlisttext::lineEnd);
    forEachRecord(listText, [&](const CamRecord& record) {
        if ((wanted.empty() || wanted.count(record.name)) && taken.insert(record.name).second) {
            // a user name and password written into an address stay here
            CamRecord shared = record;
            if (const std::optional<AddressUserInfo> info = SplitUserInfo(record.url))
                shared.url = info->addressWithout;
            text += camlisttext::recordText(shared);
        }
    });
    if (written)
        *written = int(taken.size());
    return text;
}

CamListImport MergeCamList(std::string_view listText, std::string_view incoming) {
    CamListImport import;
    if (incoming.starts_with("\xEF\xBB\xBF"))
        incoming.remove_prefix(3);
    // a NUL is in no text file of 8-bit characters: a binary file, or UTF-16
    if (incoming.find('\0') != std::string_view::npos) {
        import.readable = false;
        return import;
    }
    std::unordered_set<std::string> names;
    forEachRecord(listText, [&names](const CamRecord& record) { names.insert(record.name); });

    const std::vector<std::string_view> lines = lenientLines(incoming);
    std::string added;
    bool anyRecord = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!isRecordLine(lines[i]))
            continue; // blank lines between records, or anything else outside them
        anyRecord = true;
        const bool whole =
            i + 2 < lines.size() && !isRecordLine(lines[i + 1]) && !isRecordLine(lines[i + 2]);
        if (!whole) {
            ++import.malformed; // cut short: the next record, or the end, comes too soon
            continue;
        }
        const CamRecord record{std::string(lines[i].substr(marker.size())),
                               std::string(lines[i + 1]), std::string(lines[i + 2])};
        i += 2;
        if (!isWellFormed(record)) {
            ++import.malformed;
            continue;
        }
        if (!names.insert(record.name).second) {
            ++import.duplicates;
            continue;
        }
        added += camlisttext::recordText(record);
        import.addedNames.push_back(record.name);
    }
    if (!anyRecord) {
        import.readable = false;
        return import;
    }
    import.merged = listText.empty() ? std::string(camlisttext::lineEnd) : std::string(listText);
    import.merged += added;
    // a list the program could no longer read is no list
    import.tooLarge = import.merged.size() > camListMaxBytes;
    return import;
}

FileResult ExportCamListFile(const std::filesystem::path& list,
                             const std::vector<std::string>& names,
                             const std::filesystem::path& target, int* written) {
    const ReadResult read = readCamList(list);
    if (!read.ok)
        return FileResult::failure(read.error);
    return replaceFileAtomically(target, ExportedCamList(read.bytes, names, written));
}

CamListImportReport MergeCamListFile(std::string_view listText,
                                     const std::filesystem::path& source) {
    CamListImportReport report;
    const ReadResult incoming = readWholeFile(source, camListMaxBytes);
    if (!incoming.ok || incoming.missing) {
        report.result = FileResult::failure(
            incoming.missing
                ? localBytes(QCoreApplication::translate("CamListExchange", "%1 does not exist."),
                             {source.string()})
                : incoming.error);
        return report;
    }
    CamListImport import = MergeCamList(listText, incoming.bytes);
    if (!import.readable) {
        report.result = FileResult::failure(
            localBytes(QCoreApplication::translate("CamListExchange", "%1 is not a cam list."),
                       {source.string()}));
        return report;
    }
    if (import.tooLarge) {
        report.result = FileResult::failure(localBytes(
            QCoreApplication::translate("CamListExchange",
                                        "the cam list would grow past %1 MB with the cams of %2."),
            {std::to_string(camListMaxBytes / (1024 * 1024)), source.string()}));
        return report;
    }
    report.added = int(import.addedNames.size());
    report.addedNames = import.addedNames;

    report.duplicates = import.duplicates;
    report.malformed = import.malformed;
    if (report.added > 0)
        report.merged = std::move(import.merged);
    return report;
}

CamListImportReport ImportCamListFile(const std::filesystem::path& list,
                                      const std::filesystem::path& source) {
    const ReadResult current = readCamList(list);
    if (!current.ok) {
        CamListImportReport report;
        report.result = FileResult::failure(current.error);
        return report;
    }
    CamListImportReport report = MergeCamListFile(current.bytes, source);
    if (!report.merged.empty())
        report.result = replaceFileAtomically(list, std::exchange(report.merged, {}));
    if (!report.result.ok)
        report.added = 0;
    return report;
}
