-- Scores that earn one, two and three stars, per level. The recorded shots
-- earn two; three ask for fewer birds or more wreckage.
starTable = {
    m01 = { 15500, 28000, 39000 },
    m02 = { 16500, 29500, 41000 },
    m03 = { 13500, 24500, 34000 },
    m04 = { 18500, 33500, 46000 },
    m06 = { 18500, 33000, 46000 },
    f01 = { 22500, 40500, 56500 },
    f02 = { 18000, 32000, 44500 },
    f04 = { 16000, 28500, 39500 },
    f05 = { 23000, 41500, 57500 },
    d01 = { 13000, 23500, 33000 },
    d02 = { 5500, 9500, 13500 },
}
