#pragma once
// INI files with the rules of the Windows private-profile service, so that settings written by
// the older system read the same: one access per call (the file is opened, read or rewritten,
// and closed); section and key names compared without letter case; a missing file or key reads
// as the default; a write creates the file, section and key as needed and keeps every other
// line, comment and the order; lines are written with CR LF, LF alone is accepted. A UTF-8 byte
// order mark on the first line is ignored when reading and kept when rewriting. Lines without
// "=" and lines starting with ";" are not keys. Where a section or key appears twice, the first
// one counts. A value is everything after the "=" but its trailing blanks (a leading blank is
// kept, so " YES" is not a yes); enclosed in double or single quotes it reads without them.
// Files are replaced atomically, and only when a write changes their bytes. A file that is there
// but cannot be read reads as empty and is never written: a write adds or changes keys, it never
// drops what it could not read. Writes may come from any thread: they are made one after the
// other, so that two writes to one file each keep the other's keys.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/app/AtomicFile.h"

namespace pelvano::core {

std::string IniRead(const std::string& file, std::string_view section, std::string_view key);
std::string IniReadDef(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view def);
// The value when the key is present in the section (even when empty), else def.
std::string IniReadIfPresent(const std::string& file, std::string_view section, std::string_view key,
                             std::string_view def);
// False, with the reason in *error, when the file could not be read or rewritten; it is then
// unchanged.
bool IniWrite(const std::string& file, std::string_view section, std::string_view key,
              std::string_view value, std::string* error = nullptr);
// Several keys of one section in one rewrite. OwnerOnly: the file (new or rewritten) is left
// readable by its owner alone.
bool IniWriteMany(const std::string& file, std::string_view section,
                  const std::vector<std::pair<std::string, std::string>>& values,
                  std::string* error = nullptr, FileAccess access = FileAccess::AsBefore);

}  // namespace pelvano::core
