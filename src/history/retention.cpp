#include "history/retention.h"

#include "history/savedpictures.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <set>

namespace {

constexpr double bytesPerGigabyte = 1024.0 * 1024 * 1024;

bool olderFirst(const KeptPicture& a, const KeptPicture& b) {
    return a.taken != b.taken ? a.taken < b.taken : a.path < b.path;
}

// Marks for removal, oldest first, what `rule` does not keep of `pictures` (sorted, oldest
// first), never touching those after `youngest`.
void applyRule(const std::vector<const KeptPicture*>& pictures, const KeepRule& rule,
               const QDateTime& now, const QDateTime& youngest, std::set<QString>& removed) {
    qint64 total = 0;
    for (const KeptPicture* picture : pictures)
        if (!removed.contains(picture->path))
            total += picture->bytes;
    const qint64 allowed =
        rule.gigabytes > 0 ? qint64(rule.gigabytes * bytesPerGigabyte) : qint64(-1);
    const QDateTime oldestKept = rule.days > 0 ? now.addDays(-rule.days) : QDateTime();
    for (const KeptPicture* picture : pictures) {
        if (picture->taken >= youngest)
            break;
        if (removed.contains(picture->path) ||
            (picture->modified.isValid() && picture->modified >= youngest))
            continue; // a name read in an hour the clock went back through is older than it is
        const bool tooOld = oldestKept.isValid() && picture->taken < oldestKept;
        const bool tooMuch = allowed >= 0 && total > allowed;
        if (!tooOld && !tooMuch)
            break; // the rest are younger
        removed.insert(picture->path);
        total -= picture->bytes;
    }
}

} // namespace

RemovalPlan PlanRemoval(const std::map<QByteArray, std::vector<KeptPicture>>& camsPictures,
                        const std::map<QByteArray, KeepRule>& camRules, const KeepRule& overall,
                        const QDateTime& now) {
    RemovalPlan plan;
    QDateTime newest;
    for (const auto& [cam, pictures] : camsPictures)
        for (const KeptPicture& picture : pictures)
            newest = std::max(newest, picture.taken);
    plan.clockAhead = newest.isValid() && newest.addDays(1) < now;
    // with the clock ahead, the newest pictures are the young ones
    const QDateTime youngest = (plan.clockAhead ? newest : now).addSecs(-3600);
    const auto bySize = [&plan](KeepRule rule) {
        if (plan.clockAhead)
            rule.days = 0;
        return rule;
    };
    std::set<QString> removed;
    std::vector<const KeptPicture*> all;
    for (const auto& [cam, pictures] : camsPictures) {
        std::vector<const KeptPicture*> sorted;
        for (const KeptPicture& picture : pictures)
            sorted.push_back(&picture);
        std::sort(sorted.begin(), sorted.end(),
                  [](const auto* a, const auto* b) { return olderFirst(*a, *b); });
        if (const auto rule = camRules.find(cam); rule != camRules.end() && rule->second.bounds())
            applyRule(sorted, bySize(rule->second), now, youngest, removed);
        all.insert(all.end(), sorted.begin(), sorted.end());
    }
    if (overall.bounds()) {
        std::sort(all.begin(), all.end(),
                  [](const auto* a, const auto* b) { return olderFirst(*a, *b); });
        applyRule(all, bySize(overall), now, youngest, removed);
    }
    for (const KeptPicture* picture : all)
        if (removed.contains(picture->path)) {
            plan.paths.push_back(picture->path);
            plan.bytes += picture->bytes;
        }
    return plan;
}

std::map<QByteArray, std::vector<KeptPicture>> ListKeptPictures(const QString& camFolder,
                                                                const std::vector<CamNames>& cams) {
    std::map<QByteArray, std::vector<KeptPicture>> listed;
    std::set<QString> seen; // a file two cams' names could claim is counted once
    std::vector<QByteArray> names;
    for (const CamNames& cam : cams)
        names.push_back(cam.current);
    for (const CamNames& cam : cams) {
        std::vector<KeptPicture>& pictures = listed[cam.current];
        for (const CamPictureFile& file : FindCamPictures(camFolder, cam, {}, {}, names))
            // a name another cam, listed or not, could have written is not surely this cam's
            if (!file.nameShared && seen.insert(file.path).second)
                if (const QFileInfo info(file.path); info.exists())
                    pictures.push_back({file.path, file.taken, info.size(), info.lastModified()});
    }
    return listed;
}

RemovalResult KeepWithinRules(const QString& camFolder, const std::vector<CamNames>& cams,
                              const std::map<QByteArray, KeepRule>& camRules,
                              const KeepRule& overall, const QDateTime& now) {
    RemovalResult result;
    const bool anyRule =
        overall.bounds() || std::any_of(camRules.begin(), camRules.end(),
                                        [](const auto& rule) { return rule.second.bounds(); });
    if (!anyRule)
        return result;
    const auto listed = ListKeptPictures(camFolder, cams);
    std::map<QString, qint64> sizes;
    for (const auto& [cam, pictures] : listed)
        for (const KeptPicture& picture : pictures)
            sizes[picture.path] = picture.bytes;
    const RemovalPlan plan = PlanRemoval(listed, camRules, overall, now);
    result.clockAhead = plan.clockAhead;
    for (const QString& path : plan.paths) {
        if (QFile::remove(path)) {
            ++result.removed;
            result.bytes += sizes[path];
        } else {
            ++result.failed;
        }
    }
    return result;
}
