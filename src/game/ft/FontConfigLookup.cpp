// Finding installed fonts through fontconfig.

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "game/FontFace.h"
#include "game/ft/FtFontFace.h"

namespace game {

namespace {

struct Candidate {
    std::string file;
    int index;
    int weight;
    int width;
};

bool initialised() {
    // Loaded on first use; the configuration stays for the process.
    static const bool ok = FcInit() == FcTrue;
    return ok;
}

int intValue(FcPattern* font, const char* object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(font, object, 0, &value);
    return value;
}

bool hasStyle(int weight, int slant, int style) {
    const bool bold = weight >= FC_WEIGHT_DEMIBOLD;
    const bool italic = slant != FC_SLANT_ROMAN;
    return bold == ((style & FontFace::STYLE_BOLD) != 0) &&
           italic == ((style & FontFace::STYLE_ITALIC) != 0);
}

// The scalable fonts of the family, each as a candidate when it has the style.
bool findCandidates(const std::string& family, int style, std::vector<Candidate>& out) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT, FC_WIDTH,
                                            FC_SCALABLE, static_cast<char*>(nullptr));
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    bool found = false;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcBool scalable = FcTrue;
        FcPatternGetBool(font, FC_SCALABLE, 0, &scalable);
        FcChar8* file = nullptr;
        if (!scalable || FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) {
            continue;
        }
        found = true;
        const int weight = intValue(font, FC_WEIGHT, FC_WEIGHT_REGULAR);
        if (hasStyle(weight, intValue(font, FC_SLANT, FC_SLANT_ROMAN), style)) {
            out.push_back(Candidate{reinterpret_cast<const char*>(file),
                                    intValue(font, FC_INDEX, 0), weight,
                                    intValue(font, FC_WIDTH, FC_WIDTH_NORMAL)});
        }
    }
    if (fonts) {
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return found;
}

// The regular or bold weight and the normal width come first; then file order.
bool better(const Candidate& a, const Candidate& b, int targetWeight) {
    const int da = std::abs(a.weight - targetWeight), db = std::abs(b.weight - targetWeight);
    if (da != db) {
        return da < db;
    }
    const int wa = std::abs(a.width - FC_WIDTH_NORMAL), wb = std::abs(b.width - FC_WIDTH_NORMAL);
    if (wa != wb) {
        return wa < wb;
    }
    return a.file != b.file ? a.file < b.file : a.index < b.index;
}

}  // namespace

FontFace::OpenResult FontFace::open(const std::string& family, int points, int style,
                                    lang::Ptr<FontFace>& face) {
    std::vector<Candidate> candidates;
    if (!initialised() || !findCandidates(family, style, candidates)) {
        return NO_FAMILY;
    }
    const int target = (style & STYLE_BOLD) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR;
    std::sort(candidates.begin(), candidates.end(),
              [target](const Candidate& a, const Candidate& b) { return better(a, b, target); });
    for (const Candidate& c : candidates) {
        if (lang::Ptr<FtFontFace> made = FtFontFace::create(c.file, c.index, points)) {
            face = made;
            return OPENED;
        }
    }
    return NO_STYLE;
}

namespace {

// The font's English family names, or its first when it has none in English.
void addFamilyNames(FcPattern* font, std::set<std::string>& names) {
    FcChar8* name = nullptr;
    FcChar8* lang = nullptr;
    bool added = false;
    for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
        if (FcPatternGetString(font, FC_FAMILYLANG, n, &lang) == FcResultMatch &&
            std::string(reinterpret_cast<const char*>(lang)) == "en") {
            names.insert(reinterpret_cast<const char*>(name));
            added = true;
        }
    }
    if (!added && FcPatternGetString(font, FC_FAMILY, 0, &name) == FcResultMatch) {
        names.insert(reinterpret_cast<const char*>(name));
    }
}

}  // namespace

std::vector<std::string> FontFace::listFamilies() {
    std::set<std::string> names;
    if (!initialised()) {
        return std::vector<std::string>();
    }
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects =
        FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG, FC_SCALABLE, static_cast<char*>(nullptr));
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcBool scalable = FcTrue;
        FcPatternGetBool(fonts->fonts[i], FC_SCALABLE, 0, &scalable);
        if (scalable) {
            addFamilyNames(fonts->fonts[i], names);
        }
    }
    if (fonts) {
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return std::vector<std::string>(names.begin(), names.end());
}

}  // namespace game
