-- The episodes in the order they are played: one scenery theme each, the
-- levels teaching one idea at a time and then mixing them.
episodes = {
    { id = "meadow", title = "EPISODE_MEADOW", theme = "meadow",
      levels = { "m01", "m02", "m03", "m04", "m05", "m06" } },
    { id = "frost", title = "EPISODE_FROST", theme = "frost",
      levels = { "f01", "f02", "f03", "f04", "f05", "f06" } },
    { id = "dusk", title = "EPISODE_DUSK", theme = "dusk",
      levels = { "d01", "d02", "d03", "d04", "d05", "d06" } },
}
