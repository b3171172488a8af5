-- Recorded shots that win every level: angle in degrees above the horizon,
-- power 0 to 1, and the seconds after the launch at which the ability fires.
demoShots = {
    m01 = { { angle = 40, power = 0.8 }, { angle = 30, power = 1 }, { angle = 30, power = 1 } },
}
