// SPDX-License-Identifier: MIT
// Velmora in the browser: the two windows are drawn inside the page by page.js, from the
// description in layout.h (the start window is written into the page at build time), and
// the game session runs here. The page calls the exported
// functions below, one for each event; this side calls the page through the EM_JS
// functions, each a single call into page.js.
#include "controls.h"
#include "drawing.h"
#include "guard.h"
#include "input.h"
#include "layout.h"
#include "session.h"
#include "units.h"
#ifdef VELMORA_LAB
#include "panel.h"
#endif

#include <emscripten.h>
#include <optional>
#include <string>

// clang-format off
EM_JS(void, pageWireButton, (int window, int id), { VelmoraPage.wireButton(window, id); });
EM_JS(void, pageAddWindow, (int window, const char* caption, int width, int height), {
    VelmoraPage.addWindow(window, UTF8ToString(caption), width, height);
});
EM_JS(void, pageAddControl, (int window, int id, const char* kind, const char* caption,
                             int left, int top, int width, int height, double points, int bold), {
    VelmoraPage.addControl(window, id, UTF8ToString(kind), UTF8ToString(caption),
                           left, top, width, height, points, bold !== 0);
});
EM_JS(void, pageReady, (), { VelmoraPage.ready(); });
EM_JS(void, pageShowGameWindow, (int shown), { VelmoraPage.showGameWindow(shown !== 0); });
EM_JS(void, pageShowScore, (const char* caption), { VelmoraPage.showScore(UTF8ToString(caption)); });
EM_JS(void, pageFillSpeedList, (const char* list, const char* text), {
    VelmoraPage.fillSpeedList(UTF8ToString(list).split("\n"), UTF8ToString(text));
});
EM_JS(void, pageFocusFirstControl, (int window), { VelmoraPage.focusFirstControl(window); });
EM_JS(void, pageWakeIn, (int milliseconds), { VelmoraPage.wakeIn(milliseconds); });
EM_JS(void, pageStopWaking, (), { VelmoraPage.stopWaking(); });
EM_JS(void, pageShowMessage, (const char* text), { VelmoraPage.showMessage(UTF8ToString(text)); });
EM_JS(void, pageEndProgram, (), { VelmoraPage.endProgram(); });
EM_JS(void, pageSizeCanvas, (int width, int height), { VelmoraPage.sizeCanvas(width, height); });
EM_JS(void, pageBeginPaint, (int left, int top, int width, int height), {
    VelmoraPage.beginPaint(left, top, width, height);
});
EM_JS(void, pageFigure, (int kind, double left, double top, double width, double height,
                         int red, int green, int blue, double cornerWidth, double cornerHeight), {
    VelmoraPage.figure(kind, left, top, width, height, red, green, blue, cornerWidth, cornerHeight);
});
EM_JS(void, pageEndPaint, (), { VelmoraPage.endPaint(); });
// clang-format on

namespace {

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::web;

// What kind of element the page makes for a control of the game window.
const char* kindOf(const Control& control) {
    if (&control == &game::frame) {
        return "playfield";
    }
    if (&control == &game::cmbVel) {
        return "speedbox";
    }
    if (&control == &game::lblPunti) {
        return "score";
    }
    if (&control == &game::Label1 || &control == &game::Label2) {
        return "label";
    }
    return "button";
}

void addControl(WindowId window, const Control& control) {
    pageAddControl(window, controlId(control), kindOf(control), control.caption, control.place.Left,
                   control.place.Top, control.place.Width, control.place.Height,
                   control.font.points, control.font.bold ? 1 : 0);
}

class Page final : public GameView {
  public:
    // The start window is in the page already, written at build time from the same
    // description (start_window.cpp): its buttons only need their clicks.
    void build() {
        for (const Control* control : start::tabOrder) {
            pageWireButton(startWindow, controlId(*control));
        }
        pageAddWindow(gameWindow, game::caption, game::clientWidth, game::clientHeight);
        for (const Control* control : game::tabOrder) {
            addControl(gameWindow, *control);
        }
        pageReady();
    }

    void clicked(int id) {
        if (ended_ || failing() || id < 0 || static_cast<std::size_t>(id) >= controls.size()) {
            return;
        }
        const Control* control = controls[static_cast<std::size_t>(id)];
        if (control == &start::cmdGioca) {
            openGame();
        } else if (control == &start::cmdFine) {
            endProgram(0);
        } else if (control == &game::cmdFine) {
            closeWindow();
        }
    }

    // Device pixels to a CSS pixel on the playfield: the screen's ratio times the scale
    // the window is shown at. The canvas keeps that many pixels, so it stays sharp.
    void setPixelRatio(double ratio) {
        scale_ = Scale(standardPixelsPerInch * ratio);
        pageSizeCanvas(scale_.wholePixels(game::frame.place.Width),
                       scale_.wholePixels(game::frame.place.Height));
        paintAll();
    }

    // The session of the game window while it is open.
    Session* session() { return gameOpen() && !ended_ ? &*session_ : nullptr; }
    // The session of its last showing, open or closed, which the lab keeps showing; none
    // before the first.
    Session* lastSession() { return session_ ? &*session_ : nullptr; }

    // GameView
    void showScore(const std::string& caption) override { pageShowScore(caption.c_str()); }
    void fillSpeedList(const std::vector<std::string>& list, const std::string& text) override {
        std::string lines;
        for (const std::string& entry : list) {
            lines += (lines.empty() ? "" : "\n") + entry;
        }
        pageFillSpeedList(lines.c_str(), text.c_str());
    }
    void focusFirstControl() override { pageFocusFirstControl(gameWindow); }
    void repaintPlayfield(const Shape& place) override { paint(repaintArea(place, scale_)); }
    void wakeIn(int milliseconds) override { pageWakeIn(milliseconds); }
    void stopWaking() override { pageStopWaking(); }
    void showMessage(const std::string& text) override { pageShowMessage(text.c_str()); }
    void closeWindow() override {
        if (gameOpen()) {
            session_->closing(); // closed before the page hides it, which may call back
            pageShowGameWindow(0);
        }
    }
    // A page has no exit status to give: it says that Velmora has ended.
    void endProgram(int /*status*/) override {
        ended_ = true;
        pageEndProgram();
    }

    // What a call from the page threw ends Velmora the session's way, open or closed: the
    // message, then the end. Before any game there is no session: the page does the same.
    void fail(const std::string& message) {
        if (ended_) {
            return;
        }
        if (session_) {
            session_->fail(message);
        } else if (!failedWithoutGame_) {
            failedWithoutGame_ = true;
            pageShowMessage(message.c_str());
        }
    }

    void messageDismissed() {
        if (failedWithoutGame_) {
            endProgram(1);
        } else if (session_) {
            session_->messageDismissed();
        }
    }

  private:
    // A new session for each showing of the game window; a closed one stays, stopped, until
    // the next showing replaces it (it may be closing from inside one of its own calls).
    void openGame() {
        if (gameOpen()) {
            return;
        }
        session_.emplace(*this, clock_);
        pageShowGameWindow(1);
        session_->load();
#ifdef VELMORA_LAB
        labShowing(*session_);
#endif
        paintAll();
        session_->activate();
#ifdef VELMORA_LAB
        labChanged();
#endif
    }

#ifdef VELMORA_LAB
    friend bool web::openGameWindow();
#endif

    void paintAll() {
        paint({0, 0, scale_.wholePixels(game::frame.place.Width),
               scale_.wholePixels(game::frame.place.Height)});
    }

    // Paints the area (device pixels) from the game's state: the white ground, the figures
    // that reach into it, and the playfield's border.
    void paint(const Rect& area) {
        if (!session_) {
            return;
        }
        pageBeginPaint(area.Left, area.Top, area.Width, area.Height);
        const auto draw = [&](const auto& figure) {
            if (!reaches(figure, area, scale_)) {
                return;
            }
            const double left = scale_.pixels(figure.Left);
            const double top = scale_.pixels(figure.Top);
            const double right = scale_.pixels(figure.Left + figure.Width);
            const double bottom = scale_.pixels(figure.Top + figure.Height);
            pageFigure(figure.kind, left, top, right - left, bottom - top, figure.fill.red,
                       figure.fill.green, figure.fill.blue, scale_.pixels(figure.cornerWidth),
                       scale_.pixels(figure.cornerHeight));
        };
        drawPlayfield(session_->game(), draw);
#ifdef VELMORA_LAB
        drawLabMarks(session_->game(), labMarks(), draw);
#endif
        pageEndPaint();
    }

    bool gameOpen() const {
        return session_ && !session_->isClosed();
    }
    bool failing() const {
        return failedWithoutGame_ || (session_ && session_->hasFailed());
    }

    Scale scale_;
    SteadyClock clock_;
    std::optional<Session> session_;
    bool ended_ = false;             // "Fine", or a failure's message dismissed
    bool failedWithoutGame_ = false; // a failure before any game window is ending Velmora
};

Page page;

// Every function the page calls, the painting of the playfield included, runs its work in
// the guard: nothing thrown crosses into JavaScript.
template <typename Work> void fromPage(Work&& work) {
    guarded(work, [](const std::string& message) { page.fail(message); });
}

// After each of the page's events: in velmora-lab, the lab shows what it did.
void afterEvent() {
#ifdef VELMORA_LAB
    labChanged();
#endif
}

} // namespace

#ifdef VELMORA_LAB
bool web::openGameWindow() {
    if (page.ended_) {
        return false;
    }
    page.closeWindow();
    page.openGame();
    return true;
}

void web::repaintPlayfield(const Shape& place) {
    page.repaintPlayfield(place);
}

Session* web::labSession() {
    return page.lastSession();
}

void web::failFromLab(const std::string& message) {
    page.fail(message);
}
#endif

// The page's events.
extern "C" {

EMSCRIPTEN_KEEPALIVE void velmora_clicked(int id) {
    fromPage([&] {
        page.clicked(id);
        afterEvent();
    });
}

EMSCRIPTEN_KEEPALIVE void velmora_wake() {
    fromPage([] {
        if (Session* session = page.session()) {
            session->wake();
        }
        afterEvent();
    });
}

// A pointer event on the playfield: down, move or up (Input::Kind); the buttons as the rules
// count them; the place in CSS pixels from the playfield's top left corner, as laid out; what
// touched it (Pointer); and the scale the game window is drawn at, which a finger's reach,
// fixed on the screen, is divided by.
EMSCRIPTEN_KEEPALIVE void velmora_pointer(int event, int left, int right, int middle, double x,
                                          double y, int pointer, double windowScale) {
    fromPage([&] {
        Session* session = page.session();
        const auto scale = numberIn(windowScale, 0.01, 100);
        if (!session || !scale) {
            return;
        }
        const Scale css; // 96 CSS pixels an inch: 15 twips a pixel
        const Integer button = buttonValue(left != 0, right != 0, middle != 0);
        const float xTwips = css.twips(x);
        const auto touched = static_cast<Pointer>(pointer);
        const float yTwips = contactY(touched, session->game().shaB, xTwips, css.twips(y),
                                      css.twips(fingerReach / *scale));
        const auto kind = static_cast<Input::Kind>(event);
        if (kind == Input::Kind::Down) {
            session->mouseDown(button, xTwips, yTwips);
        } else if (kind == Input::Kind::Move) {
            session->mouseMove(button, xTwips, yTwips);
        } else if (kind == Input::Kind::Up) {
            session->mouseUp(button, xTwips, yTwips);
        }
        afterEvent();
    });
}

// A pick from the speed list: its entry's place in the list.
EMSCRIPTEN_KEEPALIVE void velmora_speed_picked(int index) {
    fromPage([&] {
        Session* session = page.session();
        if (!session || index < 0) {
            return;
        }
        const std::vector<std::string>& list = session->game().cmbVel.List;
        if (static_cast<std::size_t>(index) < list.size()) {
            session->speedPicked(list[static_cast<std::size_t>(index)]);
        }
        afterEvent();
    });
}

EMSCRIPTEN_KEEPALIVE void velmora_message_dismissed() {
    fromPage([] {
        page.messageDismissed();
        afterEvent();
    });
}

// Refused unless it is a ratio a screen can have.
EMSCRIPTEN_KEEPALIVE void velmora_pixel_ratio(double ratio) {
    fromPage([&] {
        if (const auto checked = numberIn(ratio, 0.25, 16)) {
            page.setPixelRatio(*checked);
        }
    });
}

// What a key does (its KeyAction): the Key, whether it repeats a held one, whether the focus
// is on a button, whether the game window has the keys.
EMSCRIPTEN_KEEPALIVE int velmora_key_action(int key, int repeat, int onButton, int inGame) {
    int action = static_cast<int>(KeyAction::None);
    fromPage([&] {
        const bool known = key >= 0 && key <= static_cast<int>(Key::Other);
        const Key pressed = known ? static_cast<Key>(key) : Key::Other;
        action = static_cast<int>(keyAction({pressed, repeat != 0, onButton != 0, inGame != 0}));
    });
    return action;
}

// Read-only, for the end-to-end test: the paddle's left edge and the ball's vertical step.
EMSCRIPTEN_KEEPALIVE double velmora_paddle_left() {
    double left = -1;
    fromPage([&] {
        if (const Session* session = page.lastSession()) {
            left = static_cast<double>(session->game().shaB.Left);
        }
    });
    return left;
}

EMSCRIPTEN_KEEPALIVE int velmora_speed() {
    int speed = 0;
    fromPage([&] {
        if (const Session* session = page.lastSession()) {
            speed = static_cast<int>(session->game().velY);
        }
    });
    return speed;
}

} // extern "C"

int main() {
    fromPage([] { page.build(); });
    return 0;
}
