#include "camlist/camlistfile.h"

#include "camlist/camlisttext.h"

ReadResult readCamList(const std::filesystem::path& file) {
    return readWholeFile(file, camListMaxBytes);
}

FileResult createCamList(const std::filesystem::path& file) {
    return replaceFileAtomically(file, camlisttext::lineEnd);
}

bool FindCamRecord(const std::filesystem::path& file, std::string_view name, CamRecord& target) {
    if (name.empty())
        return false;
    const ReadResult read = readCamList(file);
    if (!read.ok)
        return false;
    auto found = camlisttext::findRecord(read.bytes, name);
    if (!found)
        return false;
    target = std::move(*found);
    return true;
}

FileResult AppendCamRecord(const std::filesystem::path& file, const CamRecord& record) {
    ReadResult read = readCamList(file);
    if (!read.ok)
        return FileResult::failure(read.error);
    return replaceFileAtomically(file, camlisttext::withRecordAppended(read.bytes, record));
}

FileResult DeleteCamRecord(const std::filesystem::path& file, std::string_view name) {
    if (name.empty())
        return {};
    const ReadResult read = readCamList(file);
    if (!read.ok)
        return FileResult::failure(read.error);
    return replaceFileAtomically(file, camlisttext::withoutRecord(read.bytes, name));
}

FileResult ReplaceCamRecord(const std::filesystem::path& file, std::string_view oldName,
                            const CamRecord& record) {
    const ReadResult read = readCamList(file);
    if (!read.ok)
        return FileResult::failure(read.error);
    return replaceFileAtomically(file,
                                 camlisttext::withRecordReplaced(read.bytes, oldName, record));
}
