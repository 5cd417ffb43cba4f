// SPDX-License-Identifier: MIT
// Writes the start window as the page shows it before any of its scripts has run, from the
// windows' description: with "html" its markup, which the build puts into index.html, and
// with "css" the rules that place its controls, which the build adds to velmora.css. The
// page's policy allows no style attributes, so places and fonts go into the style sheet.
// main.cpp and page.js take these elements over; they make the game window themselves.
#include "controls.h"
#include "layout.h"
#include "units.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using namespace velmora::ui;
using namespace velmora::ui::web;

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Twips as CSS pixels, 96 an inch, as page.js makes them.
std::string px(double twips) {
    char text[32];
    std::snprintf(text, sizeof text, "%gpx", twips / twipsPerPixel);
    return text;
}

void writeMarkup() {
    std::printf("<section class=\"window\" id=\"window%d\" aria-labelledby=\"title%d\">\n",
                startWindow, startWindow);
    std::printf("<div class=\"title\" id=\"title%d\">%s</div>\n", startWindow,
                escaped(start::caption).c_str());
    std::printf("<div class=\"client\">\n");
    // The picture first: it takes no focus. Then the buttons, in their tab order.
    std::printf("<img class=\"picture\" id=\"control%d\" src=\"avvio.jpg\" "
                "srcset=\"avvio.jpg 1x, avvio@2x.jpg 2x\" alt=\"\" fetchpriority=\"high\">\n",
                controlId(start::Image1));
    for (const Control* control : start::tabOrder) {
        std::printf("<button type=\"button\" id=\"control%d\">%s</button>\n", controlId(*control),
                    escaped(control->caption).c_str());
    }
    std::printf("</div>\n</section>\n");
}

void writePlace(const Control& control) {
    std::printf("#control%d { left: %s; top: %s; width: %s; height: %s; font-size: %s; "
                "font-weight: %s; }\n",
                controlId(control), px(control.place.Left).c_str(), px(control.place.Top).c_str(),
                px(control.place.Width).c_str(), px(control.place.Height).c_str(),
                px(control.font.points * 20).c_str(), control.font.bold ? "bold" : "normal");
}

void writeRules() {
    std::string families;
    for (const char* family : fontFamilies) {
        families += std::string(families.empty() ? "" : ", ") + '"' + family + '"';
    }
    std::printf("\n/* Written by the build from the windows' description. */\n");
    std::printf(":root { --font: %s, sans-serif; }\n", families.c_str());
    std::printf("#window%d .client { width: %s; height: %s; }\n", startWindow,
                px(start::clientWidth).c_str(), px(start::clientHeight).c_str());
    writePlace(start::Image1);
    for (const Control* control : start::tabOrder) {
        writePlace(*control);
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc == 2 ? argv[1] : "";
    if (what == "html") {
        writeMarkup();
    } else if (what == "css") {
        writeRules();
    } else {
        std::fprintf(stderr, "usage: velmora-start-window html|css\n");
        return 2;
    }
    return 0;
}
