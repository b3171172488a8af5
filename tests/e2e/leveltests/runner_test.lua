-- What the runner must report: a pass, a failed expectation, a script error
-- and a test that leaves the game as it found it for the next.
test("passes", function()
    step(2)
    expect(type(Play.state()) == "string")
end)

test("fails an expectation", function()
    expect(1 + 1 == 3, "arithmetic is broken")
    expect(true, "not reported")
end)

test("raises an error", function()
    error("the script broke")
end)

test("starts in a fresh game", function()
    expect(leftOver == nil, "a global from another test survived")
    leftOver = true
    step(1)
end)

test("a second fresh game", function()
    expect(leftOver == nil, "a global from another test survived")
    leftOver = true
end)
