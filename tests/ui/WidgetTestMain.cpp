// Runs widget tests inside the tool's own application object on the
// offscreen platform.
#include <gtest/gtest.h>

#include "KxApplication.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // also while the tests are listed
    KxApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
