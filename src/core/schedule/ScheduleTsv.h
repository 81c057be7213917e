#pragma once
// A schedule file as UTF-8 tab-separated text, for people and scripts: a header line with the
// column names, then one line per stored line with its cells exactly as stored. Backslash, tab,
// CR and LF in a cell are written \\, \t, \r, \n; bytes that are not valid GB18030 as \xNN. A
// stored line that does not end with the cell separator has "\e" after its last cell. Reading
// the text back gives the schedule file byte for byte, for every line made of hexadecimal pairs.
#include <string>
#include <string_view>
#include <vector>

namespace pelvano::core {

// warnings receives one line for every stored line that will not come back byte for byte.
std::string ScheduleFileToTsv(std::string_view fileBytes, std::vector<std::string>* warnings = nullptr);
std::string TsvToScheduleFile(std::string_view tsv);

}  // namespace pelvano::core
