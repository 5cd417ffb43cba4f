// SPDX-License-Identifier: MIT
// What the keys do in the windows, for every front end. Enter and Space press the focused
// button, once a press: the repeats a held key sends press nothing, in either window, nor OK
// in a message. Enter presses only the focused button, never a default one, and in the
// speed box nothing at all. Escape closes the game window. Only a pick from the speed
// list (Session::speedPicked) changes the speed: typing, Enter in the box and leaving it
// change nothing.
#pragma once

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

} // namespace velmora::ui
