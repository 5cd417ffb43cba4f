// SPDX-License-Identifier: MIT
// What the windows ask of the desktop beyond their own widgets: a modal message, and the
// end of the program. Tests put a stand-in here, so that none of them blocks in a message
// box or ends the test program.
#pragma once

#include "input.h"
#include "layout.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>

class QWidget;

namespace velmora::qt {

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

// A font of the layout, at the window's scale: "MS Sans Serif", where the system has it;
// otherwise a sans-serif of the same width if there is one, else the system's sans-serif.
QFont qtFont(const ui::Font& font, const ui::Scale& scale = ui::Scale());

QColor qtColour(const ui::Colour& colour);

// Lays a window out at the scale that fits it on its screen (ui::fittingScale: Qt's own
// where it fits, smaller where its whole frame would not fit the screen's available area)
// and places its frame in the middle of that area. The frame's size is known once the
// window system has framed the shown window: then the window is fitted and placed once
// more. A window moved to another screen is fitted to that one.
using LayOut = std::function<void(const ui::Scale&)>;
void fitAndCentre(QWidget& window, int clientWidthTwips, int clientHeightTwips, LayOut layOut);

// The keys of the shared key policy.
ui::Key uiKey(int qtKey);

// One press of Enter, Return or Space is one action: the repeats that a held key sends
// press no button, in any window of the program. Installed once, for the whole program.
void ignoreHeldKeys();

} // namespace velmora::qt
