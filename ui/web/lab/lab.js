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
    const textSizes = [1, 1.25, 1.5, 1.75, 2]; // the panel's text, times its own size
    const textSizeKey = "velmora-lab-testo"; // kept by the browser; page.js applies it first
    let view = {};
    let timer = 0;
    let lastRefresh = 0;
    let entries = []; // the log's texts, oldest first, as the program last sent them
    let announce = false; // a student's step: the next refresh says what the tick shows
    let named = null; // the file or link a game was opened from: {name, showing}
    let linkFor = ""; // the moment the link's field holds

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
    const heading = element("div", panel, undefined, "lab-heading");
    element("h1", heading, "Come funziona").id = "lab-title";
    const smaller = button(heading, "A−", () => resizeText(-1));
    smaller.setAttribute("aria-label", "A− testo più piccolo");
    const larger = button(heading, "A+", () => resizeText(1));
    larger.setAttribute("aria-label", "A+ testo più grande");

    // The one thing a screen reader is told unasked: what the tick shows, once, when the
    // student pauses, steps or moves to a tick; never while the game plays on.
    const said = element("p", panel, "", "lab-said");
    said.setAttribute("role", "status");

    const control = (which, value) => act(() => Module._velmora_lab_control(which, value));

    const time = element("div", panel, undefined, "lab-time");
    const pause = button(time, "Pausa",
        () => control(ClockControl.Pause, view.open && !view.paused ? 1 : 0));
    const back = button(time, "Un tick indietro", () => control(ClockControl.Step, 0));
    const forward = button(time, "Un tick avanti", () => control(ClockControl.Step, 1));
    const nextEvent = button(time, "Al prossimo evento", () => control(ClockControl.NextEvent, 1));

    // The tick's text on a line of its own, with "Vai al tick": the slider's track, below,
    // keeps its width whatever the tick.
    const sliderRow = element("div", panel, undefined, "lab-slider");
    const sliderLabel = element("label", sliderRow, "Tick ");
    const tickText = element("span", sliderLabel, "", "lab-tick");
    const gotoLabel = element("label", sliderRow, "Vai al tick ", "lab-goto");
    const gotoTick = element("input", gotoLabel);
    const slider = element("input", sliderRow);
    slider.type = "range";
    slider.min = 0;
    slider.max = 0;
    slider.id = "lab-slider";
    sliderLabel.htmlFor = slider.id;
    slider.addEventListener("input", () => control(ClockControl.Show, Number(slider.value)));

    gotoTick.type = "number";
    gotoTick.min = 0;
    gotoTick.step = 1;
    gotoTick.inputMode = "numeric";
    gotoTick.addEventListener("change", () => {
        if (gotoTick.value !== "") {
            control(ClockControl.Show, Number(gotoTick.value));
        }
    });

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

    // What the tick shown did, kept in sight above the rest. A long one (the fall) scrolls
    // in its box, which the keys reach too.
    const now = element("p", panel, "", "lab-now");
    now.tabIndex = 0;
    now.setAttribute("role", "region");
    now.setAttribute("aria-label", "Il tick mostrato");

    const renderPrediction = predictionSection();
    const code = codeSection();

    const table = element("table", panel, undefined, "lab-values");
    element("caption", table, "Lo stato (in evidenza quel che è cambiato nell'ultimo passo)");
    const rows = new Map();
    const addRow = (name) => {
        const row = element("tr", table);
        element("th", row, name);
        rows.set(name, element("td", row, "–"));
    };
    addRow("tick");

    // An <output> is a live region of its own: this one is read when asked, not each tick.
    const stateLabel = element("label", panel, "Stato", "lab-state-label");
    const state = element("output", panel, "", "lab-state");
    state.id = "lab-state";
    state.setAttribute("aria-live", "off");
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
    const gameName = element("p", panel, "", "lab-name");
    const refusal = element("p", panel, "", "lab-refusal");
    refusal.setAttribute("role", "alert");

    const share = element("div", panel, undefined, "lab-share");
    const linkLabel = element("label", share, "Link a questo momento");
    const link = element("input", share);
    link.id = "lab-link";
    linkLabel.htmlFor = link.id;
    link.readOnly = true;
    link.placeholder = "in pausa";
    const copy = button(share, "Copia il link", copyLink);

    guideSections();

    element("h2", panel, "Che cosa è successo (dal più recente)").id = "lab-log-title";
    // The log scrolls on its own, by wheel, finger and keys, and only its own room is laid
    // out again when it grows.
    const logBox = element("div", panel, undefined, "lab-logbox");
    logBox.tabIndex = 0;
    logBox.setAttribute("role", "region");
    logBox.setAttribute("aria-labelledby", "lab-log-title");
    const log = element("ol", logBox, undefined, "lab-log");
    log.reversed = true;
    log.addEventListener("click", (event) => {
        const why = event.target.closest(".lab-why");
        if (why) {
            code.open();
            act(() => Module._velmora_lab_entry(Number(why.dataset.entry)));
            code.focus();
        }
    });

    const changing = changeValue();

    // In the panel, Escape is the panel's: the game window stays. A held Enter or Space
    // steps on, as a held key repeats.
    panel.addEventListener("keydown", (event) => {
        if (event.key === "Escape") {
            event.stopPropagation();
        } else if ((event.key === "Enter" || event.key === " ") &&
                   (event.target === back || event.target === forward)) {
            event.preventDefault();
            event.stopPropagation();
            event.target.click();
        }
    });

    const ready = () => typeof Module === "object" && Module.calledRun;

    // An action of the student's: the panel shows its result at once, and says it.
    function act(work) {
        if (ready()) {
            work();
            announce = true;
            refresh();
        }
    }

    // A text changed only where it differs: each change costs the page a layout.
    function write(target, text) {
        if (target.textContent !== text) {
            target.textContent = text;
        }
    }

    function resizeText(by) {
        const at = textSizes.indexOf(Number(getComputedStyle(document.documentElement)
            .getPropertyValue("--lab-zoom")) || 1);
        const size = textSizes[Math.min(Math.max(at + by, 0), textSizes.length - 1)];
        document.documentElement.style.setProperty("--lab-zoom", size);
        smaller.disabled = size === textSizes[0];
        larger.disabled = size === textSizes[textSizes.length - 1];
        try {
            localStorage.setItem(textSizeKey, size);
        } catch {
            // kept for this page only
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
        nextEvent.disabled = !any || atEnd;
        renderPrediction(any && !playing && !atEnd);
        slider.disabled = !any;
        gotoTick.disabled = !any;
        save.disabled = !any;
        copy.disabled = !any;
        changing.follow(any && !playing && !atEnd);
        for (const choice of speedChoices) {
            choice.checked = Number(choice.value) === (view.divisor || 1);
        }
        if (named && named.showing < 0) {
            named.showing = view.showing;
        } else if (named && named.showing !== view.showing) {
            named = null; // another game: "GIOCA"
        }
        write(gameName, named ? "Partita: " + named.name : "");
        if (!any) {
            return;
        }
        slider.max = view.last;
        slider.value = view.tick;
        gotoTick.max = view.last;
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
        code.show();
        const told = [view.stop, explanation()].filter(Boolean).join("\n");
        write(now, told);
        if (announce && view.paused) {
            write(said, told);
        }
        announce = false;
        if (view.paused) {
            writeLink();
        } else {
            link.value = "";
            linkFor = "";
        }
    }

    // The log, newest first: the program sends only the entries that changed, from
    // `logFrom` on (while the game plays on, mostly its newest, "Timer_Timer × N").
    function showLog() {
        const kept = Math.min(view.logFrom, entries.length);
        for (let i = entries.length; i > kept; --i) {
            log.firstElementChild.remove();
        }
        entries.length = kept;
        const added = document.createDocumentFragment();
        for (const entry of view.log) {
            entries.push(entry.trimEnd());
        }
        for (let i = entries.length - 1; i >= kept; --i) {
            const item = element("li", added);
            const [heading, ...rest] = entries[i].split("\n");
            if (/^tick [^:]*: Nota: /.test(heading)) {
                item.append(heading);
            } else { // "Perché?": the heading leads to the step's code
                element("button", item, heading, "lab-why").dataset.entry = i;
            }
            if (rest.length) {
                item.append("\n" + rest.join("\n"));
            }
        }
        log.prepend(added);
        log.start = entries.length;
    }

    // "Prevedi": paused, the student says what the next turn will do to the ball; the program
    // runs to it, as "Al prossimo evento" does but past the inputs, and judges each part
    // against the rules (velmora_lab_predict). Returns what renders it: its button, usable
    // where the game can go on; a new game clears the verdict and its tally.
    function predictionSection() {
        const box = element("fieldset", panel, undefined, "lab-predict");
        element("legend", box, "Prevedi la prossima svolta della palla");
        const field = (caption, after) => {
            const label = element("label", box, caption);
            const input = element("input", label);
            input.type = "number";
            input.step = 1;
            label.append(after);
            return input;
        };
        const velX = field("velX ", "");
        const velY = field("velY ", "");
        const brick = field("shaX(", ")");
        brick.min = 0;
        brick.max = brickCount - 1;
        brick.placeholder = "nessuno";
        brick.title = "Il mattone colpito; vuoto: nessuno";
        brick.setAttribute("aria-label", "Il mattone colpito, shaX(I): I, vuoto se nessuno");
        const ask = button(box, "Prevedi", predict);
        // The verdict; the why is the tick's, in the box below.
        const verdict = element("p", box, "", "lab-verdict");
        const shown = (name, value) => name !== "shaX" ? String(value)
            : value < 0 ? "nessuno" : "shaX(" + value + ")";

        function predict() {
            if (velX.value === "" || velY.value === "") {
                write(verdict, "Scrivi velX e velY dopo la prossima svolta.");
                return;
            }
            let reply = {};
            act(() => {
                reply = JSON.parse(Module.UTF8ToString(Module._velmora_lab_predict(
                    Number(velX.value), Number(velY.value),
                    brick.value === "" ? -1 : Number(brick.value))));
            });
            if (reply.refused) {
                write(verdict, "velX e velY vanno da -32768 a 32767, il mattone da 0 a " +
                    (brickCount - 1) + ": numeri interi.");
            } else if (reply.judged) {
                write(verdict, "Tick " + reply.tick + ": " + reply.parts.map(([name, guess, truth, right]) =>
                    (name === "shaX" ? "mattone " : name + " ") + shown(name, guess) + ": " +
                    (right ? "giusto" : "sbagliato, era " + shown(name, truth))).join("; ") +
                    ". " + tally());
                write(said, verdict.textContent + " " + reply.why);
                code.open(); // the turn's tick, with its lit code
            } else {
                write(verdict, "Nessuna svolta da prevedere. " + (view.stop || ""));
            }
        }
        const tally = () => "Previsioni giuste: " + view.right + " su " + view.of + ".";

        return (usable) => {
            ask.disabled = !usable;
            if (!view.of) { // a new game: a new tally
                write(verdict, "");
            }
        };
    }

    // "Codice": the source of the function that ran on the step shown, as this build compiled
    // it, its lines lit with how often they ran, each condition's value, the one that decided
    // and the locals beside their lines; the other functions that ran one click away. A lit
    // line leads to the step's entry in the log. Closed at first, so the panel keeps its room.
    function codeSection() {
        const toggle = button(element("h2", panel, undefined, "lab-code-title"), "Codice", () => {
            box.hidden = !box.hidden;
            drawn = "";
            show();
        });
        toggle.setAttribute("aria-controls", "lab-code");
        const box = element("section", panel, undefined, "lab-code");
        box.id = "lab-code";
        box.setAttribute("aria-label", "Codice");
        const caption = element("p", box, "", "lab-code-caption");
        const functions = element("div", box, undefined, "lab-code-functions");
        functions.setAttribute("role", "group");
        functions.setAttribute("aria-label", "Le funzioni che hanno girato");
        const where = element("p", box, "", "lab-code-where");
        const scroller = element("div", box, undefined, "lab-code-box");
        scroller.tabIndex = 0;
        scroller.setAttribute("role", "region");
        where.id = "lab-code-where";
        scroller.setAttribute("aria-labelledby", where.id);
        const listing = element("ol", scroller, undefined, "lab-code-lines");
        listing.addEventListener("click", (event) => {
            if (event.target.closest("button")) {
                toEntry();
            }
        });
        let sources = null; // the rules' files and functions, asked for once
        let step = {};
        let drawn = ""; // the step and the function drawn
        let marked = ""; // the line brought into sight
        let picked = ""; // the function the student chose, while it runs
        box.hidden = true;

        // The step's entry in the log, brought into sight and focused.
        function toEntry() {
            const item = log.children[entries.length - 1 - step.entry];
            for (const found of log.querySelectorAll(".lab-found")) {
                found.classList.remove("lab-found");
            }
            if (step.entry >= 0 && item) {
                item.classList.add("lab-found");
                item.querySelector("button").focus();
            }
        }

        const place = (file, line) => file + ":" + line;
        const functionAt = (file, line) => sources.functions.find(([, f, first, last]) =>
            f === file && first <= line && line <= last);

        function show() {
            toggle.setAttribute("aria-expanded", !box.hidden);
            if (box.hidden || view.tick === undefined) {
                return;
            }
            sources ||= JSON.parse(Module.UTF8ToString(Module._velmora_lab_sources()));
            const text = Module.UTF8ToString(Module._velmora_lab_code());
            step = JSON.parse(text);
            const names = (step.handler ? [step.handler] : []).concat(step.called);
            const decides = step.decides.length ? functionAt(...step.decides)?.[0] : "";
            const name = names.includes(picked) ? picked : decides || names[0] || "";
            if (drawn === text + name) {
                return;
            }
            drawn = text + name;
            write(caption, "tick " + step.tick + ": " + (step.call === "Timer_Timer"
                ? "Timer_Timer chiama " + step.handler : step.call) + (step.handler ? ""
                : ": un valore cambiato dal laboratorio, nessuna riga del gioco"));
            const tabs = [name, decides, ...names].join();
            if (functions.dataset.tabs !== tabs) {
                functions.dataset.tabs = tabs;
                functions.replaceChildren();
                for (const each of names) {
                    const choose = button(functions, each + (each === decides ? " (decide)" : ""),
                        () => {
                            picked = each;
                            show();
                        });
                    choose.setAttribute("aria-pressed", each === name);
                }
            }
            const shown = sources.functions.find(([each]) => each === name);
            write(where, shown ? sources.files[shown[1]][0] + ", " + name : "");
            if (listing.dataset.name !== name) { // another function: its rows drawn afresh
                listing.dataset.name = name;
                listing.replaceChildren();
                marked = "";
            }
            if (!shown) {
                return;
            }
            const [, file, first, last] = shown;
            const lines = sources.files[file][1];
            const lit = new Map();
            for (let i = 0; i < step.lines.length; i += 3) {
                lit.set(place(step.lines[i], step.lines[i + 1]), step.lines[i + 2]);
            }
            const notes = new Map();
            const note = (at, words) => notes.set(at, (notes.get(at) || []).concat(words));
            for (let i = 0; i < step.tests.length; i += 4) {
                const [held, failed] = step.tests.slice(i + 2, i + 4);
                note(place(step.tests[i], step.tests[i + 1]), held + failed === 1
                    ? (held ? "vero" : "falso") : "vero ×" + held + ", falso ×" + failed);
            }
            for (const [f, line, words] of step.locals) {
                note(place(f, line), words);
            }
            const deciding = step.decides.length ? place(...step.decides) : "";
            note(deciding, "decide: la strada presa in questo passo");
            // The comment just above the function, which says what it is for.
            let from = first;
            while (from > 1 && lines[from - 2].trim().startsWith("//")) {
                --from;
            }
            // Only the rows that changed are written again: a step on mostly lights the
            // same lines, and the page lays out only those.
            let mark = "";
            for (let line = from; line <= last; ++line) {
                const at = place(file, line);
                const count = lit.get(at) || 0;
                const said = notes.get(at) || [];
                const row = listing.children[line - from] || element("li", listing);
                mark = at === deciding || (!mark && count) ? at : mark;
                const drawnRow = [count, ...said].join("|");
                if (row.dataset.drawn === drawnRow) {
                    continue;
                }
                row.dataset.drawn = drawnRow;
                row.replaceChildren();
                row.className = count ? "lit" : "";
                row.classList.toggle("decides", at === deciding);
                const holder = count ? element("button", row) : row;
                element("span", holder, String(line), "lab-code-n");
                if (count) {
                    holder.type = "button";
                    element("span", holder, count + "×", "lab-code-count")
                        .setAttribute("aria-hidden", "true");
                    element("span", holder, "eseguita " + count + (count === 1 ? " volta: "
                        : " volte: "), "lab-hidden");
                } else {
                    element("span", holder, "", "lab-code-count");
                }
                element("span", holder, lines[line - 1], "lab-code-text");
                for (const words of said) {
                    element("span", holder, "← " + words, "lab-code-note");
                }
            }
            if (mark !== marked) { // the deciding line, or the first that ran, in sight
                marked = mark;
                const row = listing.children[Number(mark.split(":")[1]) - from];
                scroller.scrollTop = row ? Math.max(0, row.offsetTop - scroller.clientHeight / 3) : 0;
            }
        }

        return {
            show,
            open() {
                box.hidden = false;
                picked = "";
                drawn = marked = "";
                show();
            },
            focus() {
                scroller.focus();
            },
        };
    }

    // What a student needs to read the panel: the marks on the playfield, and the words.
    // Both closed at first, so the panel keeps its room.
    function guideSections() {
        const list = (parent, items) => {
            const made = element("dl", parent);
            for (const [term, meaning] of items) {
                element("dt", made, term);
                element("dd", made, meaning);
            }
        };
        const guides = element("div", panel, undefined, "lab-guides");
        const legend = element("details", guides);
        element("summary", legend, "Legenda dei segni sul campo");
        list(legend, [
            ["Il riquadro blu intorno alla palla", "La scatola di shaP, 255 × 375 twip: è ciò " +
                "che le regole controllano. Nel form shaP è disegnata larga 255 e alta 375; " +
                "una forma rotonda disegna il cerchio più grande che ci sta, al centro. Così " +
                "la scatola sporge di 60 twip sopra e sotto la palla, e la palla gira sulla " +
                "racchetta, al soffitto e sui mattoni quando li tocca la scatola, non il cerchio."],
            ["La croce blu", "Il centro della scatola: shaP.Left + 127,5 e shaP.Top + 187,5. " +
                "Sulla racchetta conta il centro orizzontale, arrotondato; sul fondo quello " +
                "verticale."],
            ["Le due linee blu sulla racchetta", "I confini dei terzi, x1 e x2, arrotondati " +
                "come li arrotondano le regole (x0 e x3 sono i bordi). Il terzo sotto il centro " +
                "della palla decide velX: -30 a sinistra, 0 al centro, 30 a destra."],
            ["Il contorno rosso", "Il mattone colpito nell'ultimo passo."],
            ["La linea blu", "Il percorso del centro della palla negli ultimi 64 tick."],
        ]);
        const glossary = element("details", guides);
        element("summary", glossary, "Glossario");
        list(glossary, [
            ["tick", "Un passo del gioco: il timer chiama Timer_Timer, che chiama MuoviPalla, " +
                "e la palla si sposta di velX e velY. Il laboratorio li conta da 0, la " +
                "piramide appena costruita: al tick 83 la palla rimbalza per la prima volta."],
            ["twip", "L'unità delle misure del campo: 1/1440 di pollice, 15 twip per pixel " +
                "sullo schermo normale. La palla è larga 255 twip, il campo 9855."],
            ["evento", "Qualcosa che accade alla finestra e a cui il programma risponde: lo " +
                "scatto del timer, un clic sul campo, una velocità scelta. \"Al prossimo " +
                "evento\" si ferma dove la palla cambia strada (una parete, il soffitto, la " +
                "racchetta, un mattone, la caduta) o al prossimo input della storia."],
            ["gestore", "La procedura che risponde a un evento: Timer_Timer è il gestore " +
                "dell'evento Timer del timer, frame_MouseDown quello del clic sul campo, " +
                "cmbVel_Click quello della velocità scelta."],
            ["variabile del modulo", "Una variabile dichiarata nel modulo del form, fuori " +
                "dalle procedure: vive per tutta la partita, e ogni gestore la legge e la " +
                "cambia. velY è il passo verticale della palla a ogni tick; così velX, " +
                "intervallo, xPresa e punti."],
        ]);
    }

    // The last tick an entry covers: "tick 83: ..." or "tick 1–82: Timer_Timer × 82".
    const lastTickOf = (entry) => Number(/^tick (?:\d+–)?(\d+)/.exec(entry)?.[1]);

    // What the tick shown did: its entries in the log, or else which values changed.
    function explanation() {
        const said = [];
        for (let i = entries.length - 1; i >= 0 && lastTickOf(entries[i]) === view.tick; --i) {
            said.unshift(entries[i]);
        }
        if (said.length) {
            return said.join("\n");
        }
        const changed = view.values.filter(([, , changed]) => changed).map(([name]) => name);
        return "tick " + view.tick + (changed.length ? ": cambia " + changed.join(", ") : "");
    }

    // "Link a questo momento": index.html?lab, with the game's script packed in the
    // fragment (deflate, then base64url: no server needed) and the tick shown.
    async function momentLink() {
        const tick = view.tick; // the moment asked for, whatever comes while it is packed
        const script = new Blob([Module.UTF8ToString(Module._velmora_lab_script())]);
        const packed = await new Response(
            script.stream().pipeThrough(new CompressionStream("deflate-raw"))).arrayBuffer();
        let text = "";
        const bytes = new Uint8Array(packed);
        for (let i = 0; i < bytes.length; i += 0x8000) {
            text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        }
        const data = btoa(text).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
        return location.origin + location.pathname + "?lab#tick=" + tick + "&partita=" + data;
    }

    // Paused, the link's field holds the moment shown (made once for each moment).
    function writeLink() {
        const moment = [view.showing, view.tick, view.last, entries.length, view.state].join();
        if (moment === linkFor) {
            return;
        }
        linkFor = moment;
        momentLink().then((made) => {
            if (linkFor === moment) {
                link.value = made;
            }
        });
    }

    async function copyLink() {
        if (!ready() || view.tick === undefined) {
            return;
        }
        link.value = await momentLink();
        link.select();
        try {
            await navigator.clipboard.writeText(link.value);
        } catch {
            document.execCommand("copy"); // where the clipboard's API is not allowed
        }
        write(said, "Link copiato.");
    }

    // A script's bytes, as they are, opened as "Apri una partita" opens a file: the refusal
    // ("" when the game opened), or null when there was no memory for it (Velmora has ended,
    // and said why).
    function openScript(bytes) {
        const room = Module._velmora_lab_receive(bytes.length);
        if (!room) {
            return null;
        }
        Module.HEAPU8.set(bytes, room);
        return Module.UTF8ToString(Module._velmora_lab_open());
    }

    // A link to a moment, opened: the same way as "Apri una partita", then the tick, paused.
    // A link that does not read is refused, and nothing changes.
    async function openLink(fragment) {
        const refused = "Il link non si apre: non contiene una partita leggibile.";
        const wanted = new URLSearchParams(fragment);
        const tick = Number(wanted.get("tick"));
        let bytes;
        try {
            const data = atob(wanted.get("partita").replace(/-/g, "+").replace(/_/g, "/"));
            const packed = Uint8Array.from(data, (c) => c.charCodeAt(0));
            bytes = new Uint8Array(await new Response(new Blob([packed]).stream()
                .pipeThrough(new DecompressionStream("deflate-raw"))).arrayBuffer());
        } catch {
            refusal.textContent = refused;
            return;
        }
        if (!Number.isInteger(tick) || tick < 0 || bytes.length > largest) {
            refusal.textContent = refused;
            return;
        }
        await started;
        const fault = openScript(bytes);
        if (fault === null) {
            return;
        }
        if (fault) {
            refusal.textContent = "La partita del link non si apre: " + fault + ".";
            refresh();
            return;
        }
        named = {name: "dal link", showing: -1};
        refusal.textContent = "";
        control(ClockControl.Show, tick);
    }

    // "Cambia un valore", beside the state: paused, the student sets one of the code's values,
    // as an assignment in the code would, and plays on from there. The program reads the name
    // and the value as the script's "set NAME VALUE", and refuses what does not read, saying
    // why; nothing changes then. Returns what the panel's render calls: follow(usable).
    function changeValue() {
        const brickName = "shaX(I).Visible";
        const names = [...variableNames, brickName];
        const box = document.createElement("fieldset");
        box.className = "lab-set";
        files.before(box);
        element("legend", box, "Cambia un valore");
        const form = element("form", box);
        const name = element("select", element("label", form, "Nome "));
        for (const each of names) {
            element("option", name, each).value = each;
        }
        const brickLabel = element("label", form, "Indice I ");
        const brick = element("input", brickLabel);
        brick.type = "number";
        brick.min = 0;
        brick.max = brickCount - 1;
        brick.step = 1;
        brick.value = 0;
        brick.inputMode = "numeric";
        const value = element("input", element("label", form, "Valore "));
        value.autocomplete = "off";
        value.autocapitalize = "off";
        value.spellcheck = false;
        element("button", form, "Cambia").type = "submit";
        const refused = element("p", box, "", "lab-set-refused");
        refused.setAttribute("role", "alert");

        // The name chosen: the value it holds now, and what a new one must be.
        const chosen = () => {
            const visible = name.value === brickName;
            brickLabel.hidden = !visible;
            const now = view.values?.find(([shown]) => shown === name.value);
            value.value = now ? String(now[1]) : "";
            value.placeholder = visible ? "True o False"
                : name.value.includes(".") ? "un numero, in twip" : "da -32768 a 32767";
        };
        name.addEventListener("change", chosen);
        form.addEventListener("submit", (event) => {
            event.preventDefault();
            if (!ready()) {
                return;
            }
            if (!value.value.trim()) {
                refused.textContent = "Il valore non cambia: scrivi il valore nuovo.";
                return;
            }
            const assigned = name.value === brickName ? "shaX(" + brick.value + ").Visible"
                : name.value;
            const text = new TextEncoder().encode(assigned + " " + value.value.trim());
            const room = Module._velmora_lab_receive(text.length);
            if (!room) {
                return;
            }
            Module.HEAPU8.set(text, room);
            let fault = "";
            act(() => {
                fault = Module.UTF8ToString(Module._velmora_lab_set());
            });
            refused.textContent = fault ? "Il valore non cambia: " + fault + "." : "";
        });
        chosen();
        return {
            follow(usable) {
                if (usable && box.disabled) {
                    chosen(); // the value where the game stopped
                }
                box.disabled = !usable;
            },
        };
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
        const refused = openScript(new Uint8Array(await file.arrayBuffer()));
        if (refused === null) {
            return;
        }
        refusal.textContent = refused ? "La partita non si apre: " + refused + "." : "";
        named = refused ? named : {name: file.name, showing: -1};
        refresh();
    }

    // The program has started once page.js's ready() has run: a link's game opens after it.
    const pageReady = VelmoraPage.ready;
    let start;
    const started = new Promise((resolve) => {
        start = resolve;
    });
    VelmoraPage.ready = () => {
        pageReady();
        setTimeout(start);
    };
    resizeText(0);
    render();
    // A link opened in a new tab, or pasted into this one.
    if (location.hash.length > 1) {
        openLink(location.hash.slice(1));
    }
    window.addEventListener("hashchange", () => openLink(location.hash.slice(1)));

    return {
        // After each step of the game: at once when the game stands still or a window has
        // just opened, and at most every `calm` ms while it plays on, which is as often as a
        // student can read.
        changed() {
            if (timer) {
                return;
            }
            const still = view.paused || !view.open;
            const wait = still ? 0 : Math.max(0, lastRefresh + calm - performance.now());
            timer = setTimeout(refresh, wait);
        },
    };
})();
