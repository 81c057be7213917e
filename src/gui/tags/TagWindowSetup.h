#pragma once
// What the tag windows are built with, so that they run inside the application (the station's
// measuring path and event pump) and alone in tests. UI thread only.
#include <QString>
#include <string>

#include "core/ports/EventPump.h"
#include "core/schedule/RowFillPorts.h"

class QWidget;

namespace pelvano::gui {

struct TagWindowSetup {
    std::string applicationDir;  // native, with a trailing '/'
    std::string settingsFile;    // native
    // The station's measuring path; null when there is no sound device: files are then listed
    // with an empty length.
    core::DurationMeasurer* measurer = nullptr;
    core::EventPump* pump = nullptr;  // may be null
};

// A message for the operator in a window-modal box that does not block the caller.
void ShowTagMessage(QWidget* parent, const QString& text);

}  // namespace pelvano::gui
