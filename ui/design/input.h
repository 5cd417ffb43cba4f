// SPDX-License-Identifier: MIT
// What the keys and the pointer do in the windows, for every front end. Enter and Space press the
// focused button, once a press: the repeats a held key sends press nothing, in either window, nor
// OK in a message. Enter presses only the focused button, never a default one, and in the speed box
// nothing at all. Escape closes the game window. Only a pick from the speed list
// (Session::speedPicked) changes the speed: typing, Enter in the box and leaving it change nothing.
#pragma once

#include "game.h"

namespace velmora::ui {

enum class Key { Enter, Space, Escape, Other };

enum class KeyAction {
    None,           // the key does nothing here (or the front end's control handles it)
    PressFocused,   // click the focused button
    CloseGameWindow // the game window goes, as by "Chiudi"
};

struct KeyPress {
    Key key;
    bool repeat;          // a repeat of a held key
    bool focusOnButton;   // the focus is on a button
    bool inTheGameWindow; // Escape closes only there
};

constexpr bool repeatsPressNothing(Key key) {
    return key == Key::Enter || key == Key::Space;
}

constexpr KeyAction keyAction(const KeyPress& press) {
    if (press.repeat && repeatsPressNothing(press.key)) {
        return KeyAction::None;
    }
    switch (press.key) {
    case Key::Enter:
    case Key::Space:
        return press.focusOnButton ? KeyAction::PressFocused : KeyAction::None;
    case Key::Escape:
        return press.inTheGameWindow ? KeyAction::CloseGameWindow : KeyAction::None;
    case Key::Other:
        break;
    }
    return KeyAction::None;
}

// What touched the playfield: a finger covers an area, a mouse or a pen a point.
enum class Pointer { Mouse, Pen, Finger };

// How far a finger may miss the paddle and still hold it: about 3 mm, in pixels of the screen
// (CSS pixels in the browser), whatever the scale the window is drawn at.
inline constexpr double fingerReach = 12;

// Where a contact is handed to the rules. A finger's contact within the paddle's left and
// right edges and within `reach` twips above or below its band counts as on the band's
// middle line, so that a drag that drifts off the thin paddle keeps it. Elsewhere, and for a
// mouse or a pen, the place is as it is.
inline float contactY(Pointer pointer, const Shape& paddle, float x, float y, float reach) {
    const bool across = x >= paddle.Left && x <= farEdge(paddle.Left, paddle.Width);
    const bool withinReach = y >= Sum(Dbl(paddle.Top), -Dbl(reach)) &&
                             y <= Sum(farEdge(paddle.Top, paddle.Height), Dbl(reach));
    return pointer == Pointer::Finger && across && withinReach
               ? ToSingle(middle(paddle.Top, paddle.Height))
               : y;
}

} // namespace velmora::ui
