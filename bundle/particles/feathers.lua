-- Feathers that burst from a bird and float down.
-- A particle definition: the fields of particleTable.particles.feathers, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "FEATHER", "FEATHER_2" }
lifeTime = 1.4
gravityY = 60
emitter_circle = { minVel = 30, maxVel = 90, minAngleEmitter = 0, maxAngleEmitter = 360 }
minAngleVel = -3
maxAngleVel = 3
minScaleBegin = 1
maxScaleBegin = 1.3
minScaleEnd = 0.7
maxScaleEnd = 0.9
