// SPDX-License-Identifier: MIT
// The program's QApplication. Every event, and so every handler and slot of the windows, runs
// in the guard (guard.h): Qt lets nothing thrown cross its event loop. What an event's work
// throws ends the program as a run-time error of the game does: the Italian message in the
// program's message box, then exit status 1.
#pragma once

#include <QApplication>
#include <string>

namespace velmora::qt {

class Platform;

class Application final : public QApplication {
  public:
    // `platform` shows the message and ends the program; it outlives the application.
    Application(int& argc, char** argv, Platform& platform);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void fail(const std::string& message);

    Platform& platform_;
    bool failed_ = false; // a failure is ending the program
};

} // namespace velmora::qt
