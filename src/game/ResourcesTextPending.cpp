// Stands in for ResourcesText.cpp while the font and text-group classes are not
// part of the build: every font or text load fails with a clear message.

#include "audio/AudioClip.h"
#include "audio/AudioInput.h"
#include "audio/AudioOutput.h"
#include "game/CompoSpriteSet.h"
#include "game/IFont.h"
#include "game/Resources.h"
#include "gr/Context.h"
#include "lang/Exception.h"

namespace game {

class TextGroupSet : public lang::Object {};

namespace {

[[noreturn]] void unavailable(const std::string& what) {
    throw lang::Exception(lang::Format("{0} are not available in this build", what));
}

}  // namespace

// Construction and destruction live here, where every table's type is complete.
Resources::Resources(const lang::Ptr<gr::Context>& context)
    : context_(context), clip_(-10000, -10000, 10000, 10000), path_(""), locale_("en_EN") {}

Resources::~Resources() = default;

void Resources::createBitmapFont(const std::string&, bool) {
    unavailable("Bitmap fonts");
}

void Resources::createSystemFont(const std::string&, const std::string&, int, const gr::Color&, int,
                                 bool) {
    unavailable("System fonts");
}

std::vector<std::string> Resources::getAvailableSystemFonts() {
    return std::vector<std::string>();
}

void Resources::createTextGroupSet(const std::string&, bool) {
    unavailable("Text groups");
}

void Resources::releaseTextGroupSet(const std::string& path) {
    texts_.erase(keyOf(path));
}

TextGroupSet* Resources::getTextGroupSet(const std::string&) const {
    return nullptr;
}

void Resources::loadLocale(const std::string&, const std::string&) {}

std::string Resources::getString(const std::string&, const std::string& key) {
    return key;
}

}  // namespace game
