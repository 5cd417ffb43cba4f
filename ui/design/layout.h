// SPDX-License-Identifier: MIT
// The two windows as designed, for every front end: each control's place in twips, its
// caption, font and colours, the tab order (the order of the lists below), the captions of
// the windows and the texts of the messages. Texts are UTF-8.
#pragma once

#include "numeric.h"
#include "units.h"

#include <array>
#include <cstdint>

namespace velmora::ui {

struct Colour {
    std::uint8_t red, green, blue;
};

struct Font {
    double points;
    bool bold;
};

// The windows' font, in order of preference: "MS Sans Serif" where the system has it,
// otherwise one of the same widths.
inline constexpr std::array<const char*, 4> fontFamilies = {"MS Sans Serif", "Microsoft Sans Serif",
                                                            "Arial", "Liberation Sans"};
inline constexpr Font dialogFont{8.25, false};

struct Control {
    const char* name;
    Rect place;
    const char* caption;
    Font font;
};

inline constexpr const char* programTitle = "Velmora";

// frmAvvio, the start window.
namespace start {
inline constexpr const char* caption = programTitle;
inline constexpr int clientWidth = 6300;
inline constexpr int clientHeight = 3630;
inline constexpr int pictureWidth = 400; // pixels at 96 dots per inch, drawn at that size
inline constexpr int pictureHeight = 225;
inline constexpr Control Image1{"Image1", {120, 120, 6000, 3375}, "", dialogFont};
inline constexpr Control cmdGioca{"cmdGioca", {360, 360, 1335, 615}, "GIOCA", {8.25, true}};
inline constexpr Control cmdFine{"cmdFine", {5040, 2880, 855, 375}, "Fine", dialogFont};
inline constexpr std::array<const Control*, 2> tabOrder = {&cmdGioca, &cmdFine};
} // namespace start

// frmVelmora, the game window. The playfield takes no focus, so "Chiudi" comes first.
namespace game {
inline constexpr const char* caption = "Velmora (un esempio didattico di programmazione)";
inline constexpr int clientWidth = 10080;
inline constexpr int clientHeight = 9045;
inline constexpr Control frame{"frame", {120, 120, 9855, 8295}, "", dialogFont};
inline constexpr Control cmdFine{"cmdFine", {9120, 8520, 735, 375}, "Chiudi", dialogFont};
inline constexpr Control cmbVel{"cmbVel", {1200, 8520, 1215, 315}, "", dialogFont};
inline constexpr Control Label1{"Label1", {360, 8640, 735, 255}, "Velocità :", dialogFont};
inline constexpr Control Label2{"Label2", {2760, 8640, 495, 255}, "Punti :", dialogFont};
// Red text on the window-background colour, centred, in a thin border of its own colour.
inline constexpr Control lblPunti{"lblPunti", {3360, 8520, 975, 375}, "", {13.5, true}};
inline constexpr std::array<const Control*, 6> tabOrder = {&frame,  &cmdFine, &cmbVel,
                                                           &Label1, &Label2,  &lblPunti};

inline constexpr Colour playfieldColour{255, 255, 255};
inline constexpr Colour brickColour{192, 255, 255};
inline constexpr Colour ballColour{255, 128, 128};
inline constexpr Colour paddleColour{192, 255, 192};
inline constexpr Colour scoreColour{255, 0, 0};
// The desktop the game was designed on: its window-text colour, black, outlines the
// playfield, the shapes and the score label; its window-background colour, white, is behind
// the score. Every front end draws these, whatever the colours of the desktop it runs on.
inline constexpr Colour outlineColour{0, 0, 0};
inline constexpr Colour scoreBackgroundColour{255, 255, 255};
// The score label's single-line border is an outline; the red is the score's own, its text's.
inline constexpr Colour scoreBorderColour = outlineColour;
// A brick's corners are rounded by this share of its width and of its height.
inline constexpr double brickCornerWidth = 0.25;
inline constexpr double brickCornerHeight = 0.40;
} // namespace game

// The message boxes, titled `programTitle`, with an OK button only and no icon, are at
// least this wide (in pixels at 96 dots per inch), so that a window manager shows the title.
inline constexpr int messageMinimumWidth = 200;
inline constexpr const char* gameOverMessage = "Game Over !";
inline constexpr const char* runTimeErrorMessage = "Errore di run-time: "; // then what went wrong

// A run-time error of the rules, in the windows' own words.
constexpr const char* describeInItalian(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Overflow:
        return "overflow";
    case ErrorKind::InvalidFloat:
        return "operazione non valida in virgola mobile";
    case ErrorKind::ElementExists:
        return "elemento della matrice di controlli già esistente";
    case ErrorKind::SubscriptOutOfRange:
        return "indice fuori dell'intervallo";
    }
    return "errore sconosciuto";
}
inline constexpr const char* outOfMemory = "memoria esaurita";
inline constexpr const char* windowNotMade = "impossibile creare la finestra"; // then why
inline constexpr const char* internalError = "errore interno";

// The nine controls of both windows, each with one number, its place here, by which every
// front end knows it: the page's element "control" + number, Velmora.exe's control id (past
// the ids Windows keeps for itself).
inline constexpr std::array<const Control*, 9> controls = {
    &start::Image1, &start::cmdGioca, &start::cmdFine, &game::frame,   &game::cmdFine,
    &game::cmbVel,  &game::Label1,    &game::Label2,   &game::lblPunti};

constexpr int controlId(const Control& control) {
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i] == &control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// The place of a control in its window's tab order.
template <std::size_t Count>
constexpr int tabIndex(const std::array<const Control*, Count>& order, const Control& control) {
    for (std::size_t i = 0; i < Count; ++i) {
        if (order[i] == &control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace velmora::ui
