// SPDX-License-Identifier: MIT
#include "gamewindow.h"

#include "desktop.h"

#include <algorithm>
#include <commctrl.h>

namespace velmora::win32 {

namespace {

const wchar_t* const className = L"VelmoraGame";
constexpr UINT_PTR tickTimer = 1;

constexpr int idFrame = childId(ui::game::frame);
constexpr int idFine = childId(ui::game::cmdFine);
constexpr int idVel = childId(ui::game::cmbVel);
constexpr int idLabel1 = childId(ui::game::Label1);
constexpr int idLabel2 = childId(ui::game::Label2);
constexpr int idPunti = childId(ui::game::lblPunti);

} // namespace

void GameWindow::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, className, windowProcedure<GameWindow>, true);
    Playfield::registerClass(instance);
}

// An owned pop-up, as a modal dialog is, with the frame and boxes of a main window: Wine tells
// the X window manager it is a dialog, which the manager then activates as it opens.
GameWindow::GameWindow(HWND owner) : owner_(owner) {
    madeWindow(CreateWindowExW(WS_EX_CONTROLPARENT, className, wide(ui::game::caption).c_str(),
                               WS_POPUP | WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), this));
}

// A window still there when its object goes (a quit ended the showing) goes first: no
// message may reach the object once it has gone.
GameWindow::~GameWindow() {
    if (window_) {
        closeWindow();
    }
}

bool GameWindow::play(HWND owner) {
    bool minimised = false;
    std::optional<int> quit; // the exit code of a quit that ended the game
    {
        GameWindow game(owner);
        // Shown and made the foreground window before its owner is disabled, so that a
        // disabled window never holds the activation: the keys, Alt+F4 too, go to the game at
        // once.
        ShowWindow(game.window_, SW_SHOW);
        SetForegroundWindow(game.window_);
        EnableWindow(owner, FALSE);
        game.session_.activate();
        MSG message;
        while (IsWindow(game.window_)) {
            if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
                quit = static_cast<int>(message.wParam);
                break;
            }
            minimised = IsIconic(game.window_) != FALSE; // as the message that may end it finds it
            if (!keyPolicyApplied(game.window_, message, true) &&
                !IsDialogMessageW(game.window_, &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    EnableWindow(owner, TRUE);
    if (quit) {
        PostQuitMessage(*quit); // for the program's own loop, which ends with it
    }
    return minimised;
}

LRESULT GameWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (screenFit_.refits(window_, message, wParam, lParam,
                          [this](const ui::Scale& scale) { layOut(scale); })) {
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        createControls();
        screenFit_.fitCentred(window_, [this](const ui::Scale& scale) { layOut(scale); });
        session_.load();
        return 0;
    case WM_TIMER: // the wait the session asked for is over
        if (wParam == tickTimer) {
            KillTimer(window_, tickTimer);
            session_.wake();
        }
        return 0;
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == lblPunti_) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, colourRef(ui::game::scoreColour));
            SetBkColor(dc, colourRef(ui::game::scoreBackgroundColour));
            SetDCBrushColor(dc, colourRef(ui::game::scoreBackgroundColour));
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
        break;
    case WM_PAINT: { // the score label's border, around the label
        PAINTSTRUCT paintInfo;
        const HDC dc = BeginPaint(window_, &paintInfo);
        const RECT border = pixelRect(ui::game::lblPunti.place, scale_);
        const HBRUSH brush = CreateSolidBrush(colourRef(ui::game::scoreBorderColour));
        FrameRect(dc, &border, brush);
        DeleteObject(brush);
        EndPaint(window_, &paintInfo);
        return 0;
    }
    case WM_ACTIVATE: // the focus goes back where it was when the player left the window
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(window_, focus)) {
                lastFocus_ = focus;
            }
        } else if (lastFocus_ && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_ENABLE: // the "Game Over !" box, as it closes, enables this window first
        if (wParam && session_.game().gameOver) {
            // This window, about to go, leaves the screen before the box does, and the start
            // window can take the activation: an X window manager then gives it the keyboard,
            // not to this window.
            EnableWindow(owner_, TRUE);
            ShowWindow(window_, SW_HIDE);
        }
        return 0;
    case WM_CLOSE:
        closeWindow();
        return 0;
    case WM_DESTROY:
        session_.closing();
        DeleteObject(font_);
        DeleteObject(scoreFont_);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

// The playfield takes no focus, so "Chiudi" is the first stop of the tab order.
void GameWindow::createControls() {
    using namespace ui::game;
    frame_.emplace(session_, window_, idFrame);
    cmdFine_ = createControl(window_, cmdFine, WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON, idFine);
    cmbVel_ = createControl(window_, cmbVel, WC_COMBOBOXW,
                            WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, idVel);
    Label1_ = createControl(window_, Label1, WC_STATICW, SS_LEFT, idLabel1);
    Label2_ = createControl(window_, Label2, WC_STATICW, SS_LEFT, idLabel2);
    // Its border is this window's to draw (WM_PAINT), in the layout's colour, not the system's.
    lblPunti_ = createControl(window_, lblPunti, WC_STATICW, SS_CENTER | SS_CENTERIMAGE, idPunti);
    applyTabOrder(window_, tabOrder);
}

// Every control at its place, and every text in its font, at the window's scale.
void GameWindow::layOut(const ui::Scale& scale) {
    using namespace ui::game;
    scale_ = scale;
    const HFONT oldFont = font_;
    const HFONT oldScoreFont = scoreFont_;
    font_ = createFont(ui::dialogFont, scale);
    scoreFont_ = createFont(lblPunti.font, scale);

    frame_->setScale(scale);
    placeControl(frame_->handle(), frame.place, scale);
    placeControl(cmdFine_, cmdFine.place, scale);
    ui::Rect withList = cmbVel.place; // a drop-down box's height includes its open list
    withList.Height *= 8;
    placeControl(cmbVel_, withList, scale);
    placeControl(Label1_, Label1.place, scale);
    placeControl(Label2_, Label2.place, scale);
    RECT inside = pixelRect(lblPunti.place, scale); // within its one-pixel border
    InflateRect(&inside, -1, -1);
    MoveWindow(lblPunti_, inside.left, inside.top, inside.right - inside.left,
               inside.bottom - inside.top, TRUE);
    for (const HWND control : {cmdFine_, cmbVel_, Label1_, Label2_}) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    SendMessageW(lblPunti_, WM_SETFONT, reinterpret_cast<WPARAM>(scoreFont_), TRUE);
    DeleteObject(oldFont);
    DeleteObject(oldScoreFont);
}

// Enter and Space on "Chiudi" come as its click, Escape as the close button (WM_CLOSE); the
// OK and Cancel that the dialog manager sends for the keys the policy leaves alone do nothing.
void GameWindow::command(int id, int notification) {
    if (id == idFine && notification == BN_CLICKED) {
        closeWindow();
    } else if (id == idVel && notification == CBN_SELCHANGE) {
        cmbVel_Click();
    }
}

// Only a pick from the list comes here: with the mouse, the arrow keys or the wheel.
void GameWindow::cmbVel_Click() {
    const LRESULT picked = SendMessageW(cmbVel_, CB_GETCURSEL, 0, 0);
    if (picked == CB_ERR) {
        return;
    }
    std::wstring text(static_cast<std::size_t>(
                          SendMessageW(cmbVel_, CB_GETLBTEXTLEN, static_cast<WPARAM>(picked), 0)),
                      L'\0');
    SendMessageW(cmbVel_, CB_GETLBTEXT, static_cast<WPARAM>(picked),
                 reinterpret_cast<LPARAM>(text.data()));
    session_.speedPicked(narrow(text));
}

void GameWindow::showScore(const std::string& caption) {
    SetWindowTextW(lblPunti_, wide(caption.c_str()).c_str());
}

void GameWindow::fillSpeedList(const std::vector<std::string>& list, const std::string& shown) {
    SendMessageW(cmbVel_, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : list) {
        SendMessageW(cmbVel_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(wide(entry.c_str()).c_str()));
    }
    const std::wstring text = wide(shown.c_str());
    SendMessageW(
        cmbVel_, CB_SETCURSEL,
        static_cast<WPARAM>(SendMessageW(cmbVel_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()))),
        0);
    SetWindowTextW(cmbVel_, text.c_str());
}

void GameWindow::focusFirstControl() {
    SetFocus(cmdFine_);
}

void GameWindow::repaintPlayfield(const Shape& place) {
    frame_->repaint(place);
}

// A one-shot wait: the session asks for the next one as each tick is done.
void GameWindow::wakeIn(int milliseconds) {
    SetTimer(window_, tickTimer, static_cast<UINT>(std::max<int>(milliseconds, USER_TIMER_MINIMUM)),
             nullptr);
}

void GameWindow::stopWaking() {
    KillTimer(window_, tickTimer);
}

void GameWindow::showMessage(const std::string& text) {
    win32::showMessage(window_, text);
    session_.messageDismissed();
}

// However the window goes (Chiudi, Escape, its close button, game over), it goes through
// here: the start window is enabled first, so that the window system activates it.
void GameWindow::closeWindow() {
    session_.closing();
    EnableWindow(owner_, TRUE);
    DestroyWindow(window_);
}

void GameWindow::endProgram(int status) {
    ExitProcess(static_cast<UINT>(status));
}

} // namespace velmora::win32
