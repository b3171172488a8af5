#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/TextGroup.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace game {

/// One text-group file: the languages it holds and the groups loaded from it.
/// Language names are compared as exact strings. The name "ALL" stands for
/// every language of the file in load and release.
class TextGroupSet : public lang::Object {
public:
    /// Keeps the bundle path; nothing is read yet.
    explicit TextGroupSet(const std::string& path);
    /// A set read from a file held in memory (tests, tools); `path` names it.
    TextGroupSet(const std::string& path, const std::vector<uint8_t>& bytes);
    ~TextGroupSet() override;

    /// Reads the language list. Throws io::IOException (the set keeps its old
    /// list).
    void readLanguages();
    /// Loads the texts of `language`, replacing a group loaded before, and
    /// returns them; "ALL" loads every language and returns the first's group
    /// (null for a file without languages). A language the file has but holds
    /// no texts for gets an empty group. Throws lang::Exception for a language
    /// not in the file, io::IOException for bad data; a failed load changes
    /// nothing.
    lang::Ptr<TextGroup> load(const std::string& language);
    /// The loaded group; throws lang::Exception when the language is not in the
    /// file or not loaded.
    TextGroup* getTextGroup(const std::string& language) const;
    bool isLoaded(const std::string& language) const { return groups_.count(language) != 0; }
    /// Drops a loaded group (nothing when it is not loaded); throws
    /// lang::Exception for a language not in the file.
    void release(const std::string& language);
    /// The reference count's release stays visible beside it.
    using lang::Object::release;

    const std::vector<std::string>& getLanguages() const { return languages_; }
    const std::string& getPath() const { return path_; }

private:
    /// Position in the language list, or -1.
    int indexOf(const std::string& language) const;
    std::vector<uint8_t> readFile() const;
    lang::Ptr<TextGroup> parseGroup(const std::vector<uint8_t>& bytes, int index) const;

    std::string path_;
    std::vector<uint8_t> bytes_;  // the file, when the set was made from memory
    bool inMemory_;
    std::vector<std::string> languages_;
    std::map<std::string, lang::Ptr<TextGroup>> groups_;
};

}  // namespace game
