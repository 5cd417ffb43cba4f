// SPDX-License-Identifier: MIT
// The page's side of Velmora: the windows and their controls as HTML elements, the
// playfield's canvas, the message box, the keys and the pointer. The game itself runs in
// velmora.wasm (main.cpp), which lays the windows out from their description and calls
// VelmoraPage; the page calls back the functions main.cpp exports.
"use strict";

// Emscripten's loader takes its settings from this object, and adds the exports to it.
var Module = {
    onAbort() {
        VelmoraPage.endProgram();
    },
};

const VelmoraPage = (() => {
    // The numbers this script shares with the program, written here by the build.

    const px = (twips) => twips / twipsPerPixel + "px";
    const desk = document.getElementById("desk");
    // index.html?lab: the lab (lab.js, lab.css) and the game built with it, velmora-lab.
    const lab = new URLSearchParams(location.search).has("lab");
    const code = lab ? "velmora-lab" : "velmora";
    const labLink = document.getElementById("lablink");
    const windows = []; // by number: startWindow, gameWindow
    let canvas = null;
    let context = null;
    let pixelRatio = 0; // canvas pixels to a CSS pixel of the playfield
    let lineWidth = 1; // the figures' outline, in canvas pixels: one CSS pixel
    let speedBox = null;
    let wakeTimer = 0;
    let message = null;
    let ended = false;

    function element(tag, className, parent) {
        const made = document.createElement(tag);
        if (className) {
            made.className = className;
        }
        if (parent) {
            parent.append(made);
        }
        return made;
    }

    // Each window as large as its description, or, where the viewport is smaller, scaled
    // down whole to fit it; in the middle of the viewport, as velmora.css puts it before this.
    function layOut() {
        if (ended) {
            return;
        }
        const width = desk.clientWidth;
        const height = desk.clientHeight;
        for (const shown of windows) {
            const box = shown.frame;
            const scale = Math.min(1, width / box.offsetWidth, height / box.offsetHeight);
            box.style.left = Math.max(0, (width - box.offsetWidth * scale) / 2) + "px";
            box.style.top = Math.max(0, (height - box.offsetHeight * scale) / 2) + "px";
            box.style.transform = scale < 1 ? "scale(" + scale + ")" : "none";
            box.style.setProperty("--scale", scale); // the style sheet's finger-sized areas
            shown.scale = scale;
        }
        if (!windows[gameWindow]) {
            return; // the game window, and its canvas, are not made yet
        }
        const ratio = window.devicePixelRatio * windows[gameWindow].scale;
        if (ratio !== pixelRatio) {
            pixelRatio = ratio;
            Module._velmora_pixel_ratio(ratio);
        }
    }

    // A change of the screen's pixel ratio (another screen, the browser's zoom) fires no
    // resize everywhere; a media query on the current ratio tells.
    function watchPixelRatio() {
        matchMedia("(resolution: " + window.devicePixelRatio + "dppx)").addEventListener(
            "change", () => {
                layOut();
                watchPixelRatio();
            }, {once: true});
    }

    // The playfield: mouse, pen and finger drag the paddle. A press and a release report the
    // button that changed, a move those held; places in CSS pixels as laid out, whatever
    // the window's scale. A finger also says how far from the paddle its contact may land.
    function makePlayfield(parent) {
        canvas = element("canvas", "playfield", parent);
        canvas.setAttribute("role", "img");
        canvas.setAttribute("aria-label", "Campo di gioco: i mattoni, la pallina e la racchetta");
        context = canvas.getContext("2d");
        const send = (event, pointer) => {
            const held = pointer.buttons;
            const changed = pointer.button;
            const moved = event === InputKind.Move;
            const left = moved ? (held & 1) !== 0 : changed === 0;
            const right = moved ? (held & 2) !== 0 : changed === 2;
            const middle = moved ? (held & 4) !== 0 : changed === 1;
            const box = canvas.getBoundingClientRect();
            const x = (pointer.clientX - box.left) * canvas.offsetWidth / box.width;
            const y = (pointer.clientY - box.top) * canvas.offsetHeight / box.height;
            const touched = pointer.pointerType === "touch" ? Pointer.Finger
                : pointer.pointerType === "pen" ? Pointer.Pen : Pointer.Mouse;
            Module._velmora_pointer(event, left, right, middle, x, y, touched,
                windows[gameWindow].scale);
        };
        canvas.addEventListener("pointerdown", (pointer) => {
            canvas.setPointerCapture(pointer.pointerId); // moves beyond the edge still come
            send(InputKind.Down, pointer);
        });
        canvas.addEventListener("pointermove", (pointer) => send(InputKind.Move, pointer));
        canvas.addEventListener("pointerup", (pointer) => send(InputKind.Up, pointer));
        canvas.addEventListener("contextmenu", (event) => event.preventDefault());
        return canvas;
    }

    // The editable speed box: a text field, a button that opens the list, and the list.
    // Only a pick from the list changes the speed: a click on an entry, or the arrow keys
    // stepping through it as on the desktop. Opened by a finger, the list has entries a
    // finger can hit, and neither it nor a pick puts the focus in the text field, which on
    // a phone would bring up the on-screen keyboard.
    function makeSpeedBox(parent) {
        const box = element("div", "speedbox", parent);
        const input = element("input", "", box);
        input.type = "text";
        input.setAttribute("role", "combobox");
        input.setAttribute("aria-label", "Velocità");
        input.setAttribute("aria-expanded", "false");
        input.setAttribute("aria-controls", "speedList");
        input.autocomplete = "off";
        input.spellcheck = false;
        const opener = element("button", "opener", box);
        opener.type = "button";
        opener.tabIndex = -1;
        opener.setAttribute("aria-label", "Apri l'elenco");
        const list = element("ul", "list", box);
        list.id = "speedList";
        list.setAttribute("role", "listbox");
        list.setAttribute("aria-label", "Velocità");
        list.hidden = true;
        speedBox = {input, list, entries: []};
        let byFinger = false; // the last press on the button or the list was a finger's

        const current = () => speedBox.entries.indexOf(input.value);
        const show = (open) => {
            list.hidden = !open;
            input.setAttribute("aria-expanded", String(open));
            if (open) {
                list.classList.toggle("finger", byFinger);
                list.classList.remove("above");
                if (list.getBoundingClientRect().bottom > desk.clientHeight) {
                    list.classList.add("above");
                }
                [...list.children].forEach((item, index) => {
                    item.setAttribute("aria-selected", String(index === current()));
                });
            }
        };
        const pick = (index) => {
            input.value = speedBox.entries[index];
            show(false);
            Module._velmora_speed_picked(index);
        };
        speedBox.pick = pick;
        // Neither the button nor the list takes the focus from the text.
        for (const part of [opener, list]) {
            part.addEventListener("pointerdown", (event) => {
                event.preventDefault();
                byFinger = event.pointerType === "touch";
            });
        }
        opener.addEventListener("click", () => {
            if (!byFinger) {
                input.focus();
            }
            show(list.hidden);
        });
        list.addEventListener("click", (event) => {
            const index = [...list.children].indexOf(event.target);
            if (index >= 0) {
                pick(index);
                if (byFinger) {
                    input.blur(); // the on-screen keyboard goes too, if it was up
                }
            }
        });
        // The box's finger-sized area beyond the text field (velmora.css) is the text field's.
        box.addEventListener("click", (event) => {
            if (event.target === box) {
                input.focus();
            }
        });
        input.addEventListener("blur", () => show(false));
        // A list opened by a finger has no focus to lose: a press anywhere else closes it.
        document.addEventListener("pointerdown", (event) => {
            if (!list.hidden && !box.contains(event.target)) {
                show(false);
            }
        });
        input.addEventListener("keydown", (event) => {
            if (event.key === "ArrowDown" || event.key === "ArrowUp") {
                event.preventDefault();
                if (event.altKey) {
                    byFinger = false;
                    show(list.hidden);
                    return;
                }
                const at = current();
                const last = speedBox.entries.length - 1;
                const next = event.key === "ArrowDown" ? Math.min(at + 1, last) : Math.max(at - 1, 0);
                if (next !== at) {
                    const open = !list.hidden; // an open list stays open, on the new entry
                    pick(next);
                    show(open);
                }
            } else if (event.key === "F4") {
                event.preventDefault();
                byFinger = false;
                show(list.hidden);
            } else if (event.key === "Escape" && !list.hidden) {
                event.stopPropagation(); // closes the list, not the window
                show(false);
            } else if (event.key === "Enter") {
                show(false);
            }
        });
    }

    function makeMessage() {
        message = element("dialog", "message", document.body);
        element("div", "title", message).textContent = "Velmora";
        const text = element("p", "text", message);
        const ok = element("button", "", message);
        ok.type = "button";
        ok.textContent = "OK";
        ok.autofocus = true;
        ok.addEventListener("click", () => message.close());
        // However it closes (OK, or Escape as in a desktop message box), it is dismissed.
        message.addEventListener("close", () => {
            if (!ended) {
                Module._velmora_message_dismissed();
            }
        });
        message.text = text;
    }

    // The keys, by the policy in input.h: Enter and Space press the focused button once
    // a press, and Escape closes the game window.
    function onKey(event) {
        const key = {"Enter": Key.Enter, " ": Key.Space, "Escape": Key.Escape}[event.key];
        const game = windows[gameWindow];
        if (key === undefined || ended || !game) {
            return;
        }
        const focused = document.activeElement;
        const onButton = focused instanceof HTMLButtonElement;
        if (onButton && key !== Key.Escape) {
            event.preventDefault(); // the button's own press, which a held key would repeat
        }
        const inGame = !game.frame.hidden && !message.open;
        const action = Module._velmora_key_action(key, event.repeat, onButton, inGame);
        if (action === KeyAction.PressFocused) {
            focused.click();
        } else if (action === KeyAction.CloseGameWindow) {
            event.preventDefault();
            game.closeButton.click();
        }
    }

    function keepWindow(number, frame) {
        windows[number] = {frame, client: frame.querySelector(".client"), scale: 1, closeButton: null};
    }

    function wireClick(number, button, id) {
        button.addEventListener("click", () => Module._velmora_clicked(id));
        windows[number].closeButton = button; // the game window has one: "Chiudi"
    }

    // The game's code runs once the start window has shown whole, picture and all: its
    // start-up (making the game window, a layout of the whole page) would hold that frame
    // back. The code is on its way already (start() preloads it). The service worker,
    // which fetches the whole site again to keep it, waits till then too.
    function runGame() {
        for (const name of lab ? ["lab.js", code + ".js"] : [code + ".js"]) {
            const script = element("script", "", document.head);
            script.async = false; // in this order
            script.src = name;
        }
        if ("serviceWorker" in navigator) {
            navigator.serviceWorker.register("sw.js").catch(() => {}); // playing needs none
        }
    }

    function start() {
        // The start window is in the page already, written by the build: it takes its place
        // at once.
        keepWindow(startWindow, document.getElementById("window" + startWindow));
        // The game's code comes while the start window shows: the plain game's, or the lab's.
        for (const [as, name] of [["fetch", code + ".wasm"], ["script", code + ".js"]]) {
            const link = element("link");
            link.href = name;
            link.as = as;
            link.crossOrigin = as === "fetch" ? "anonymous" : null;
            link.rel = "preload";
            document.head.append(link); // once whole: a preload needs its place first
        }
        if (lab) { // lab.css is in place already (index.html)
            labLink.href = "./";
            labLink.textContent = "Chiudi il laboratorio";
            // The panel's room follows its text size.
            new ResizeObserver(layOut).observe(desk);
        }
        layOut();
        const picture = document.getElementById("control" + pictureId);
        picture.decode().catch(() => {}).then(() => requestAnimationFrame(runGame));
        makeMessage();
        document.addEventListener("keydown", onKey);
        document.addEventListener("keyup", (event) => {
            if (event.key === " " && document.activeElement instanceof HTMLButtonElement) {
                event.preventDefault(); // Space pressed already on its way down
            }
        });
        window.addEventListener("resize", layOut);
        watchPixelRatio();
    }

    return {
        // The game window, closed.
        addWindow(number, caption, width, height) {
            const frame = element("section", "window", desk);
            frame.id = "window" + number;
            const title = element("div", "title", frame);
            title.textContent = caption;
            title.id = "title" + number;
            frame.setAttribute("aria-labelledby", title.id);
            const client = element("div", "client", frame);
            client.style.width = px(width);
            client.style.height = px(height);
            frame.hidden = true;
            keepWindow(number, frame);
        },

        // A button of the start window, in the page already.
        wireButton(number, id) {
            wireClick(number, document.getElementById("control" + id), id);
        },

        // The windows are complete: they take their places, and the canvas its pixels.
        ready() {
            layOut();
            windows[startWindow].client.querySelector("button").focus();
        },

        addControl(number, id, kind, caption, left, top, width, height, points, bold) {
            const parent = windows[number].client;
            let made;
            if (kind === "button") {
                made = element("button", "", parent);
                made.type = "button";
                made.textContent = caption;
                wireClick(number, made, id);
            } else if (kind === "playfield") {
                made = makePlayfield(parent);
            } else if (kind === "speedbox") {
                makeSpeedBox(parent);
                made = speedBox.input.parentElement;
            } else {
                made = element("div", kind, parent);
                made.textContent = caption;
                if (kind === "score") { // its colours are the windows' description's
                    made.setAttribute("aria-live", "polite");
                    made.style.color = scoreColour;
                    made.style.background = scoreBackgroundColour;
                    made.style.borderColor = scoreBorderColour;
                }
            }
            made.id = "control" + id;
            made.style.left = px(left);
            made.style.top = px(top);
            made.style.width = px(width);
            made.style.height = px(height);
            made.style.fontSize = points * 96 / 72 + "px";
            made.style.fontWeight = bold ? "bold" : "normal";
        },

        // A control's text and border colours, from the windows' description.
        showGameWindow(shown) {
            windows[gameWindow].frame.hidden = !shown;
            windows[startWindow].frame.inert = shown; // the game window is modal
            labLink.inert = shown && !lab; // in the lab it heads the panel, which is not
            layOut();
            if (!shown) {
                windows[startWindow].client.querySelector("button").focus();
            }
        },

        focusFirstControl(number) {
            windows[number].client.querySelector("button, input").focus();
        },

        // The score is a polite live region: a screen reader says each new one.
        showScore(caption) {
            windows[gameWindow].client.querySelector(".score").textContent = caption;
        },

        fillSpeedList(entries, text) {
            speedBox.entries = entries;
            speedBox.list.replaceChildren(...entries.map((entry) => {
                const item = element("li");
                item.textContent = entry;
                item.setAttribute("role", "option");
                return item;
            }));
            speedBox.input.value = text;
        },

        wakeIn(milliseconds) {
            clearTimeout(wakeTimer);
            wakeTimer = setTimeout(() => Module._velmora_wake(), milliseconds);
        },

        stopWaking() {
            clearTimeout(wakeTimer);
        },

        showMessage(text) {
            message.text.textContent = text;
            message.showModal();
        },

        // A page cannot close its tab: it says that Velmora has ended, and offers it again.
        endProgram() {
            ended = true;
            clearTimeout(wakeTimer);
            if (message.open) {
                message.close();
            }
            const ending = element("div", "ended");
            element("p", "", ending).textContent = "Velmora è terminato.";
            const again = element("button", "", ending);
            again.type = "button";
            again.textContent = "Avvia di nuovo";
            again.addEventListener("click", () => location.reload());
            desk.replaceChildren(ending);
            again.focus();
        },

        sizeCanvas(width, height) {
            canvas.width = width;
            canvas.height = height;
            lineWidth = Math.max(1, Math.round(width / canvas.offsetWidth || 1));
        },

        // Painting an area of the canvas (canvas pixels): the ground, the figures, the border.
        beginPaint(left, top, width, height) {
            context.save();
            context.beginPath();
            context.rect(left, top, width, height);
            context.clip();
            context.fillStyle = "#ffffff";
            context.fillRect(left, top, width, height);
            context.lineWidth = lineWidth;
            context.strokeStyle = outlineColour;
        },

        // A figure of drawing.h, on whole pixels, its outline along the inside of its box. The
        // lab draws its own (lab.js).
        figure(kind, left, top, width, height, red, green, blue, cornerWidth, cornerHeight) {
            const inset = lineWidth / 2;
            const x = Math.round(left) + inset;
            const y = Math.round(top) + inset;
            const w = Math.round(left + width) - inset - x;
            const h = Math.round(top + height) - inset - y;
            context.beginPath();
            if (kind === Figure.RoundedRectangle) {
                context.roundRect(x, y, w, h, [{x: cornerWidth / 2, y: cornerHeight / 2}]);
            } else if (kind === Figure.Circle) {
                context.ellipse(x + w / 2, y + h / 2, w / 2, h / 2, 0, 0, 2 * Math.PI);
            } else { // Figure.Rectangle
                context.rect(x, y, w, h);
            }
            context.fillStyle = "rgb(" + red + "," + green + "," + blue + ")";
            context.fill();
            context.stroke();
        },

        endPaint() {
            const inset = lineWidth / 2;
            context.strokeRect(inset, inset, canvas.width - lineWidth, canvas.height - lineWidth);
            context.restore();
        },

        start,
    };
})();

VelmoraPage.start();
