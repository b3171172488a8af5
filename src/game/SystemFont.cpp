#include "game/SystemFont.h"

#include <algorithm>
#include <cmath>

#include "game/Anchor.h"
#include "game/FontFace.h"
#include "game/LabelPool.h"
#include "game/TextRange.h"
#include "gr/Context.h"
#include "lang/Exception.h"
#include "lang/String.h"

namespace game {

namespace {

// Labels are cut to this many pixels a side; no screen shows more.
const int MAX_LABEL_SIDE = 4096;

float clamp01(float value) {
    return value < 0 ? 0 : (value > 1 ? 1 : value);
}

uint32_t channel(float value) {
    return static_cast<uint32_t>(clamp01(value) * 255.f);
}

int ceilToInt(float value) {
    return static_cast<int>(std::ceil(value));
}

}  // namespace

class SystemFont::Impl : public lang::Object {
public:
    struct Size {
        float width = 0, height = 0;
    };

    Impl(const std::string& faceName, int size, const gr::Color& colour, int style);
    ~Impl() override;

    Size measure(const std::string& bytes) const;
    // A label of the text, null when it covers no pixels or nothing can hold it.
    lang::Ptr<LabelPool::Label> render(gr::Context* context, const std::string& bytes,
                                       const std::string& identity) const;
    std::string identity(const std::string& text) const;
    // How far the top of the text lies above a point placed by the anchor.
    int topOffset(int verticalAnchor) const;

    std::string faceName;
    int size;
    gr::Color colour;
    uint32_t packedColour;
    int style;
    int maxAscending = 0, maxDescending = 0, leading = 0;
    lang::Ptr<FontFace> face;
};

SystemFont::Impl::Impl(const std::string& faceName_, int size_, const gr::Color& colour_,
                       int style_)
    : faceName(faceName_),
      size(size_),
      colour(clamp01(colour_.r), clamp01(colour_.g), clamp01(colour_.b), clamp01(colour_.a)),
      packedColour(packColour(colour_)),
      style(style_) {
    const bool knownStyle = style >= 0 && style <= (FontFace::STYLE_BOLD | FontFace::STYLE_ITALIC);
    const FontFace::OpenResult result =
        FontFace::open(faceName, size, knownStyle ? style : 0, face);
    if (result == FontFace::NO_FAMILY) {
        throw lang::Exception(lang::Format("Font {0} is not available.", faceName));
    }
    if (result != FontFace::OPENED || !knownStyle) {
        throw lang::Exception(
            lang::Format("Style {0} is not available for font {1}.", styleName(style), faceName));
    }
    maxAscending = ceilToInt(face->ascent());
    maxDescending = ceilToInt(face->descent());
    leading = ceilToInt(face->lineSpacing());
    LabelPool::shared().fontCreated();
}

SystemFont::Impl::~Impl() {
    // The pool goes with the last font, before the face.
    LabelPool::shared().fontDestroyed();
}

SystemFont::Impl::Size SystemFont::Impl::measure(const std::string& bytes) const {
    Size size;
    const FontFace::Extent e =
        face->measure(lang::toUTF32(bytes), FontFace::Lines{maxAscending, leading});
    if (e.lines == 0) {
        return size;
    }
    size.width = std::max(e.advance, e.inkRight);
    const int cell = (e.lines - 1) * leading + maxAscending + maxDescending;
    size.height = std::max(static_cast<float>(cell), e.inkBottom);
    return size;
}

std::string SystemFont::Impl::identity(const std::string& text) const {
    return lang::toString(static_cast<int>(faceName.size())) + ":" + faceName + " " +
           lang::toString(size) + " " + std::to_string(packedColour) + " " + lang::toString(style) +
           ":" + text;
}

int SystemFont::Impl::topOffset(int verticalAnchor) const {
    switch (verticalAnchor) {
        case ANCHOR_VCENTER:
            return maxAscending / 2 + maxDescending;
        case ANCHOR_BOTTOM:
            return maxAscending + maxDescending;
        case ANCHOR_BASELINE:
            return maxAscending;
        default:
            return 0;
    }
}

namespace {

// The text's colour over its coverage, premultiplied, bytes red, green, blue,
// alpha.
std::vector<uint8_t> colourPixels(const std::vector<uint8_t>& coverage, uint32_t argb) {
    const uint32_t a = argb >> 24, r = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
    std::vector<uint8_t> pixels(coverage.size() * 4);
    for (size_t i = 0; i < coverage.size(); ++i) {
        const uint32_t alpha = (a * coverage[i] + 127) / 255;
        uint8_t* p = &pixels[i * 4];
        p[0] = static_cast<uint8_t>(r * alpha / 255);
        p[1] = static_cast<uint8_t>(g * alpha / 255);
        p[2] = static_cast<uint8_t>(b * alpha / 255);
        p[3] = static_cast<uint8_t>(alpha);
    }
    return pixels;
}

}  // namespace

lang::Ptr<LabelPool::Label> SystemFont::Impl::render(gr::Context* context, const std::string& bytes,
                                                     const std::string& id) const {
    const Size measured = measure(bytes);
    const int w = std::min(ceilToInt(measured.width), MAX_LABEL_SIDE);
    const int h = std::min(ceilToInt(measured.height), MAX_LABEL_SIDE);
    if (!context || w <= 0 || h <= 0) {
        return nullptr;
    }
    std::vector<uint8_t> coverage(static_cast<size_t>(w) * h, 0);
    face->render(lang::toUTF32(bytes), FontFace::Lines{maxAscending, leading}, coverage.data(), w,
                 h);
    const std::vector<uint8_t> pixels = colourPixels(coverage, packedColour);
    lang::Ptr<gr::Texture> texture = context->createEmptyTexture(w, h, gr::PIXELFORMAT_A8B8G8R8);
    if (!texture) {
        return nullptr;
    }
    texture->setPixels(0, 0, pixels.data(), w * 4, std::min(w, texture->width()),
                       std::min(h, texture->height()), texture->format());
    return new LabelPool::Label(texture, id);
}

SystemFont::SystemFont(gr::Context* /*context*/, const std::string& faceName, int size,
                       const gr::Color& colour, int style)
    : impl_(new Impl(faceName, size, colour, style)) {}

SystemFont::~SystemFont() = default;

std::vector<std::string> SystemFont::getAvailableSystemFonts() {
    static std::vector<std::string> families;
    if (families.empty()) {
        families = FontFace::listFamilies();
    }
    return families;
}

const char* SystemFont::styleName(int style) {
    switch (style) {
        case STYLE_NORMAL:
            return "Normal";
        case STYLE_BOLD:
            return "Bold";
        case STYLE_ITALIC:
            return "Italic";
        default:
            return "Unknown";
    }
}

uint32_t SystemFont::packColour(const gr::Color& colour) {
    return channel(colour.a) << 24 | channel(colour.r) << 16 | channel(colour.g) << 8 |
           channel(colour.b);
}

uint32_t SystemFont::labelKey(const std::string& faceName, const std::string& text, int size,
                              uint32_t packedColour, int style) {
    uint32_t key = 5381;
    for (unsigned char b : faceName) {
        key = key * 33 + b;
    }
    for (unsigned char b : text) {
        key = key * 33 + b;
    }
    key = key * 33 + static_cast<uint32_t>(size);
    key = key * 33 + packedColour;
    return key * 33 + static_cast<uint32_t>(style);
}

void SystemFont::drawString(gr::Context* context, const std::string& text, int start, int count,
                            float x, float y, int verticalAnchor, int horizontalAnchor) {
    clampTextRange(text.size(), start, count);
    if (count == 0) {
        return;
    }
    const std::string range = text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
    LabelPool& pool = LabelPool::shared();
    const uint32_t key =
        labelKey(impl_->faceName, range, impl_->size, impl_->packedColour, impl_->style);
    const std::string id = impl_->identity(range);
    lang::Ptr<LabelPool::Label> label = pool.find(key, id);
    if (!label) {
        label = impl_->render(context, range, id);
        if (!label) {
            return;
        }
        pool.add(key, label);
    }
    y -= static_cast<float>(impl_->topOffset(verticalAnchor));
    if (horizontalAnchor == ANCHOR_HCENTER) {
        x -= static_cast<float>(label->getWidth() / 2);
    } else if (horizontalAnchor == ANCHOR_RIGHT) {
        x -= static_cast<float>(label->getWidth());
    }
    label->draw(static_cast<float>(static_cast<int>(x)), static_cast<float>(static_cast<int>(y)));
}

void SystemFont::drawString(gr::Context* context, const std::string& text, float x, float y,
                            int verticalAnchor, int horizontalAnchor) {
    drawString(context, text, 0, WHOLE_TEXT, x, y, verticalAnchor, horizontalAnchor);
}

namespace {

std::string byteRange(const std::string& text, int start, int count) {
    clampTextRange(text.size(), start, count);
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}

}  // namespace

int SystemFont::getStringWidth(const std::string& text, int start, int count) {
    return ceilToInt(impl_->measure(byteRange(text, start, count)).width);
}

int SystemFont::getStringHeight(const std::string& text, int start, int count) {
    return ceilToInt(impl_->measure(byteRange(text, start, count)).height);
}

int SystemFont::getHeight() {
    return impl_->maxAscending + impl_->maxDescending;
}

int SystemFont::getMaxAscending() {
    return impl_->maxAscending;
}

int SystemFont::getMaxDescending() {
    return impl_->maxDescending;
}

int SystemFont::getLeading() {
    return impl_->leading;
}

gr::Rect SystemFont::getStringBounds(const std::string& text, int verticalAnchor,
                                     int horizontalAnchor, int start, int count) {
    const Impl::Size size = impl_->measure(byteRange(text, start, count));
    const int w = ceilToInt(size.width), h = ceilToInt(size.height);
    const int x0 = horizontalAnchor == ANCHOR_HCENTER ? -(w / 2)
                   : horizontalAnchor == ANCHOR_RIGHT ? -w
                                                      : 0;
    const int y0 = -impl_->topOffset(verticalAnchor);
    return gr::Rect(x0, y0, x0 + w, y0 + h);
}

const std::string& SystemFont::getFaceName() const {
    return impl_->faceName;
}

int SystemFont::getSize() const {
    return impl_->size;
}

int SystemFont::getStyle() const {
    return impl_->style;
}

uint32_t SystemFont::getPackedColour() const {
    return impl_->packedColour;
}

}  // namespace game
