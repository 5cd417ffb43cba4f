// SPDX-License-Identifier: MIT
// What the session's two files share: the guarded run of one event's work, and the lab's
// hooks. session.cpp holds the sequences every front end runs, sessionlab.cpp the lab's
// controls, so that a front end that never attaches a record links none of the latter.
#pragma once

#include "guard.h"
#include "session.h"

namespace velmora::ui {

// The sequences every front end runs reach the lab's side only through `lab_`, which only
// keepRecord() and playRecord() set.
class Session::Lab {
  public:
    virtual ~Lab() = default;
    virtual void activated(Session& session) const { session.labActivated(); }
    virtual bool tickDue(Session& session) const { return session.labTickDue(); }
    virtual void tick(Session& session) const { session.labTick(); }
    virtual void take(Session& session, const Input& input) const { session.labTake(input); }
};

// Runs one event's whole work, the showing of the new state included, in the guard: whatever
// it throws ends the program, with a message. After a failure nothing more runs.
template <typename Work> void Session::run(Work&& work) {
    if (failed_) {
        return;
    }
    guarded(
        [&] {
            work();
            showState();
        },
        [this](const std::string& message) { fail(message); });
}

} // namespace velmora::ui
