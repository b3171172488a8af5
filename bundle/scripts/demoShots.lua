-- Recorded shots that win every level: angle in degrees above the horizon,
-- power 0 to 1, and the seconds after the launch at which the ability fires.
demoShots = {
    m01 = { { angle = 45, power = 0.95 } },
    m02 = { { angle = 45, power = 0.95 }, { angle = 55, power = 0.95 } },
    m03 = { { angle = 45, power = 0.8 }, { angle = 45, power = 0.95 }, { angle = 25, power = 0.95 } },
    m04 = { { angle = 35, power = 0.95, ability = 1.2 } },
    m05 = { { angle = 55, power = 0.95 } },
    m06 = { { angle = 65, power = 0.8 }, { angle = 35, power = 0.95 } },
    f01 = { { angle = 35, power = 0.95 }, { angle = 25, power = 0.95 } },
    f02 = { { angle = 35, power = 0.95, ability = 1.1 } },
    f03 = { { angle = 15, power = 0.95 }, { angle = 15, power = 0.95 }, { angle = 45, power = 0.95 }, { angle = 65, power = 0.95 } },
    f04 = { { angle = 35, power = 0.95 }, { angle = 35, power = 0.95, ability = 0.8 } },
    f05 = { { angle = 15, power = 0.8, ability = 0.8 } },
    d01 = { { angle = 55, power = 0.8 }, { angle = 65, power = 0.8 } },
    d02 = { { angle = 65, power = 0.95, ability = 0.9 }, { angle = 65, power = 0.95, ability = 0.9 }, { angle = 35, power = 0.95 } },
    d05 = { { angle = 25, power = 0.95, ability = 0.8 }, { angle = 25, power = 0.95 } },
    d06 = { { angle = 55, power = 0.8 }, { angle = 55, power = 0.95, ability = 1.2 }, { angle = 25, power = 0.8, ability = 0.8 }, { angle = 45, power = 0.95, ability = 0.9 }, { angle = 45, power = 0.8, ability = 0.9 } },
}
