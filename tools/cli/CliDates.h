#pragma once
// Dates and times as the command line takes them.
#include <string>

#include "core/app/DateTime.h"

namespace pelvano::cli {

// "YYYY-MM-DD"; false for anything else or a day that does not exist.
bool ParseDate(const std::string& text, core::LocalDateTime& date);
// "YYYY-MM-DD hh:mm:ss".
bool ParseDateTime(const std::string& text, core::LocalDateTime& time);

}  // namespace pelvano::cli
