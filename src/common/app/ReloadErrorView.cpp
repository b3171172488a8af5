#include "common/app/ReloadErrorView.h"

#include <algorithm>

#include "common/app/DebugViews.h"
#include "common/draw/GameDrawing.h"
#include "gr/Context.h"
#include "gr/RenderState.h"

namespace {

const float PIXEL = 2;               // a font cell, in screen pixels
const float CHAR_WIDTH = 4 * PIXEL;  // DebugViews::drawText's advance
const float LINE_HEIGHT = 7 * PIXEL;
const float MARGIN = 8;
const size_t MAX_LINES = 12;
const uint32_t TITLE_COLOUR = 0xff6050ff;
const uint32_t TEXT_COLOUR = 0xffffffff;

// One line of at most columns from text at start; start moves past it.
std::string nextLine(const std::string& text, size_t& start, size_t columns) {
    const size_t end = std::min(text.find('\n', start), text.size());
    if (end - start <= columns) {
        std::string line = text.substr(start, end - start);
        start = end + 1;
        return line;
    }
    size_t cut = text.rfind(' ', start + columns);
    if (cut == std::string::npos || cut <= start) {
        cut = start + columns;  // one word longer than the line
        std::string line = text.substr(start, columns);
        start = cut;
        return line;
    }
    std::string line = text.substr(start, cut - start);
    start = cut + 1;
    return line;
}

}  // namespace

std::vector<std::string> ReloadErrorView::wrap(const std::string& text, size_t columns,
                                               size_t maxLines) {
    std::string plain = text;
    std::replace(plain.begin(), plain.end(), '\t', ' ');
    while (!plain.empty() && plain.back() == '\n') {
        plain.pop_back();
    }
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < plain.size() && columns > 0) {
        if (lines.size() == maxLines) {
            std::string& last = lines.back();
            last = last.substr(0, columns >= 3 ? std::min(last.size(), columns - 3) : 0) + "...";
            break;
        }
        lines.push_back(nextLine(plain, start, columns));
    }
    return lines;
}

void ReloadErrorView::draw(gr::Context& context) const {
    if (text_.empty()) {
        return;
    }
    resetTransform(context.renderState());
    const float width = static_cast<float>(context.width());
    const size_t columns = static_cast<size_t>(std::max(1.0f, (width - 2 * MARGIN) / CHAR_WIDTH));
    const std::vector<std::string> lines = wrap(text_, columns, MAX_LINES);
    const float top = MARGIN;
    const float bottom = top + LINE_HEIGHT * static_cast<float>(lines.size() + 1) + MARGIN;
    context.fillRect(0, 0, width, bottom, gr::Color(0.1f, 0.0f, 0.0f, 0.85f));
    DebugViews::drawText(context,
                         "RELOAD FAILED: THE LAST GOOD SCRIPTS RUN ON (SAVE OR F6 TO RETRY)",
                         MARGIN, top, PIXEL, TITLE_COLOUR);
    float y = top + LINE_HEIGHT;
    for (const std::string& line : lines) {
        DebugViews::drawText(context, line, MARGIN, y, PIXEL, TEXT_COLOUR);
        y += LINE_HEIGHT;
    }
}
