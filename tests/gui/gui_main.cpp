// The window tests run inside the program's own application object, on Qt's
// offscreen platform unless the environment names another.
#include "app/qt/application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    velmora::VelmoraApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
