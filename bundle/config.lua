-- Window keys of the demonstration build.
name = "Quillfire"
width = 640
height = 480
framerate = 60
showCursor = true
renderer = { "gl2" }
publisher = "Quillfire"
product = "Demo"
