#pragma once
// What the UI loop does with an exception that reached it: a silent abort is dropped; any other
// error goes to the play-process log and to one error box that is not modal to the playout, so
// timers keep running. An unattended station must not pile up boxes: a text that is already
// shown folds into the box with a count. UI thread only (report() included).
#include <QPointer>
#include <QString>
#include <exception>
#include <functional>
#include <string>
#include <vector>

class QMessageBox;

namespace pelvano::gui {

// The texts the error box shows, each with how often it arrived, in order of first arrival.
class ErrorFolding {
  public:
    struct Entry {
        std::string text;
        int count = 0;
    };
    void add(const std::string& text);
    void clear() { entries_.clear(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<Entry>& entries() const { return entries_; }
    // One line per text, " (×N)" after a text that arrived N > 1 times.
    std::string boxText() const;

  private:
    std::vector<Entry> entries_;
};

class UiErrors {
  public:
    using LogSink = std::function<void(const std::string&)>;

    // showBoxes false: the box is built and its text kept, but never shown (tests).
    explicit UiErrors(bool showBoxes = true) : showBoxes_(showBoxes) {}
    ~UiErrors();
    UiErrors(const UiErrors&) = delete;
    UiErrors& operator=(const UiErrors&) = delete;

    // Where every error's text also goes (the play-process log); empty: nowhere.
    void setLogSink(LogSink sink) { logSink_ = std::move(sink); }
    // An error's text (UTF-8) as the UI loop reports it.
    void report(const std::string& text);
    // The exception being handled (call inside a catch block): silent aborts are dropped.
    void reportCurrentException();
    // Runs a handler the way the UI loop does: what it throws is reported, never passed on.
    void runGuarded(const std::function<void()>& handler);
    // The handler wrapped by runGuarded, for callbacks of the controls and timers.
    std::function<void()> guarded(std::function<void()> handler);

    // The text of the box as shown now (empty when no box is open), and how many reports came.
    QString boxText() const;
    bool boxOpen() const;
    int reportCount() const { return reportCount_; }
    int silentAborts() const { return silentAborts_; }

  private:
    void showBox();

    bool showBoxes_;
    LogSink logSink_;
    ErrorFolding folding_;
    QPointer<QMessageBox> box_;
    int reportCount_ = 0;
    int silentAborts_ = 0;
    bool reporting_ = false;
};

// The text of an exception: what() of a std::exception, a fixed text for anything else.
std::string ExceptionText(const std::exception_ptr& error);

}  // namespace pelvano::gui
