#pragma once

#include "common/camnames.h"

#include <QByteArray>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// The ids of the listed cams and the names each had, kept in a small file of its own beside the
// cam list (so the list's own bytes never change for them): a line a cam, its id and its names
// in hexadecimal, the current one first. A damaged line is left out; a cam without an id gets a
// new one, and ids are never given twice: a new id is drawn at random, so neither a cam of this
// list nor one of another list has had it (a removed cam's credentials stay with its id).
class CamIds {
  public:
    explicit CamIds(std::filesystem::path file);

    void load();
    CamId idOf(const std::string& name) const;
    CamNames namesOf(CamId id) const;
    CamNames namesOf(const std::string& name) const { return namesOf(idOf(name)); }

    // The cams now listed: new names get new ids, names no longer listed lose theirs. A new
    // cam that takes a name another cam had before takes it from that cam's former names: the
    // pictures under it are the new cam's from then on.
    void follow(const std::vector<std::string>& listed);
    // An edit renamed a cam: its id goes with the new name and the old name is remembered.
    // When another cam keeps the old name, the renamed one is a cam of its own that shares
    // the names it had.
    void rename(const std::string& oldName, const std::string& newName, bool oldNameRemains);

    const std::filesystem::path& path() const { return m_file; }

  private:
    void save() const;
    CamId newId() const;

    std::filesystem::path m_file;
    std::map<CamId, CamNames> m_cams;
};
