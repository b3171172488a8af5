-- The level editor, for game makers: the title offers it when the game has
-- level sources it can save to (launch.editor). Its screens are opener.lua
-- (new or open) and screen.lua (editing); document.lua holds the level and
-- its history, scene.lua shows it in the world.

Editor = Editor or {}

local here = commonScriptPath .. "/editor/"
for _, name in ipairs({ "document", "scene", "opener", "screen" }) do
    loadLuaFile(here .. name .. ".lua", "")
end

-- A test-play is the game's own level screen. Leaving it (its pause menu or
-- its result panel) comes back to the editor, with the level and its
-- history as they were, instead of going to the level select.
local ingame = Flow.ingame
local leaveLevel = ingame.leave
function ingame.leave()
    if not Editor.testing then
        return leaveLevel()
    end
    Editor.testing = nil
    if ingame.running then
        Play.stop()
        ingame.running = false
    end
    Flow.go("editor")
end

-- Its result is the maker's, not the player's: no highscore, no unlock, no
-- next level. Asked of Editor.testing, which a reload of the scripts keeps.
function ingame.isTrial()
    return Editor.testing ~= nil
end
