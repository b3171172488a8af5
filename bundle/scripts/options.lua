-- Build options, read once before the game scripts. `gamelua` is the world.
gamelua.gameTitle = "Quillfire"
gamelua.gameVersion = "0.1"
