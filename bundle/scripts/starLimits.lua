-- Scores that earn one, two and three stars, per level.
level1 = { 20000, 32000, 40000 }
