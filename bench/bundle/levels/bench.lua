-- An empty level: the bench script makes the scene's objects itself.
filename = "bench.lua"
world = {}
