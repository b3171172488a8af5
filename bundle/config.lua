-- Window keys.
name = "Quillfire"
width = 640
height = 480
framerate = 60
showCursor = true
renderer = { "gl2" }
publisher = "Quillfire"
product = "Demo"

-- Game keys: folders inside the bundle (datapath is the bundle itself).
datapath = "."
scriptPath = "scripts"
commonScriptPath = "scripts"
imagePath = "gfx"
fontPath = "fonts"
audioPath = "audio"
localizationPath = "text"
levelPath = "levels"
shaderPath = "shaders"
deviceModel = "Desktop"
