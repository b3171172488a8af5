-- Scores that earn one, two and three stars, per level.
starTable = {
    m01 = { 10000, 25000, 32000 },
}
