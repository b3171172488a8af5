gamelua.gameTitle = "Quillfire bench"
gamelua.gameVersion = "0.1"
