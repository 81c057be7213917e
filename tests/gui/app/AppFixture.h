#pragma once
// The application on a temporary station folder with the null output, its error box kept but
// never shown; and a stand-in for the schedule window that the player docks and colours.
#include <gtest/gtest.h>

#include <QWidget>
#include <cstdlib>
#include <memory>
#include <vector>

#include "gui/app/StationApp.h"
#include "gui/app/UiErrors.h"
#include "support/TempDir.h"

namespace pelvano::gui::testing {

struct AppFixture : ::testing::Test {
    AppFixture() { ::setenv("PELVANO_OUTPUT", "null", 1); }
    ~AppFixture() override { ::unsetenv("PELVANO_OUTPUT"); }

    std::unique_ptr<StationApp> makeApp(std::vector<QString>* messages = nullptr) {
        StationAppOptions o;
        o.stationFolder = dir.path().string();
        o.executablePath = "/usr/bin/pelvano";
        o.showMessage = [messages](const QString& m) {
            if (messages) messages->push_back(m);
        };
        return std::make_unique<StationApp>(errors, o);
    }

    test::TempDir dir;
    UiErrors errors{false};
};

class FakeScheduleWindow : public QWidget, public ScheduleWindowHooks {
  public:
    FakeScheduleWindow() : QWidget(nullptr, Qt::FramelessWindowHint) { resize(297, 200); }
    QWidget* scheduleWidget() override { return this; }
    void toggleFileSelection() override { ++selectionToggles; }
    void applyAccentColour(core::TColor c) override { accent = c; }

    int selectionToggles = 0;
    core::TColor accent = 0;
};

}  // namespace pelvano::gui::testing
