#include "camlist/camlistmodel.h"

#include "camlist/camlistfile.h"
#include "camlist/camlisttext.h"
#include "common/localtext.h"

#include <sys/stat.h>

namespace {

// "00camlist.txt" keeps its ids in "00camlist.ids"
std::filesystem::path idsFileOf(std::filesystem::path list) {
    return list.replace_extension(".ids");
}

} // namespace

CamListModel::CamListModel(std::filesystem::path file, QObject* parent)
    : QObject(parent), m_file(std::move(file)), m_ids(idsFileOf(m_file)) {
    setObjectName("camListModel");
}

CamListModel::Stamp CamListModel::stampNow() const {
    struct stat status {};
    if (::stat(m_file.c_str(), &status) != 0)
        return {};
    return {true, status.st_ino, status.st_size,
            int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

void CamListModel::remember(std::string text, const Rename& rename) {
    m_text = std::move(text);
    m_names = camlisttext::listNames(m_text);
    m_stamp = stampNow();
    if (!rename.from.empty() && rename.from != rename.to)
        m_ids.rename(rename.from, rename.to, contains(rename.from));
    m_ids.follow(m_names);
}

FileResult CamListModel::load(bool create) {
    if (create && !stampNow().exists) {
        const FileResult created = createCamList(m_file);
        if (!created.ok) {
            remember({});
            emit changed();
            return created;
        }
    }
    const ReadResult read = readCamList(m_file);
    m_ids.load();
    remember(read.ok ? read.bytes : std::string());
    m_readError = read.ok ? std::string() : read.error;
    emit changed();
    return readable();
}

FileResult CamListModel::readable() const {
    if (m_readError.empty())
        return {};
    return FileResult::failure(
        localBytes(tr("the cam list could not be read, so it was not changed: %1"), {m_readError}));
}

void CamListModel::readAgainWhenChanged() {
    if (stampNow() == m_stamp)
        return;
    const ReadResult read = readCamList(m_file);
    if (!read.ok) {
        m_readError = read.error;
        return;
    }
    m_readError.clear();
    remember(read.bytes);
    // not at once: whoever asks may be handling a signal of the list itself
    QMetaObject::invokeMethod(this, &CamListModel::changed, Qt::QueuedConnection);
}

CamId CamListModel::idOf(const std::string& name) {
    readAgainWhenChanged();
    return m_ids.idOf(name);
}

CamNames CamListModel::namesOf(const std::string& name) {
    readAgainWhenChanged();
    CamNames names = m_ids.namesOf(name);
    if (names.current.isEmpty()) // a name without an id has had no other
        names.current = QByteArray::fromStdString(name);
    return names;
}

std::optional<CamRecord> CamListModel::find(std::string_view name) {
    if (name.empty())
        return std::nullopt;
    readAgainWhenChanged();
    return camlisttext::findRecord(m_text, name);
}

FileResult CamListModel::commit(std::string text, const Rename& rename) {
    if (!m_readError.empty())
        return readable();
    const FileResult written = replaceFileAtomically(m_file, text);
    if (written.ok)
        remember(std::move(text), rename);
    emit changed(); // a failed write leaves the list as the file holds it
    return written;
}

FileResult CamListModel::append(const CamRecord& record) {
    readAgainWhenChanged();
    return commit(camlisttext::withRecordAppended(m_text, record));
}

FileResult CamListModel::remove(std::string_view name) {
    if (name.empty())
        return {};
    readAgainWhenChanged();
    const CamId id = m_ids.idOf(std::string(name));
    const FileResult written = commit(camlisttext::withoutRecord(m_text, name));
    if (written.ok && !contains(name))
        emit removed(std::string(name), id);
    return written;
}

FileResult CamListModel::replace(std::string_view oldName, const CamRecord& record) {
    readAgainWhenChanged();
    const FileResult written = commit(camlisttext::withRecordReplaced(m_text, oldName, record),
                                      {std::string(oldName), record.name});
    if (written.ok && !oldName.empty() && oldName != record.name)
        emit renamed(std::string(oldName), record.name);
    return written;
}

CamListImportReport CamListModel::import(const std::filesystem::path& source) {
    readAgainWhenChanged();
    if (!m_readError.empty()) {
        CamListImportReport refused;
        refused.result = readable();
        return refused;
    }
    CamListImportReport report = MergeCamListFile(m_text, source);
    if (!report.merged.empty()) {
        report.result = commit(std::move(report.merged));
        if (!report.result.ok)
            report.added = 0;
    }
    return report;
}
