#pragma once

#include "camlist/camrecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The cam list file's text rules, on bytes in memory.
//
// A line ends at CR LF, a lone CR, a lone LF or the end of the text: lists written by hand end
// their lines as the editor does. A record is three lines: "[name]" + name, the address, the
// refresh text. Writers end every line with CR LF and follow each record with an empty line.
namespace camlisttext {

inline constexpr std::string_view marker = "[name]";
inline constexpr std::string_view lineEnd = "\r\n";

std::vector<std::string> splitLines(std::string_view text);

// The names the list box shows: every line holding the marker in any letter case, with every
// such marker cut out, in file order.
std::vector<std::string> listNames(std::string_view text);

// The first record whose name line is exactly "[name]" + name. A name line without its two
// following lines is no record.
std::optional<CamRecord> findRecord(std::string_view text, std::string_view name);

// Lengths a name and an address may have when they are typed or imported (a list written by
// hand may hold longer ones, which are kept).
inline constexpr size_t maxNameLength = 256;
inline constexpr size_t maxAddressLength = 2048;

// Whether text holds a control character (a line break, a tab, DEL).
bool holdsControlCharacter(std::string_view text);

// Whether a field would break the list's record lines: a control character (a line break
// would split the record) or the name marker in any letter case (a line holding it is read as
// a cam's name).
bool breaksRecordLines(std::string_view field);

// The bytes a record adds at the end of the file.

std::string recordText(const CamRecord& record);

// `text` with the record put last; a last line without its line end gets one first, so the
// record's name line stays a line of its own.
std::string withRecordAppended(std::string_view text, const CamRecord& record);

// The file after removing the first record named `name`: its three lines become two empty
// lines, every line ends in CR LF, and one more CR LF closes the file.
std::string withoutRecord(std::string_view text, std::string_view name);
// The record named `oldName` holding `record` instead, in the same place (the others' lines as
// they were, ended by CR LF); appended when no record has that name.
std::string withRecordReplaced(std::string_view text, std::string_view oldName,
                               const CamRecord& record);

} // namespace camlisttext
