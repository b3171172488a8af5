#pragma once

#include <map>
#include <string>
#include <vector>

#include "game/Anchor.h"
#include "game/SheetLoader.h"
#include "game/SpriteProvider.h"
#include "gr/RenderState.h"
#include "io/PathName.h"
#include "lang/Object.h"
#include "lang/Ptr.h"

namespace gr {
class Context;
}
namespace audio {
class AudioClip;
class AudioInput;
class AudioOutput;
}  // namespace audio

namespace game {

class CompoSprite;
class CompoSpriteSet;
class IFont;
class TextGroupSet;

/// The registry of the game's media: sprite sheets, composite-sprite sets, fonts,
/// text-group sets and audio clips, with the current font and locale, the clip
/// rectangle and the audio output. Files are named relative to the resource path
/// and read from the bundle. Sheets, sets, fonts and text groups are kept under
/// the base name of their file; sprites and composite sprites share one index of
/// drawable names. A failed load throws and leaves every table as it was.
/// Main thread only.
class Resources : public lang::Object, public SpriteProvider {
public:
    enum DrawableKind { KIND_SPRITE = 1, KIND_COMPOSITE = 2 };
    struct IndexEntry {
        int kind;
        std::string owner;   // key of the sheet or set
        Sprite* sprite;      // kind 1
        CompoSprite* compo;  // kind 2
    };

    explicit Resources(const lang::Ptr<gr::Context>& context);
    ~Resources() override;

    void setPath(const std::string& path);
    std::string getPath() const { return path_.toString(); }
    /// The bundle path of a file named relative to the resource path.
    std::string fullPath(const std::string& path) const;
    /// The key of the file: its base name.
    static std::string keyOf(const std::string& path);

    /// Sheets (".dat" or ".json"). Without `reload` an existing key is kept.
    void createSpriteSheet(const std::string& path, bool reload);
    void releaseSpriteSheet(const std::string& path, bool texturesOnly);
    /// Captures the current frame as the one-sprite sheet `name`.
    void captureSprite(const std::string& name);
    void createCompoSpriteSet(const std::string& path, bool reload);
    void releaseCompoSpriteSet(const std::string& path);

    /// Fonts and texts (kept under the name given for system fonts).
    void createBitmapFont(const std::string& path, bool reload);
    void createSystemFont(const std::string& name, const std::string& faceName, int size,
                          const gr::Color& colour, int style, bool reload);
    /// Stores a font made elsewhere under `name`, replacing an older one.
    void addFont(const std::string& name, const lang::Ptr<IFont>& font);
    void releaseFont(const std::string& path);
    void createTextGroupSet(const std::string& path, bool reload);
    void releaseTextGroupSet(const std::string& path);
    static std::vector<std::string> getAvailableSystemFonts();

    /// Audio clips, kept under the name given.
    void createAudio(const std::string& path, const std::string& name, bool streamed);
    void createCompositeAudio(const std::string& name, const std::vector<std::string>& clipNames);
    void releaseAudio(const std::string& name);
    void createAudioOutput(int channels, int bitsPerSample, int samplesPerSecond);
    void createAudioInput(int channels, int bitsPerSample, int samplesPerSecond);
    /// Replaces the output with one made elsewhere (another device).
    void setAudioOutput(const lang::Ptr<audio::AudioOutput>& output);

    /// Draws the sprite or composite sprite `name`; an unknown name draws nothing.
    void drawSprite(const std::string& name, float x, float y, int verticalAnchor = ANCHOR_VPIVOT,
                    int horizontalAnchor = ANCHOR_HPIVOT);
    /// A sprite stretched to width x height; a composite sprite ignores the size.
    void drawSprite(const std::string& name, float x, float y, int verticalAnchor,
                    int horizontalAnchor, float width, float height);
    /// Draws `name` at each of the points, as drawSprite does for each; a
    /// sprite's quads reach the context in one call.
    void drawSprites(const std::string& name, const gr::Point* points, int count,
                     int verticalAnchor = ANCHOR_VPIVOT, int horizontalAnchor = ANCHOR_HPIVOT);
    void drawString(const std::string& group, const std::string& key, float x, float y,
                    int verticalAnchor = ANCHOR_TOP, int horizontalAnchor = ANCHOR_LEFT);

    /// The text of `key` for the current locale; `key` itself when there is no
    /// set `group`.
    std::string getString(const std::string& group, const std::string& key);
    /// Metrics of the current font; throw lang::Exception when none is set.
    int getStringWidth(const std::string& text);
    int getFontMaxAscending();
    int getFontMaxDescending();
    int getFontLeading();
    int getFontTracking();
    int getFontHeight();
    /// An unknown name leaves the current font.
    void useFont(const std::string& name);
    /// The current font, or null.
    IFont* getCurrentFont() const;
    void useLocale(const std::string& locale) { locale_ = locale; }
    const std::string& getLocale() const { return locale_; }
    void loadLocale(const std::string& group, const std::string& locale);

    /// Keeps the rectangle and hands it to the context's render state.
    void setClipRect(int x, int y, int width, int height);
    void getClipRect(int& x, int& y, int& width, int& height) const;

    /// Sprites only; false (and zeros) for other names.
    bool getSpriteBounds(const std::string& name, int& width, int& height) const;
    bool getSpritePivot(const std::string& name, int& x, int& y) const;
    Sprite* getSprite(const std::string& name) const override;
    CompoSprite* getCompoSprite(const std::string& name) const;
    /// The index entry of a drawable name, or null.
    const IndexEntry* findDrawable(const std::string& name) const;

    /// -1 for an unknown name. Throws lang::Exception without an audio output.
    int playAudio(const std::string& name, float volume, bool loop, int track);
    void stopAudio(int handle);
    void stopAudio(const std::string& name);
    bool isAudioPlaying(int handle) const;
    bool isAudioPlaying(const std::string& name) const;
    void stopAllAudio();
    bool startAudioOutput();
    void stopAudioOutput();
    bool startAudioInput();
    void stopAudioInput() {}
    void setMasterVolume(float volume);
    void setTrackVolume(float volume, int track);
    float getTrackVolume(int track) const;

    gr::Context* getContext() const { return context_.get(); }
    const SheetTable& getSheets() const { return sheets_; }
    SpriteSheet* getSheet(const std::string& key) const;
    CompoSpriteSet* getCompoSpriteSet(const std::string& key) const;
    IFont* getFont(const std::string& name) const;
    TextGroupSet* getTextGroupSet(const std::string& key) const;
    audio::AudioClip* getAudio(const std::string& name) const;
    audio::AudioOutput* getAudioOutput() const { return audioOutput_.get(); }
    audio::AudioInput* getAudioInput() const { return audioInput_.get(); }
    const std::map<std::string, IndexEntry>& getSpriteIndex() const { return index_; }

private:
    void registerSheet(const std::string& key, const lang::Ptr<SpriteSheet>& sheet);
    void unindexSheet(const SpriteSheet& sheet);
    void unindexCompoSet(const CompoSpriteSet& set);
    IFont* requireFont(const char* action) const;
    audio::AudioOutput& requireOutput(const char* message) const;
    void replaceAudio(const std::string& name, const lang::Ptr<audio::AudioClip>& clip);

    lang::Ptr<gr::Context> context_;
    gr::Rect clip_;
    lang::Ptr<audio::AudioOutput> audioOutput_;
    lang::Ptr<audio::AudioInput> audioInput_;
    io::PathName path_;
    std::string locale_;
    std::string fontName_;  // the font made current, looked up at each use
    SheetTable sheets_;
    std::map<std::string, lang::Ptr<CompoSpriteSet>> compos_;
    std::map<std::string, lang::Ptr<IFont>> fonts_;
    std::map<std::string, lang::Ptr<TextGroupSet>> texts_;
    std::map<std::string, lang::Ptr<audio::AudioClip>> audio_;
    std::map<std::string, IndexEntry> index_;
    /// The entry found last by findDrawable: scripts draw one name many times
    /// in a row. Forgotten whenever an entry leaves the index.
    mutable std::string lastName_;
    mutable const IndexEntry* lastEntry_ = nullptr;
};

}  // namespace game
