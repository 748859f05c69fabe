#include "camlistfile.h"

#include "camlisttext.h"

#include <system_error>

bool FileExists(const std::string& path) {
    std::error_code error;
    const std::filesystem::path p(path);
    const std::string name = FileNamePart(path);
    return !name.empty() && name.front() != '.' && std::filesystem::is_regular_file(p, error);
}

std::string FileNamePart(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

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
    read.bytes += camlisttext::recordText(record);
    return replaceFileAtomically(file, read.bytes);
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
    const std::string kept =
        oldName.empty() ? read.bytes : camlisttext::withoutRecord(read.bytes, oldName);
    return replaceFileAtomically(file, kept + camlisttext::recordText(record));
}
