// Entry of the OpenGL tests: a real display when there is one (xvfb-run), offscreen otherwise.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Without a display the tests skip themselves; the offscreen platform lists them safely.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
