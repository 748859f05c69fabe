#include "camlist/camids.h"

#include "common/atomicfile.h"

#include <QRandomGenerator>
#include <algorithm>
#include <set>
#include <sstream>

namespace {

constexpr size_t maxFileBytes = 4 * 1024 * 1024;
constexpr size_t maxFormerNames = 32;

QByteArray bytesOf(const std::string& name) {
    return QByteArray::fromStdString(name);
}

void forgetFormer(std::vector<QByteArray>& former, const QByteArray& name) {
    former.erase(std::remove(former.begin(), former.end(), name), former.end());
}

} // namespace

CamIds::CamIds(std::filesystem::path file) : m_file(std::move(file)) {}

void CamIds::load() {
    m_cams.clear();
    const ReadResult read = readWholeFile(m_file, maxFileBytes);
    std::istringstream lines(read.ok ? read.bytes : std::string());
    std::set<QByteArray> named;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string idText, hex;
        CamNames names;
        if (!(words >> idText) || idText.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const CamId id = std::stoull(idText.substr(0, 19));
        while (words >> hex) {
            const QByteArray name = QByteArray::fromHex(QByteArray::fromStdString(hex));
            if (name.isEmpty())
                continue;
            if (names.current.isEmpty())
                names.current = name;
            else if (names.former.size() < maxFormerNames)
                names.former.push_back(name);
        }
        // a damaged line, an id or a current name seen before: left out
        if (id == 0 || names.current.isEmpty() || m_cams.count(id) || named.count(names.current))
            continue;
        named.insert(names.current);
        m_cams[id] = std::move(names);
    }
}

void CamIds::save() const {
    std::string text;
    for (const auto& [id, names] : m_cams) {
        text += std::to_string(id);
        for (const QByteArray& name : names.all())
            text += " " + name.toHex().toStdString();
        text += "\n";
    }
    // the cam list stands without it: a file that cannot be written gives new ids next time
    (void)replaceFileAtomically(m_file, text, Durability::Unsynced);
}

CamId CamIds::newId() const {
    // clear of the small numbers a list kept by an older version holds, and within the 19
    // digits a line holds
    constexpr CamId lowest = CamId(1) << 32, highest = (CamId(1) << 63) - 1;
    for (;;)
        if (const CamId id = QRandomGenerator::system()->bounded(lowest, highest);
            !m_cams.count(id))
            return id;
}

CamId CamIds::idOf(const std::string& name) const {
    const QByteArray bytes = bytesOf(name);
    for (const auto& [id, names] : m_cams)
        if (names.current == bytes)
            return id;
    return 0;
}

CamNames CamIds::namesOf(CamId id) const {
    const auto found = m_cams.find(id);
    return found == m_cams.end() ? CamNames{} : found->second;
}

void CamIds::follow(const std::vector<std::string>& listed) {
    const std::set<QByteArray> wanted = [&] {
        std::set<QByteArray> names;
        for (const std::string& name : listed)
            if (!name.empty())
                names.insert(bytesOf(name));
        return names;
    }();
    bool changed = false;
    for (auto at = m_cams.begin(); at != m_cams.end();) {
        if (wanted.count(at->second.current)) {
            ++at;
            continue;
        }
        at = m_cams.erase(at);
        changed = true;
    }
    for (const QByteArray& name : wanted) {
        if (idOf(name.toStdString()) != 0)
            continue;
        for (auto& [id, names] : m_cams)
            forgetFormer(names.former, name);
        m_cams[newId()] = CamNames{name, {}};
        changed = true;
    }
    if (changed)
        save();
}

void CamIds::rename(const std::string& oldName, const std::string& newName, bool oldNameRemains) {
    const CamId id = idOf(oldName);
    if (id == 0 || oldName == newName || newName.empty())
        return;
    CamNames names = m_cams[id];
    forgetFormer(names.former, bytesOf(newName));
    names.former.insert(names.former.begin(), names.current);
    if (names.former.size() > maxFormerNames)
        names.former.resize(maxFormerNames);
    names.current = bytesOf(newName);
    const CamId taken = idOf(newName); // another cam of that name already: it stays that one
    if (taken != 0)
        return;
    if (oldNameRemains)
        m_cams[newId()] = names;
    else
        m_cams[id] = names;
    save();
}
