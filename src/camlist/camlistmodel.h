#pragma once

#include "camlist/camids.h"
#include "camlist/camlistexchange.h"
#include "camlist/camrecord.h"
#include "common/atomicfile.h"

#include <QObject>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// The cam list in memory: the cam list file's bytes as last read or written, with the names
// the list shows. Every change is written back at once, atomically, with exactly the bytes the
// file operations define, and is kept only when the write succeeded. A file changed by another
// program since it was read is read again before a record is looked up or changed.
class CamListModel : public QObject {
    Q_OBJECT
  public:
    explicit CamListModel(std::filesystem::path file, QObject* parent = nullptr);

    const std::filesystem::path& path() const { return m_file; }
    // Reads the file; a missing one is created (holding one empty line) when `create` is set.
    FileResult load(bool create);

    // The names the list shows, in file order.
    const std::vector<std::string>& names() const { return m_names; }
    // The first record named exactly `name`.
    std::optional<CamRecord> find(std::string_view name);
    bool contains(std::string_view name) { return find(name).has_value(); }
    const std::string& text() const { return m_text; }
    // A listed cam's id, which stays when it is renamed; 0 for a name not listed.
    CamId idOf(const std::string& name);
    // The names a listed cam has and had, its pictures are saved under.
    CamNames namesOf(const std::string& name);
    // Reads the file again when another program changed it.
    void refresh() { readAgainWhenChanged(); }

    FileResult append(const CamRecord& record);
    // Removes the first record named `name` (its three lines become two empty lines).
    FileResult remove(std::string_view name);
    // An edit: `record` takes the place of the record named `oldName` (appended when none is).
    FileResult replace(std::string_view oldName, const CamRecord& record);
    // Adds the cams of a shared cam list file whose names are new, in one rewrite.
    CamListImportReport import(const std::filesystem::path& source);

  signals:
    // The list's names may have changed.
    void changed();
    // An edit renamed a cam: what belongs to it (its trusted certificates) goes with it.
    void renamed(const std::string& oldName, const std::string& newName);
    // A cam left the list; no other record carries its name. `id` was its own.
    void removed(const std::string& name, CamId id);

  private:
    // An edit's rename, which the cam's id follows.
    struct Rename {
        std::string from, to;
    };
    FileResult commit(std::string text, const Rename& rename = {});
    // Reads the file again when another program changed it; the list hears of it afterwards.
    void readAgainWhenChanged();
    void remember(std::string text, const Rename& rename = {});

    // Whether the text is the file's: a list that could not be read is never written over.
    FileResult readable() const;

    const std::filesystem::path m_file;
    CamIds m_ids;
    std::string m_text;
    std::string m_readError; // why the file could not be read last time; empty when it could
    std::vector<std::string> m_names;
    // the file as last seen, to notice another program's change
    struct Stamp {
        bool exists = false;
        ino_t inode = 0;
        off_t size = 0;
        int64_t modifiedNs = 0;
        bool operator==(const Stamp&) const = default;
    } m_stamp;
    Stamp stampNow() const;
};
