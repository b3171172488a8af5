-- Drops thrown up where something falls into water.
-- A particle definition: the fields of particleTable.particles.splash, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "DROP_WATER_1", "DROP_WATER_2" }
lifeTime = 0.7
gravityY = 520
emitter_circle = { minVel = 90, maxVel = 210, minAngleEmitter = 235, maxAngleEmitter = 305 }
minScaleBegin = 0.8
maxScaleBegin = 1.3
minScaleEnd = 0.5
maxScaleEnd = 0.7
