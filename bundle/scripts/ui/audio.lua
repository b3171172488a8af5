-- The mixer's output, the interface sounds and the menu music. Level sounds
-- belong to the level scripts' Sound table; the interface uses it when it is
-- there so both share its voice groups.

UiSound = {}
Music = {}

local UI_SOUNDS = { "click", "hover", "score_tick", "star", "win", "lose" }
local MUSIC_TRACK = 1
local MUSIC_VOLUME = 0.55
local musicHandle = nil
local ready = false

function UiSound.setUp()
    -- Headless runs go faster than the clock: their sounds would only queue
    -- up in a mixer that nobody hears.
    if type(launch) == "table" and launch.headless then
        return
    end
    local ok, err = pcall(function()
        res.createAudioOutput(2, 16, 44100)
        res.startAudioOutput()
        for _, name in ipairs(UI_SOUNDS) do
            res.createAudio(audioPath .. "/" .. name .. ".wav", name, false)
        end
        res.createAudio(audioPath .. "/music_menu.mp3", "music_menu", true)
        if type(Sound) == "table" and type(Sound.load) == "function" then
            Sound.load()
        end
    end)
    ready = ok
    if not ok then
        native.logWarning("No sound: " .. tostring(err))
    end
    UiSound.applyVolume()
end

function UiSound.applyVolume()
    if ready then
        res.setMasterVolume(settings.volume)
    end
end

function UiSound.play(name)
    if not ready or settings.sfx == false then
        return
    end
    if type(Sound) == "table" and type(Sound.play) == "function" then
        Sound.play(name)
    else
        res.playAudio(name, 0.7)
    end
end

-- Plays the menu music unless it is off or already playing.
function Music.menu()
    if not ready or settings.music == false then
        Music.stop()
        return
    end
    if musicHandle and res.isAudioPlaying(musicHandle) then
        return
    end
    res.setTrackVolume(MUSIC_VOLUME, MUSIC_TRACK)
    musicHandle = res.playAudio("music_menu", 1, true, MUSIC_TRACK)
end

function Music.stop()
    if ready and musicHandle then
        res.stopAudio(musicHandle)
    end
    musicHandle = nil
end
