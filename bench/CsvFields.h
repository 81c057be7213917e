#pragma once
// The fields of one line of the as-run files (no quoting: their fields hold no commas).
#include <string>
#include <vector>

inline std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}
