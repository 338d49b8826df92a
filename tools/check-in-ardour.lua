-- Session half of tools/check-in-ardour.sh, run by ardour7-lua (luasession).
-- Settings come from the environment because luasession's argument passing
-- differs between Ardour releases.
--   VLT2_SESSION_DIR  new session folder (must not exist yet)
--   VLT2_EXPORT_DIR   folder for the exported WAV
--   VLT2_PLUGIN_NAME  plug-in name to look for among the LXVST plug-ins
--   VLT2_PLUGIN_ID    its unique id as a decimal number (fallback match)
--   VLT2_NOTES_PROC   name of the Lua DSP note generator the shell script wrote
--   VLT2_SECONDS      length of the exported range
-- Lines starting with "VLT2 " are read back by the shell script.

local function env (name)
	local v = os.getenv (name)
	if not v or v == "" then error ("missing environment variable " .. name) end
	return v
end

-- Flushed at once: if Ardour aborts later, the shell still sees how far it got.
local function report (key, value)
	print ("VLT2 " .. key .. "=" .. tostring (value))
	io.stdout:flush ()
end

local function fail (msg)
	report ("error", msg)
	-- Leave the session unsaved; a half-built one is of no use.
	os.exit (3)
end

local session_dir = env ("VLT2_SESSION_DIR")
local export_dir  = env ("VLT2_EXPORT_DIR")
local want_name   = env ("VLT2_PLUGIN_NAME")
local want_id     = env ("VLT2_PLUGIN_ID")
local notes_proc  = env ("VLT2_NOTES_PROC")
local seconds     = tonumber (env ("VLT2_SECONDS"))
local rate        = 48000

-- The dummy backend runs without audio hardware, a sound server or JACK.
AudioEngine:set_backend ("None (Dummy)", "", "")
report ("backend", AudioEngine:current_backend_name ())

local s = create_session (session_dir, "vlt2-check", rate)
if not s then fail ("create_session failed in " .. session_dir) end

-- The plug-in list is filled from the scanner's cache when the session is
-- created, so it is only complete from here on.
local info
for p in ARDOUR.LuaAPI.list_plugins ():iter () do
	local is_so = p.path:sub (-3) == ".so"
	if is_so and (p.name == want_name or p.unique_id == want_id) then
		info = p
		if p.name == want_name then break end
	end
end
if not info then fail ("no LXVST plug-in named '" .. want_name .. "' or with id " .. want_id .. " (is LXVST_PATH right, did the scanner run?)") end
report ("plugin_name", info.name)
report ("plugin_id", info.unique_id)
report ("plugin_path", info.path)
report ("plugin_maker", info.creator)

local midi  = ARDOUR.DataType ("midi")
local audio = ARDOUR.DataType ("audio")
local tl = Session:new_midi_track (ARDOUR.ChanCount (midi, 1), ARDOUR.ChanCount (audio, 2), true,
	info, nil, nil, 1, "Volantor", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
if tl:size () ~= 1 then fail ("new_midi_track did not create a track") end
local track = tl:front ()

-- Ardour puts the instrument on the track only if it could instantiate it.
local inst
local i = 0
while true do
	local proc = track:nth_plugin (i)
	if proc:isnil () then break end
	local pi = proc:to_insert ()
	if not pi:isnil () and pi:plugin (0):get_info ().unique_id == info.unique_id then inst = pi end
	i = i + 1
end
if not inst then fail ("the track has no instance of " .. info.name) end
report ("instance", inst:plugin (0):name ())
report ("track_outputs", track:n_outputs ():n_audio ())

-- No MIDI region can be made from luasession in Ardour 7, so a Lua DSP
-- placed before the instrument plays the notes at fixed transport times.
local gen = ARDOUR.LuaAPI.new_luaproc (Session, notes_proc)
if gen:isnil () then fail ("could not load the note generator '" .. notes_proc .. "'") end
if track:add_processor_by_index (gen, 0, nil, true) ~= 0 then fail ("could not add the note generator") end

local chain = {}
i = 0
while true do
	local proc = track:nth_plugin (i)
	if proc:isnil () then break end
	chain[#chain + 1] = proc:display_name ()
	i = i + 1
end
report ("chain", table.concat (chain, " -> "))

Session:save_state ("", false, false, false, false, false)

local ex = Session:simple_export ()
ex:set_name ("volantor-check")
ex:set_folder (export_dir)
ex:set_range (0, math.floor (seconds * rate))
-- Ardour's stock "WAV @ session-rate" preset.
if not ex:set_preset ("75969a1c-3133-4694-864b-a1fa50e43348") then fail ("export preset not found") end
if not ex:run_export () then fail ("export failed") end
report ("exported", "yes")

-- Lua must let go of the track before the session goes: collected later,
-- its destructor reads freed memory and luasession aborts.
tl, track, inst, gen, ex = nil, nil, nil, nil, nil
collectgarbage ()
close_session ()
report ("closed", "yes")
quit ()
