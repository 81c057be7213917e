#pragma once
// The play-process log: every step of the playout, shown in the log window to the millisecond
// and, while recording is on, appended to the day's file (History/YYYY-MM-DD.his, GBK, CR LF)
// through the file queue. Until the log window exists, messages are dropped for both. UI thread.
#include <functional>
#include <string>
#include <vector>

namespace pelvano::core {

class Clock;
class FileWriteQueue;

// What the log window shows: its lines, cleared completely when they exceed 500.
class PlayLogView {
public:
    virtual ~PlayLogView() = default;
    virtual void appendLine(const std::string& gbkLine) = 0;
    virtual void clear() = 0;
};

class LogWindowModel {
public:
    static constexpr std::size_t kMaxLines = 500;

    void setView(PlayLogView* view) { view_ = view; }
    // Told of every line besides the view (the remote status feed); empty: nobody.
    void setTap(std::function<void(const std::string&)> tap) { tap_ = std::move(tap); }
    void add(const std::string& line);
    void clear();
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    PlayLogView* view_ = nullptr;
    std::function<void(const std::string&)> tap_;
};

class PlayProcessLog {
public:
    // recording tells, at each line, whether chkRcdHis is on.
    PlayProcessLog(const Clock& clock, std::function<bool()> recording, FileWriteQueue& files);

    // The log window has been created: from now on messages are kept.
    void attachWindow(LogWindowModel* window) { window_ = window; }
    void setDayFile(std::string path) { dayFile_ = std::move(path); }
    const std::string& dayFile() const { return dayFile_; }

    void LogLine(const std::string& message);

    static const std::string& equalsRule();  // 51 '='
    static const std::string& minusRule();   // 51 '-'

private:
    const Clock& clock_;
    std::function<bool()> recording_;
    FileWriteQueue& files_;
    LogWindowModel* window_ = nullptr;
    std::string dayFile_;
};

}  // namespace pelvano::core
