-- SPDX-License-Identifier: GPL-3.0-or-later
-- wrk script: every request posts a new score, as the game does (name and
-- date unencoded apart from what the request line cannot carry).
local counter = 0

request = function()
  counter = counter + 1
  local path = string.format("/cgi-bin/velmora.cgi?name=Bench%d&date=1/5/09&score=%d", counter % 1000, counter % 65536)
  return wrk.format("GET", path)
end
