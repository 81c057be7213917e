#pragma once
// The application on a temporary station folder with the null output, its error box kept but
// never shown.
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

}  // namespace pelvano::gui::testing
