-- Splinters thrown up when wood breaks.
-- A particle definition: the fields of particleTable.particles.splinters_wood, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "SPLINTER_WOOD_1", "SPLINTER_WOOD_2", "DEBRIS_WOOD" }
lifeTime = 0.9
gravityY = 420
emitter_circle = { minVel = 70, maxVel = 180, minAngleEmitter = 200, maxAngleEmitter = 340 }
minAngleVel = -10
maxAngleVel = 10
minScaleBegin = 0.8
maxScaleBegin = 1.2
minScaleEnd = 0.5
maxScaleEnd = 0.7
