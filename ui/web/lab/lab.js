// SPDX-License-Identifier: MIT
// The lab's panel beside the game window, loaded by page.js for index.html?lab, before
// velmora-lab.js: the game's state, tick by tick, and what happened; the clock's controls;
// a game saved as a script for velmora-sim, or opened from one. The lab itself runs in
// velmora-lab.wasm (lab.cpp), which calls VelmoraLab.changed() after each step of the game;
// the panel reads its contents from there.
"use strict";

const VelmoraLab = (() => {
    // The numbers this script shares with the program, written here by the build.

    // The lab's two marks (marks.h), a box's edge and a segment, on whole pixels as the
    // game's figures are, in their colour and filling nothing; the figures are page.js's.
    const gameFigure = VelmoraPage.figure;
    VelmoraPage.figure = (kind, left, top, width, height, red, green, blue, ...corners) => {
        if (kind !== Mark.Outline && kind !== Mark.Segment) {
            gameFigure(kind, left, top, width, height, red, green, blue, ...corners);
            return;
        }
        const context = document.querySelector(".playfield").getContext("2d");
        const inset = context.lineWidth / 2; // as page.js's beginPaint set it
        const x = Math.round(left) + inset;
        const y = Math.round(top) + inset;
        const right = Math.round(left + width);
        const bottom = Math.round(top + height);
        context.beginPath();
        if (kind === Mark.Segment) { // from pixel centre to pixel centre
            context.moveTo(x, y);
            context.lineTo(right + inset, bottom + inset);
        } else {
            context.rect(x, y, right - inset - x, bottom - inset - y);
        }
        const outline = context.strokeStyle;
        context.strokeStyle = "rgb(" + red + "," + green + "," + blue + ")";
        context.stroke();
        context.strokeStyle = outline;
    };

    const largest = 1024 * 1024; // the biggest file "Apri una partita" opens, in bytes
    const calm = 250; // ms between two refreshes while the game plays on by itself
    let view = {};
    let timer = 0;
    let lastRefresh = 0;
    let shownCount = -1;

    function element(tag, parent, text, className) {
        const made = document.createElement(tag);
        if (text !== undefined) {
            made.textContent = text;
        }
        if (className) {
            made.className = className;
        }
        parent.append(made);
        return made;
    }

    function button(parent, caption, click) {
        const made = element("button", parent, caption);
        made.type = "button";
        made.addEventListener("click", click);
        return made;
    }

    const panel = element("aside", document.body, undefined, "lab");
    panel.setAttribute("aria-labelledby", "lab-title");
    element("h2", panel, "Come funziona").id = "lab-title";

    const control = (which, value) => act(() => Module._velmora_lab_control(which, value));

    const time = element("div", panel, undefined, "lab-time");
    const pause = button(time, "Pausa",
        () => control(ClockControl.Pause, view.open && !view.paused ? 1 : 0));
    const back = button(time, "Un tick indietro", () => control(ClockControl.Step, 0));
    const forward = button(time, "Un tick avanti", () => control(ClockControl.Step, 1));

    const sliderRow = element("label", panel, "Tick ", "lab-slider");
    const slider = element("input", sliderRow);
    slider.type = "range";
    slider.min = 0;
    slider.max = 0;
    slider.setAttribute("aria-label", "Tick");
    const tickText = element("span", sliderRow, "", "lab-tick");
    slider.addEventListener("input", () => control(ClockControl.Show, Number(slider.value)));

    const clock = element("fieldset", panel, undefined, "lab-clock");
    element("legend", clock, "Velocità dell'orologio (" + ticksPerSecond + " tick al secondo)");
    const speedChoices = clockDivisors.map((divisor) => {
        const label = element("label", clock);
        const choice = element("input", label);
        choice.type = "radio";
        choice.name = "lab-clock";
        choice.value = divisor;
        choice.checked = divisor === 1;
        label.append(divisor === 1 ? "1" : "1/" + divisor);
        choice.addEventListener("change", () => control(ClockControl.Divisor, divisor));
        return choice;
    });

    const table = element("table", panel, undefined, "lab-values");
    element("caption", table, "Lo stato (in evidenza quel che è cambiato nell'ultimo passo)");
    const rows = new Map();
    const addRow = (name) => {
        const row = element("tr", table);
        element("th", row, name);
        rows.set(name, element("td", row, "–"));
    };
    addRow("tick");

    const stateLabel = element("label", panel, "Stato", "lab-state-label");
    const state = element("output", panel, "", "lab-state");
    state.id = "lab-state";
    stateLabel.htmlFor = "lab-state";

    const files = element("div", panel, undefined, "lab-files");
    const save = button(files, "Salva la partita", saveGame);
    const openLabel = element("label", files, undefined, "lab-open");
    element("span", openLabel, "Apri una partita");
    const open = element("input", openLabel);
    open.type = "file";
    open.accept = ".txt,text/plain";
    open.setAttribute("aria-label", "Apri una partita");
    open.addEventListener("change", openGame);
    const refusal = element("p", panel, "", "lab-refusal");
    refusal.setAttribute("role", "alert");

    element("h3", panel, "Che cosa è successo (dal più recente)");
    const log = element("ol", panel, undefined, "lab-log");
    log.reversed = true;

    const ready = () => typeof Module === "object" && Module.calledRun;

    // An action of the student's: the panel shows its result at once.
    function act(work) {
        if (ready()) {
            work();
            refresh();
        }
    }

    // A text changed only where it differs: each change costs the page a layout.
    function write(target, text) {
        if (target.textContent !== text) {
            target.textContent = text;
        }
    }

    function refresh() {
        clearTimeout(timer);
        timer = 0;
        lastRefresh = performance.now();
        view = JSON.parse(Module.UTF8ToString(Module._velmora_lab_view()));
        render();
    }

    function render() {
        const any = view.tick !== undefined;
        // A game whose window has closed is shown again by any move along its history; a game
        // shown at its end has nothing after it.
        const playing = view.open && !view.paused;
        const atEnd = view.over || (!view.open && view.tick >= view.last);
        write(pause, playing ? "Pausa" : "Riprendi");
        pause.disabled = !any || (!playing && atEnd);
        back.disabled = !any || view.tick === 0;
        forward.disabled = !any || atEnd;
        slider.disabled = !any;
        save.disabled = !any;
        for (const choice of speedChoices) {
            choice.checked = Number(choice.value) === (view.divisor || 1);
        }
        if (!any) {
            return;
        }
        slider.max = view.last;
        slider.value = view.tick;
        write(tickText, view.tick + " di " + view.last);
        write(rows.get("tick"), String(view.tick));
        for (const [name, value, changed] of view.values) {
            if (!rows.has(name)) {
                addRow(name);
            }
            const cell = rows.get(name);
            write(cell, String(value));
            cell.parentElement.classList.toggle("changed", changed);
        }
        if (state.value !== view.state) {
            state.value = view.state;
        }
        showLog();
    }

    // The log, newest first. While the game plays on, mostly its newest entry grows
    // ("Timer_Timer × N"): only that one is written again.
    function showLog() {
        const entries = view.log.map((entry) => entry.trimEnd());
        const items = log.children;
        if (view.logCount === shownCount && items.length === entries.length) {
            if (items.length) {
                write(items[0], entries[0]);
            }
            if (entries.length < 2 || items[1].textContent === entries[1]) {
                return;
            }
        }
        shownCount = view.logCount;
        log.start = view.logCount;
        log.replaceChildren(...entries.map((entry) => {
            const item = document.createElement("li");
            item.textContent = entry;
            return item;
        }));
    }

    function saveGame() {
        if (!ready()) {
            return;
        }
        const text = Module.UTF8ToString(Module._velmora_lab_script());
        const link = document.createElement("a");
        link.href = URL.createObjectURL(new Blob([text], {type: "text/plain"}));
        link.download = "velmora-partita.txt";
        link.click();
        setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    }

    async function openGame() {
        const file = open.files[0];
        open.value = ""; // the same file may be opened again
        if (!file || !ready()) {
            return;
        }
        if (file.size > largest) {
            refusal.textContent = "Il file " + file.name + " è più grande di 1 MB: non viene aperto.";
            return;
        }
        // The bytes as they are: a text decoder would hide a NUL or a byte that is not UTF-8,
        // which the lab refuses with its line.
        const bytes = new Uint8Array(await file.arrayBuffer());
        const room = Module._velmora_lab_receive(bytes.length);
        if (!room) {
            return; // no memory for it: Velmora has ended, and said why
        }
        Module.HEAPU8.set(bytes, room);
        const refused = Module.UTF8ToString(Module._velmora_lab_open());
        refusal.textContent = refused ? "La partita non si apre: " + refused + "." : "";
        refresh();
    }

    render();

    return {
        // After each step of the game: at once when the game stands still, and at most
        // every `calm` ms while it plays on, which is as often as a student can read.
        changed() {
            if (timer) {
                return;
            }
            const wait = view.paused ? 0 : Math.max(0, lastRefresh + calm - performance.now());
            timer = setTimeout(refresh, wait);
        },
    };
})();
