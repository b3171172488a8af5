// The registry's current font and what is drawn and measured with it.

#include "game/IFont.h"
#include "game/Resources.h"
#include "lang/Exception.h"

namespace game {

void Resources::useFont(const std::string& name) {
    if (fonts_.count(name)) {
        fontName_ = name;
    }
}

IFont* Resources::getCurrentFont() const {
    return getFont(fontName_);
}

IFont* Resources::getFont(const std::string& name) const {
    auto it = fonts_.find(name);
    return it == fonts_.end() ? nullptr : it->second.get();
}

void Resources::addFont(const std::string& name, const lang::Ptr<IFont>& font) {
    fonts_[name] = font;
}

void Resources::releaseFont(const std::string& path) {
    fonts_.erase(keyOf(path));
}

IFont* Resources::requireFont(const char* message) const {
    IFont* font = getCurrentFont();
    if (!font) {
        throw lang::Exception(lang::Format(message));
    }
    return font;
}

void Resources::drawString(const std::string& group, const std::string& key, float x, float y,
                           int verticalAnchor, int horizontalAnchor) {
    IFont* font = requireFont("No font is set while trying to draw string");
    font->drawString(context_.get(), getString(group, key), x, y, verticalAnchor, horizontalAnchor);
}

int Resources::getStringWidth(const std::string& text) {
    return requireFont("No font is set while trying to get string width")
        ->getStringWidth(text, 0, IFont::WHOLE_TEXT);
}

int Resources::getFontMaxAscending() {
    return requireFont("No font is set while trying to get font max ascending")->getMaxAscending();
}

int Resources::getFontMaxDescending() {
    return requireFont("No font is set while trying to get font max descending")
        ->getMaxDescending();
}

int Resources::getFontLeading() {
    return requireFont("No font is set while trying to get font leading")->getLeading();
}

int Resources::getFontTracking() {
    return requireFont("No font is set while trying to get font tracking")->getTracking();
}

int Resources::getFontHeight() {
    IFont* font = requireFont("No font is set while trying to get font height!");
    return font->getMaxAscending() + font->getMaxDescending();
}

}  // namespace game
