#pragma once

#include "history/savedpictures.h"

#include <QByteArray>
#include <QDate>
#include <utility>
#include <vector>

// One cam's saved pictures in the order they were taken: read from the cam folder once, then
// told of each picture saved since, so looking back never lists the folder again.
class CamHistory {
  public:
    CamHistory() = default;
    CamHistory(CamNames cam, std::vector<CamPictureFile> pictures);

    // Reads the cam's pictures in `camFolder`, under the names it had before too (on a worker
    // thread: it lists the whole folder).
    static CamHistory read(const QString& camFolder, const CamNames& cam);

    const QByteArray& cam() const { return m_cam.current; }
    const CamNames& names() const { return m_cam; }
    size_t size() const { return m_pictures.size(); }
    bool empty() const { return m_pictures.empty(); }
    const CamPictureFile& at(size_t index) const { return m_pictures[index]; }

    // A picture saved since the folder was read, put in its place by time; false when the
    // name is not one of this cam's or is already there.
    bool add(const QString& path);

    // The days with pictures, oldest first.
    std::vector<QDate> days() const;
    // The pictures of `day`: [first, end) of the indexes.
    std::pair<size_t, size_t> dayRange(QDate day) const;

  private:
    CamNames m_cam;
    std::vector<CamPictureFile> m_pictures;
};
