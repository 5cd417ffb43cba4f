// SPDX-License-Identifier: MIT
// What the windows ask of the desktop beyond their own widgets: a modal message, and the
// end of the program. Tests put a stand-in here, so that none of them blocks in a message
// box or ends the test program.
#pragma once

#include "layout.h"

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace velmora::ui {

class Platform {
  public:
    virtual ~Platform() = default;

    // A modal message box titled "Velmora", with the text, an OK button only and no icon.
    virtual void message(QWidget* parent, const QString& text) = 0;

    // Ends the program at once with the exit status: every event loop returns, and the
    // windows go without close events.
    virtual void quit(int status) = 0;
};

class DesktopPlatform final : public Platform {
  public:
    void message(QWidget* parent, const QString& text) override;
    void quit(int status) override;
};

// A font of the layout: "MS Sans Serif", where the system has it; otherwise a sans-serif
// of the same width if there is one, else the system's sans-serif.
QFont qtFont(const Font& font);

QColor qtColour(const Colour& colour);

// Places a window in the middle of the available area of its screen: its whole frame, title
// bar included, once the window system has told the frame's size. A window larger than the
// area keeps its title bar on the screen.
void centreOnScreen(QWidget& window);

// One press of Enter, Return or Space is one action: the repeats that a held key sends
// press no button, in any window of the program. Installed once, for the whole program.
void ignoreHeldKeys();

} // namespace velmora::ui
