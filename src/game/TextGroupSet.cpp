#include "game/TextGroupSet.h"

#include "game/SheetLoader.h"
#include "game/TextGroupFile.h"
#include "lang/Exception.h"

namespace game {

namespace {

const char* const ALL = "ALL";

}  // namespace

TextGroupSet::TextGroupSet(const std::string& path) : path_(path), inMemory_(false) {}

TextGroupSet::TextGroupSet(const std::string& path, const std::vector<uint8_t>& bytes)
    : path_(path), bytes_(bytes), inMemory_(true) {}

TextGroupSet::~TextGroupSet() = default;

std::vector<uint8_t> TextGroupSet::readFile() const {
    if (inMemory_) {
        return bytes_;
    }
    std::string name;
    return readBundleFile(path_, name);
}

void TextGroupSet::readLanguages() {
    const std::vector<uint8_t> bytes = readFile();
    languages_ = textfile::readLanguages(bytes.data(), bytes.size(), path_);
}

int TextGroupSet::indexOf(const std::string& language) const {
    for (size_t i = 0; i < languages_.size(); ++i) {
        if (languages_[i] == language) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

lang::Ptr<TextGroup> TextGroupSet::parseGroup(const std::vector<uint8_t>& bytes, int index) const {
    TextGroup::StringMap texts;
    textfile::readTexts(bytes.data(), bytes.size(), path_, index, texts);
    return new TextGroup(std::move(texts));
}

lang::Ptr<TextGroup> TextGroupSet::load(const std::string& language) {
    if (language == ALL) {
        const std::vector<uint8_t> bytes = readFile();
        // Every group is parsed before any is stored.
        std::vector<lang::Ptr<TextGroup>> loaded;
        for (size_t i = 0; i < languages_.size(); ++i) {
            loaded.push_back(parseGroup(bytes, static_cast<int>(i)));
        }
        for (size_t i = 0; i < languages_.size(); ++i) {
            groups_[languages_[i]] = loaded[i];
        }
        return loaded.empty() ? nullptr : loaded.front();
    }
    const int index = indexOf(language);
    if (index < 0) {
        throw lang::Exception(lang::Format(
            "Trying to load TextGroup for language not present in data file. Language: \"{0}\"",
            language));
    }
    lang::Ptr<TextGroup> group = parseGroup(readFile(), index);
    groups_[language] = group;
    return group;
}

TextGroup* TextGroupSet::getTextGroup(const std::string& language) const {
    if (indexOf(language) < 0) {
        throw lang::Exception(lang::Format(
            "Trying to get TextGroup for language not present in data file. Language: \"{0}\"",
            language));
    }
    auto it = groups_.find(language);
    if (it == groups_.end()) {
        throw lang::Exception(lang::Format(
            "Trying to get TextGroup for language which is not loaded. Language: \"{0}\"",
            language));
    }
    return it->second.get();
}

void TextGroupSet::release(const std::string& language) {
    if (language == ALL) {
        groups_.clear();
        return;
    }
    if (indexOf(language) < 0) {
        throw lang::Exception(lang::Format(
            "Trying to release TextGroup for language not present in data file. Language: "
            "\"{0}\"",
            language));
    }
    groups_.erase(language);
}

}  // namespace game
