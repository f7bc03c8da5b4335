#include <QCoreApplication>
#include <gtest/gtest.h>

// QSerialPort wants an application object (its notifiers need an event
// dispatcher); the tests turn the event loop by hand between ticks.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
