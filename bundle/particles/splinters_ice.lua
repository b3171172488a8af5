-- Shards of ice flying wide when ice shatters.
-- A particle definition: the fields of particleTable.particles.splinters_ice, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "SHARD_ICE_1", "SHARD_ICE_2" }
lifeTime = 0.7
gravityY = 450
emitter_circle = { minVel = 80, maxVel = 210, minAngleEmitter = 190, maxAngleEmitter = 350 }
minAngleVel = -12
maxAngleVel = 12
minScaleBegin = 0.7
maxScaleBegin = 1.2
minScaleEnd = 0.4
maxScaleEnd = 0.6
