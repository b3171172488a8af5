-- Recorded shots that win every level: angle in degrees above the horizon,
-- power 0 to 1, and the seconds after the launch at which the ability fires.
demoShots = {
    m01 = { { angle = 45, power = 0.95 } },
    m02 = { { angle = 45, power = 0.95 }, { angle = 55, power = 0.95 } },
    m04 = { { angle = 35, power = 0.95, ability = 1.2 } },
    f01 = { { angle = 35, power = 0.95 }, { angle = 25, power = 0.95 } },
    d01 = { { angle = 55, power = 0.8 }, { angle = 65, power = 0.8 } },
}
