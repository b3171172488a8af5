-- Chips of rock when stone breaks: heavier and slower than wood.
-- A particle definition: the fields of particleTable.particles.splinters_stone, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "CHIP_STONE_1", "CHIP_STONE_2", "DEBRIS_STONE" }
lifeTime = 0.8
gravityY = 520
emitter_circle = { minVel = 50, maxVel = 150, minAngleEmitter = 205, maxAngleEmitter = 335 }
minAngleVel = -6
maxAngleVel = 6
minScaleBegin = 0.8
maxScaleBegin = 1.3
minScaleEnd = 0.6
maxScaleEnd = 0.8
