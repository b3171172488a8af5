-- The bench bundle: bench/run.sh runs it with the real executable.
name = "Quillfire bench"
width = 1280
height = 720
framerate = 0
showCursor = true
renderer = { "gl2" }
publisher = "Quillfire"
product = "Bench"

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
