#pragma once
// The remote API's JSON texts of a status snapshot. Any thread.
#include <string>
#include <vector>

#include "core/remote/StationStatus.h"

namespace pelvano::core {

// /api/status; csrf: the session's token, "" to leave the field out.
std::string StatusJson(const StationStatus& status, const std::string& csrf);
// /api/schedule: every row and the next ones.
std::string ScheduleJson(const StationStatus& status);
// /api/log: the lines and the last sequence number.
std::string LogJson(const std::vector<StatusLogLine>& lines, std::uint64_t last);
std::string LogLineJson(const StatusLogLine& line);
// The levels event.
std::string LevelsJson(const StationStatus& status);
// /api/asrun: the days, newest first ("YYYY-MM-DD").
std::string AsRunDaysJson(const std::vector<std::string>& days);

}  // namespace pelvano::core
