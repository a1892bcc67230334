#pragma once

#include <string>
#include <vector>

#include "platform/report/Template.h"

namespace kiv {

// A report laid out on its pages: where every text, line and box goes, in millimetres from the
// page's top left corner. Painted onto a PDF or a printer as it stands.

// A text in its box: drawn on one line, aligned in the box and clipped to it.
struct PageText {
    double x = 0, y = 0, width = 0, height = 0;
    std::string text;
    Font font;
    Align align = Align::Left;
};

struct PageLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct PageBox {
    double x = 0, y = 0, width = 0, height = 0;
};

struct Page {
    std::vector<PageText> texts;
    std::vector<PageLine> lines;
    std::vector<PageBox> boxes;
};

struct PageModel {
    double width = 210, height = 297;  // millimetres
    std::vector<Page> pages;
};

// The height of one line of text of the font, which its box takes.
double lineHeight(const Font& font);

}  // namespace kiv
