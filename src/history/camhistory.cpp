#include "history/camhistory.h"

#include "imaging/savename.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

bool takenBefore(const CamPictureFile& a, const CamPictureFile& b) {
    return a.taken != b.taken ? a.taken < b.taken : a.sameSecond < b.sameSecond;
}

} // namespace

CamHistory::CamHistory(CamNames cam, std::vector<CamPictureFile> pictures)
    : m_cam(std::move(cam)), m_pictures(std::move(pictures)) {}

CamHistory CamHistory::read(const QString& camFolder, const CamNames& cam) {
    return CamHistory(cam, FindCamPictures(camFolder, cam));
}

bool CamHistory::add(const QString& path) {
    const QFileInfo file(path);
    const std::string fileName = QFile::encodeName(file.fileName()).toStdString();
    std::optional<ReadSaveName> read;
    for (const QByteArray& name : m_cam.all())
        if (!read)
            read = ReadTimedSaveFileName(fileName, SaveNameCamPart(name.toStdString()));
    if (!read)
        return false;
    const QDateTime taken = MomentOf(read->moment);
    if (!taken.isValid())
        return false;
    const CamPictureFile picture{file.absoluteFilePath(), taken, taken, read->number};
    const auto at = std::lower_bound(m_pictures.begin(), m_pictures.end(), picture, takenBefore);
    if (at != m_pictures.end() && at->path == picture.path)
        return false;
    m_pictures.insert(at, picture);
    return true;
}

std::vector<QDate> CamHistory::days() const {
    std::vector<QDate> days;
    for (const CamPictureFile& picture : m_pictures)
        if (days.empty() || days.back() != picture.taken.date())
            days.push_back(picture.taken.date());
    return days;
}

std::pair<size_t, size_t> CamHistory::dayRange(QDate day) const {
    const auto first = std::partition_point(m_pictures.begin(), m_pictures.end(),
                                            [day](const auto& p) { return p.taken.date() < day; });
    const auto end = std::partition_point(first, m_pictures.end(),
                                          [day](const auto& p) { return p.taken.date() == day; });
    return {size_t(first - m_pictures.begin()), size_t(end - m_pictures.begin())};
}
