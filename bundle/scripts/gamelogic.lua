-- The game around its levels: title, menus, level select, settings, the HUD,
-- the end-of-level panel and the demo mode. The levels themselves (the world
-- and its hooks) are the scripts in play/, reached through the Play table.
-- The engine calls the functions below by name.

g_safeToQuit = true
-- The menus make short-lived strings and tables every frame; collecting
-- sooner keeps the memory level instead of swinging by megabytes.
collectgarbage("setpause", 100)

loadLuaFile(commonScriptPath .. "/progress.lua", "")
for _, name in ipairs({ "text", "audio", "widgets", "screens", "ingame" }) do
    loadLuaFile(commonScriptPath .. "/ui/" .. name .. ".lua", "")
end
loadLuaFile(commonScriptPath .. "/demo.lua", "")
loadLuaFile(commonScriptPath .. "/editor/editor.lua", "")

-- Star limits as a plain global (the engine keeps its own copy in a table
-- of the file's globals), the list of levels and the demo's shots, when the
-- level scripts ship them.
loadLuaFile(commonScriptPath .. "/starLimits.lua", "")
if episodes == nil and checkForLuaFile(commonScriptPath .. "/episodes.lua") then
    loadLuaFile(commonScriptPath .. "/episodes.lua", "")
end
if demoShots == nil and checkForLuaFile(commonScriptPath .. "/demoShots.lua") then
    loadLuaFile(commonScriptPath .. "/demoShots.lua", "")
end

loadLuaFile(commonScriptPath .. "/play/play.lua", "")

function updateValues()
    Progress.load()
end

function createStartUpAssets()
    Progress.load()
    local gfx = isHDVersion and imagePath .. "/hd" or imagePath
    res.createSpriteSheet(gfx .. "/ui.dat")
    Text.load()
    applyLanguage()
    UiSound.setUp()
    if settings.fullscreen then
        applyFullscreen()
    end
    Demo.setUp()
    if Demo.active then
        Demo.next()
    else
        Flow.go("title")
        if #Progress.damagedFiles() > 0 then
            Flow.showNotice("NOTICE_DAMAGED_SAVE")
        end
    end
end

function update(dt)
    Input.update(dt)
    setRenderState(0, 0, 1, 1, 0, 0, 0, 1)
    Flow.update(dt)
end

function resolutionChanged(width, height)
    if Play and Play.resolutionChanged then
        Play.resolutionChanged(width, height)
    end
end

function gamePaused()
    Flow.windowPaused()
end

function gameResumed() end

-- Hot reload (a development game's F6, or a saved source). The running
-- scripts say what to keep and stop the level in play; the new ones then run
-- and restart it. Kept: the settings, the progress and the highscores (globals
-- no script file resets), the engine's zoom, and the screen shown; the level
-- in play starts again from its file, so a changed level shows at once. When
-- the new scripts fail, the running ones are put back and get the same table.
function scriptsReloading()
    local kept = { screen = Flow.currentName }
    local ingame = Flow.ingame
    if Flow.currentName == "play" and ingame then
        kept.level = ingame.level
        kept.camera = Camera.state()
        if ingame.running then
            Play.stop()
            ingame.running = false
        end
    end
    return kept
end

function scriptsReloaded(kept)
    kept = kept or {}
    Progress.load()
    applyLanguage()
    UiSound.setUp()
    Demo.setUp()
    -- The engine keeps a particle definition it has read unless its table asks
    -- to be read at every use; after a reload they all ask, so edited ones show.
    loadParticles(true)
    for _, definition in pairs(particleTable.particles) do
        definition.alwaysLoad = true
    end
    if kept.level then
        Flow.go("play", kept.level)
        Camera.restore(kept.camera)
    elseif kept.screen ~= "play" and Flow.screens[kept.screen] then
        Flow.go(kept.screen)
    else
        Flow.go("title")
    end
end

function calculatePlaytime()
    if type(bi_data) == "table" then
        bi_data.playSeconds = (tonumber(bi_data.playSeconds) or 0) + getGameTimer()
    end
end

-- Services this game has no use for.
function latestVersionNumberReceived(version, text) end
function updateAvailable(available) end
function nativecallback_urlResponse(url, response) end
function notifyEventManager(event, data) end
