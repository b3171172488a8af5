-- The bench needs no block catalogue; the level loader wants the tables.
blocks = {}
materials = {}
themes = {}
