-- Dust that puffs up where something lands or scrapes, and drifts away.
-- A particle definition: the fields of particleTable.particles.dust, in world
-- pixels and seconds (y grows downwards; angles in degrees, 270 is straight up).
sprites = { "PARTICLE_DUST_1", "PARTICLE_DUST_2" }
lifeTime = 0.9
gravityY = -25
emitter_circle = { minVel = 10, maxVel = 45, minAngleEmitter = 180, maxAngleEmitter = 360 }
minAngleVel = -1
maxAngleVel = 1
minScaleBegin = 0.6
maxScaleBegin = 0.9
minScaleEnd = 1.4
maxScaleEnd = 1.9
