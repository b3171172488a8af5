-- Scores that earn one, two and three stars, per level. Every win clears the
-- gremlins (5000 each); each bird left over adds 10000.
level1 = { 15000, 25000, 30000 }
