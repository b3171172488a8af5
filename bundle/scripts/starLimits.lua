-- Scores that earn one, two and three stars, per level. The recorded shots
-- earn two; three ask for fewer birds or more wreckage.
starTable = {
    m01 = { 15500, 28000, 39000 },
    m02 = { 16500, 29500, 41000 },
    m04 = { 18500, 33500, 46000 },
    f01 = { 22500, 40500, 56500 },
    d01 = { 13000, 23500, 33000 },
}
