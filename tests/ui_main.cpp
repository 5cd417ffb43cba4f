// SPDX-License-Identifier: MIT
// The window tests run headless, on Qt's offscreen platform, unless told otherwise, in the
// program's own application.
#include "application.h"
#include "platform.h"

#include <gtest/gtest.h>

namespace {

// What a test's event throws outside a game window fails that test, with the message.
class ReportingPlatform final : public velmora::qt::Platform {
  public:
    void message(QWidget*, const QString& text) override { ADD_FAILURE() << text.toStdString(); }
    void quit(int) override {}
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ReportingPlatform platform;
    velmora::qt::Application app(argc, argv, platform);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
