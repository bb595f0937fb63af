// FluidSynth's C interface for the program built for the browser, answered by the FluidSynth 2.4
// that js-synthesizer ships compiled to WebAssembly (libfluidsynth-2.4.x.js). That library is a
// module of its own with its own memory: the page hands it over as Module.fluidsynth, and every
// call here passes numbers and FluidSynth's own handles straight through, and copies strings,
// MIDI data and rendered samples between the two memories. The program's synth code
// (platform/music/) is the desktop's, unchanged: same settings, same SoundFont, same mixing.
// Without the library every constructor answers null, which the synth code already treats as a
// SoundFont that could not be loaded: the game runs silent and says so once.

mergeInto(LibraryManager.library, {
  $FluidBridge: {
    lib: function() { return Module['fluidsynth'] || null; },
    // Runs call(pointer) with the string at our pointer copied into FluidSynth's memory.
    withString: function(ptr, call) {
      const lib = FluidBridge.lib();
      const text = UTF8ToString(ptr);
      const size = lib.lengthBytesUTF8(text) + 1;
      const copy = lib._malloc(size);
      lib.stringToUTF8(text, copy, size);
      try { return call(copy); } finally { lib._free(copy); }
    },
    // Per player: the function FluidSynth calls back, kept until the player goes. (Made on first
    // use: the library's objects are written into the program as text, where a Map would not
    // survive.)
    callbacks: null,
    playerCallbacks: function() {
      if (!FluidBridge.callbacks) FluidBridge.callbacks = new Map();
      return FluidBridge.callbacks;
    },
    // Two channel buffers in FluidSynth's memory, grown as renders ask for more.
    scratch: {frames: 0, left: 0, right: 0},
    logger: 0,
  },

  new_fluid_settings__deps: ['$FluidBridge'],
  new_fluid_settings: function() {
    const lib = FluidBridge.lib();
    return lib ? lib._new_fluid_settings() : 0;
  },
  delete_fluid_settings__deps: ['$FluidBridge'],
  delete_fluid_settings: function(settings) { FluidBridge.lib()._delete_fluid_settings(settings); },
  fluid_settings_setnum__deps: ['$FluidBridge'],
  fluid_settings_setnum: function(settings, name, value) {
    return FluidBridge.withString(name, (n) => FluidBridge.lib()._fluid_settings_setnum(settings, n, value));
  },
  fluid_settings_setint__deps: ['$FluidBridge'],
  fluid_settings_setint: function(settings, name, value) {
    return FluidBridge.withString(name, (n) => FluidBridge.lib()._fluid_settings_setint(settings, n, value));
  },
  fluid_settings_setstr__deps: ['$FluidBridge'],
  fluid_settings_setstr: function(settings, name, value) {
    return FluidBridge.withString(name, (n) => FluidBridge.withString(value, (v) => FluidBridge.lib()._fluid_settings_setstr(settings, n, v)));
  },

  new_fluid_synth__deps: ['$FluidBridge'],
  new_fluid_synth: function(settings) { return FluidBridge.lib()._new_fluid_synth(settings); },
  delete_fluid_synth__deps: ['$FluidBridge'],
  delete_fluid_synth: function(synth) { FluidBridge.lib()._delete_fluid_synth(synth); },
  fluid_synth_set_channel_type__deps: ['$FluidBridge'],
  fluid_synth_set_channel_type: function(synth, channel, type) { return FluidBridge.lib()._fluid_synth_set_channel_type(synth, channel, type); },
  // The SoundFont is read from FluidSynth's own file system, where the page put it.
  fluid_synth_sfload__deps: ['$FluidBridge'],
  fluid_synth_sfload: function(synth, path, reset) {
    return FluidBridge.withString(path, (p) => FluidBridge.lib()._fluid_synth_sfload(synth, p, reset));
  },
  fluid_synth_all_sounds_off__deps: ['$FluidBridge'],
  fluid_synth_all_sounds_off: function(synth, channel) { return FluidBridge.lib()._fluid_synth_all_sounds_off(synth, channel); },
  fluid_synth_cc__deps: ['$FluidBridge'],
  fluid_synth_cc: function(synth, channel, control, value) { return FluidBridge.lib()._fluid_synth_cc(synth, channel, control, value); },
  fluid_synth_pitch_bend__deps: ['$FluidBridge'],
  fluid_synth_pitch_bend: function(synth, channel, value) { return FluidBridge.lib()._fluid_synth_pitch_bend(synth, channel, value); },
  fluid_synth_program_select__deps: ['$FluidBridge'],
  fluid_synth_program_select: function(synth, channel, font, bank, preset) {
    return FluidBridge.lib()._fluid_synth_program_select(synth, channel, font, bank, preset);
  },
  fluid_synth_get_active_voice_count__deps: ['$FluidBridge'],
  fluid_synth_get_active_voice_count: function(synth) { return FluidBridge.lib()._fluid_synth_get_active_voice_count(synth); },
  fluid_synth_handle_midi_event__deps: ['$FluidBridge'],
  fluid_synth_handle_midi_event: function(synth, event) { return FluidBridge.lib()._fluid_synth_handle_midi_event(synth, event); },
  // Renders into FluidSynth's memory, then copies each channel to where the caller wants it.
  fluid_synth_write_float__deps: ['$FluidBridge'],
  fluid_synth_write_float: function(synth, frames, left, leftOffset, leftStep, right, rightOffset, rightStep) {
    const lib = FluidBridge.lib();
    const scratch = FluidBridge.scratch;
    if (scratch.frames < frames) {
      if (scratch.left) lib._free(scratch.left);
      if (scratch.right) lib._free(scratch.right);
      scratch.left = lib._malloc(frames * 4);
      scratch.right = lib._malloc(frames * 4);
      scratch.frames = scratch.left && scratch.right ? frames : 0;
      if (!scratch.frames) return -1;
    }
    const result = lib._fluid_synth_write_float(synth, frames, scratch.left, 0, 1, scratch.right, 0, 1);
    if (result !== 0) return result;
    // Read the heap after the call: FluidSynth may have grown its memory meanwhile.
    const from = lib.HEAPF32;
    const l = scratch.left >> 2, r = scratch.right >> 2;
    const lOut = (left >> 2) + leftOffset, rOut = (right >> 2) + rightOffset;
    for (let i = 0; i < frames; i++) {
      HEAPF32[lOut + i * leftStep] = from[l + i];
      HEAPF32[rOut + i * rightStep] = from[r + i];
    }
    return 0;
  },

  new_fluid_player__deps: ['$FluidBridge'],
  new_fluid_player: function(synth) { return FluidBridge.lib()._new_fluid_player(synth); },
  delete_fluid_player__deps: ['$FluidBridge'],
  delete_fluid_player: function(player) {
    const lib = FluidBridge.lib();
    lib._delete_fluid_player(player);
    const callbacks = FluidBridge.playerCallbacks();
    const callback = callbacks.get(player);
    if (callback !== undefined) lib.removeFunction(callback);
    callbacks.delete(player);
  },
  // FluidSynth copies the file into the player, so the copy here is freed at once.
  fluid_player_add_mem__deps: ['$FluidBridge'],
  fluid_player_add_mem: function(player, buffer, length) {
    const lib = FluidBridge.lib();
    const copy = lib._malloc(length || 1);
    if (!copy) return -1;
    lib.HEAPU8.set(HEAPU8.subarray(buffer, buffer + length), copy);
    const result = lib._fluid_player_add_mem(player, copy, length);
    lib._free(copy);
    return result;
  },
  fluid_player_play__deps: ['$FluidBridge'],
  fluid_player_play: function(player) { return FluidBridge.lib()._fluid_player_play(player); },
  fluid_player_stop__deps: ['$FluidBridge'],
  fluid_player_stop: function(player) { return FluidBridge.lib()._fluid_player_stop(player); },
  fluid_player_get_status__deps: ['$FluidBridge'],
  fluid_player_get_status: function(player) { return FluidBridge.lib()._fluid_player_get_status(player); },
  fluid_player_get_current_tick__deps: ['$FluidBridge'],
  fluid_player_get_current_tick: function(player) { return FluidBridge.lib()._fluid_player_get_current_tick(player); },
  fluid_player_get_total_ticks__deps: ['$FluidBridge'],
  fluid_player_get_total_ticks: function(player) { return FluidBridge.lib()._fluid_player_get_total_ticks(player); },
  // The player's events go to our function (a MIDI event handle of FluidSynth's, which our code
  // only hands back to the calls below).
  fluid_player_set_playback_callback__deps: ['$FluidBridge'],
  fluid_player_set_playback_callback: function(player, handler, data) {
    const lib = FluidBridge.lib();
    const callbacks = FluidBridge.playerCallbacks();
    const previous = callbacks.get(player);
    if (previous !== undefined) lib.removeFunction(previous);
    callbacks.delete(player);
    if (!handler) return lib._fluid_player_set_playback_callback(player, 0, 0);
    const ours = wasmTable.get(handler);
    const theirs = lib.addFunction((unused, event) => ours(data, event), 'iii');
    callbacks.set(player, theirs);
    return lib._fluid_player_set_playback_callback(player, theirs, 0);
  },
  fluid_midi_event_get_type__deps: ['$FluidBridge'],
  fluid_midi_event_get_type: function(event) { return FluidBridge.lib()._fluid_midi_event_get_type(event); },
  fluid_midi_event_get_channel__deps: ['$FluidBridge'],
  fluid_midi_event_get_channel: function(event) { return FluidBridge.lib()._fluid_midi_event_get_channel(event); },
  fluid_midi_event_set_channel__deps: ['$FluidBridge'],
  fluid_midi_event_set_channel: function(event, channel) { return FluidBridge.lib()._fluid_midi_event_set_channel(event, channel); },
  fluid_midi_event_get_control__deps: ['$FluidBridge'],
  fluid_midi_event_get_control: function(event) { return FluidBridge.lib()._fluid_midi_event_get_control(event); },
  fluid_midi_event_get_value__deps: ['$FluidBridge'],
  fluid_midi_event_get_value: function(event) { return FluidBridge.lib()._fluid_midi_event_get_value(event); },
  fluid_midi_event_set_value__deps: ['$FluidBridge'],
  fluid_midi_event_set_value: function(event, value) { return FluidBridge.lib()._fluid_midi_event_set_value(event, value); },

  // FluidSynth's messages: a level switched off stays off; any function of ours switches the
  // level to one printer that writes FluidSynth's message to the page's error output.
  fluid_set_log_function__deps: ['$FluidBridge'],
  fluid_set_log_function: function(level, handler, data) {
    const lib = FluidBridge.lib();
    if (!lib) return 0;
    if (!handler) {
      lib._fluid_set_log_function(level, 0, 0);
      return 0;
    }
    if (!FluidBridge.logger) {
      FluidBridge.logger = lib.addFunction((unusedLevel, message, unused) => err('fluidsynth: ' + lib.UTF8ToString(message)), 'viii');
    }
    lib._fluid_set_log_function(level, FluidBridge.logger, 0);
    return 0;
  },
  fluid_default_log_function__sig: 'viii',
  fluid_default_log_function: function(level, message, data) { err('fluidsynth: ' + UTF8ToString(message)); },
});
