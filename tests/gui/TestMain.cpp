// The controls and windows need a QApplication; without a screen they run on the offscreen
// platform. It is the application's own, so the UI loop's error handling is under test too;
// its error box is kept, never shown.
#include <gtest/gtest.h>

#include "gui/app/PelvanoApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    pelvano::gui::PelvanoApplication app(argc, argv, /*showErrorBoxes=*/false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
