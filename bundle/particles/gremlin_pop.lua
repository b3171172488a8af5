-- A gremlin goes pop: a violet puff and a few sparkles.
-- A particle definition: the fields of particleTable.particles.gremlin_pop, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "POP_PUFF", "POP_PUFF", "POP_STAR" }
lifeTime = 0.5
gravityY = -30
emitter_circle = { minVel = 40, maxVel = 110, minAngleEmitter = 0, maxAngleEmitter = 360 }
minAngleVel = -2
maxAngleVel = 2
minScaleBegin = 0.6
maxScaleBegin = 0.9
minScaleEnd = 1.3
maxScaleEnd = 1.7
