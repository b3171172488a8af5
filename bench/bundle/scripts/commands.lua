-- The bench has no console commands.
commands = {}
