// vorlash-page.js -- the page around a Vorlash program (the game, or one of the library's examples):
// loads the program's module and FluidSynth's, fits the canvas to the window, queues the player's
// keys, touches and focus for the program, plays its sound through WebAudio, and offers to play
// again when it ends. The program calls the page object below from platform/host/web/web_page.cpp.
"use strict";

var VorlashPage = (function () {
  const EVENT_KEY = 1, EVENT_FOCUS = 2;  // as web_page.h numbers them
  const TOUCH_SIDE = 190;  // CSS pixels the touch controls need beside a picture wider screens leave

  function missing() {
    if (typeof WebAssembly !== "object" || typeof WebAssembly.instantiate !== "function")
      return "This browser cannot run WebAssembly, which Vorlash needs. Please try a current Firefox, Chrome, Edge or Safari.";
    if (!(window.AudioContext || window.webkitAudioContext))
      return "This browser has no Web Audio, which Vorlash needs for its sound. Please try a current Firefox, Chrome, Edge or Safari.";
    return null;
  }

  function loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement("script");
      script.src = src;
      script.onload = resolve;
      script.onerror = () => reject(new Error("cannot load " + src));
      document.head.appendChild(script);
    });
  }

  // FluidSynth compiled to WebAssembly (npm js-synthesizer). It takes the global `Module`, which is
  // why the program's own module is built MODULARIZE and never uses that name.
  let synthesizer = null;
  function loadSynthesizer(base) {
    if (!synthesizer)
      synthesizer = new Promise(resolve => {
        window.Module = { onRuntimeInitialized() { resolve(window.Module); }, print() {}, printErr() {} };
        loadScript(base + "libfluidsynth.js").catch(() => resolve(null));
      });
    return synthesizer;
  }

  function start(options) {
    const $ = id => document.getElementById(id);
    const canvas = $("canvas"), screen = $("screen"), prompt = $("prompt");
    const touch = $("touch");
    const problem = missing();
    if (problem) {
      prompt.hidden = true;
      $("message").textContent = problem;
      $("message").hidden = false;
      return null;
    }
    const context = canvas.getContext("2d", { alpha: false });
    const page = {
      keyCodes: {},
      events: [],
      gestured: false,
      audio: null,
      running: false,
      // Figures the smoke run reads.
      // busyMs: the program's own time between its waits; audioMs: the audio pulls' time.
      stats: { draws: 0, refreshes: 0, sleeps: 0, busyMs: 0, audioMs: 0, firstDrawAt: null, ended: null, pageErrors: 0 },
      touchShown: false,
    };
    window.vorlash = page;

    // ---- the canvas: the display's size, scaled to fit, whole pixels where it is at least 1:1 ----
    function fit() {
      let width = screen.clientWidth, height = screen.clientHeight, left = 0;
      if (page.touchShown && width / height > 4 / 3 && width - 2 * TOUCH_SIDE >= height * 4 / 3 * 0.6) {
        left = TOUCH_SIDE;
        width -= 2 * TOUCH_SIDE;  // the touch controls sit in the bars beside the picture
      }
      const ratio = window.devicePixelRatio || 1;
      let scale = Math.min(width / canvas.width, height / canvas.height);
      if (scale * ratio >= 1)
        scale = Math.floor(scale * ratio) / ratio;  // every pixel the same size on the screen
      const w = canvas.width * scale, h = canvas.height * scale;
      canvas.style.width = w + "px";
      canvas.style.height = h + "px";
      canvas.style.left = left + (width - w) / 2 + "px";
      canvas.style.top = (height - h) / 2 + "px";
    }
    window.addEventListener("resize", fit);

    page.open = (width, height) => {
      if (page.stats.openedAt === undefined)
        page.stats.openedAt = performance.now();
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
      }
      fit();
    };
    page.draw = (pixels, width, height, top, rows) => {
      if (canvas.width !== width || canvas.height !== height)
        page.open(width, height);
      context.putImageData(new ImageData(pixels, width, height), 0, 0, 0, top, width, rows);
      if (page.stats.firstDrawAt === null) {
        page.stats.firstDrawAt = performance.now();
        // FluidSynth loads once the first picture is up: its module is as big as the program's
        // and the program asks for it only when its music starts.
        setTimeout(() => loadSynthesizer(options.base), 0);
      }
      ++page.stats.draws;
    };
    // ---- the program's clock: the page's refreshes on its 60 Hz grid ----
    // After each flip, which waited for an animation frame, the frame pacer waits for the next whole
    // sixtieth of a second of this clock that it has not yet passed. The browser's frames come at
    // instants of its own: on performance.now() the ticks would fall anywhere between them, and the
    // pacer could wait (a sleep, then a spin) after every refresh for a tick in the middle of the
    // next frame. So the clock runs ahead of performance.now() by as much as puts each refresh just
    // before a tick, closer than the pacer's half a millisecond of "on time". It only ever moves on,
    // never back: a display a little slower than 60 Hz lets the ticks run ahead of its refreshes
    // until the clock moves on by nearly a tick; one a little faster is followed in small steps. A
    // display of another rate leaves it as it is (the pacer's own waits then keep the game at 60).
    const REFRESH_MS = 1000 / 60;
    const REFRESH_BEFORE_TICK_MS = 0.2;  // where the clock puts a refresh
    const TICK_AFTER_MS = 0.5, TICK_BEFORE_MS = 1;  // how far from there a refresh may come
    let clockAhead = 0, lastRefresh = null;
    page.now = () => performance.now() + clockAhead;
    function refreshed(timestamp) {
      if (lastRefresh !== null && Math.abs(timestamp - lastRefresh - REFRESH_MS) < 1) {
        const sinceTick = (timestamp + clockAhead) % REFRESH_MS, untilTick = REFRESH_MS - sinceTick;
        if (untilTick > TICK_AFTER_MS && sinceTick > TICK_BEFORE_MS)
          clockAhead += untilTick - REFRESH_BEFORE_TICK_MS;
      }
      lastRefresh = timestamp;
    }

    // The program's two ways of waiting: both give the page its turn.
    let resumedAt = null;
    const waiting = () => { if (resumedAt !== null) page.stats.busyMs += performance.now() - resumedAt; };
    const resumed = () => { resumedAt = performance.now(); };
    page.nextFrame = () => {
      waiting();
      return new Promise(resolve => requestAnimationFrame(timestamp => {
        ++page.stats.refreshes;
        refreshed(timestamp);
        resumed();
        resolve();
      }));
    };
    // A turn for the page and nothing more: a message to itself runs after what the page has queued.
    const turns = new MessageChannel(), turned = [];
    turns.port1.onmessage = () => { resumed(); turned.shift()(); };
    page.turn = () => {
      waiting();
      return new Promise(resolve => { turned.push(resolve); turns.port2.postMessage(0); });
    };
    page.sleep = ms => {
      waiting();
      ++page.stats.sleeps;
      return new Promise(resolve => setTimeout(() => { resumed(); resolve(); }, ms));
    };
    page.cursor = visible => { canvas.style.cursor = visible ? "" : "none"; };
    // A browser shows the page a gamepad only once the player has used it, and says so with
    // gamepadconnected: until then there is nothing to poll each frame.
    let padSeen = false;
    window.addEventListener("gamepadconnected", () => { padSeen = true; });
    page.gamepad = () => {
      if (!padSeen || !navigator.getGamepads)
        return null;
      for (const pad of navigator.getGamepads())
        if (pad && pad.connected && pad.mapping === "standard")
          return pad;
      return null;
    };
    page.notice = text => {
      $("notice").textContent = text;
      $("notice").hidden = false;
      console.warn("vorlash: " + text);
    };
    page.synthesizer = () => loadSynthesizer(options.base);

    // ---- sound: WebAudio pulls the program's mixer, 2048 frames at a time ----
    page.openAudio = (rate, channels, frames, pull) => {
      const Context = window.AudioContext || window.webkitAudioContext;
      let audio;
      try {
        audio = new Context({ sampleRate: rate, latencyHint: "interactive" });
      } catch (e) {
        return false;  // the mixer renders at its own rate only
      }
      const node = audio.createScriptProcessor(frames, 0, 2);
      node.onaudioprocess = event => {
        const left = event.outputBuffer.getChannelData(0), right = event.outputBuffer.getChannelData(1);
        if (!page.running || document.hidden) {
          left.fill(0);
          right.fill(0);
          return;
        }
        const pulled = performance.now();
        const samples = pull();
        page.stats.audioMs += performance.now() - pulled;
        const step = channels;
        for (let i = 0, n = left.length; i < n; ++i) {
          left[i] = samples[i * step] / 32768;
          right[i] = samples[i * step + step - 1] / 32768;
        }
      };
      const analyser = audio.createAnalyser();
      analyser.fftSize = 2048;
      node.connect(audio.destination);
      node.connect(analyser);
      page.audio = { context: audio, node, analyser };
      if (page.gestured)
        audio.resume();
      return true;
    };
    page.closeAudio = () => {
      if (!page.audio)
        return;
      page.audio.node.onaudioprocess = null;
      page.audio.node.disconnect();
      page.audio.context.close();
      page.audio = null;
    };
    // The level the audio graph plays now, as RMS on the 16-bit scale (the smoke run reads it).
    page.audioLevel = () => {
      if (!page.audio)
        return 0;
      const samples = new Float32Array(page.audio.analyser.fftSize);
      page.audio.analyser.getFloatTimeDomainData(samples);
      let sum = 0;
      for (const s of samples)
        sum += s * s;
      return Math.sqrt(sum / samples.length) * 32768;
    };

    // ---- the player: the first gesture starts the sound; keys, focus and touches go to the queue ----
    function gesture() {
      if (page.gestured)
        return;
      page.gestured = true;
      prompt.hidden = true;
      if (page.audio && !document.hidden)
        page.audio.context.resume();
    }
    prompt.addEventListener("pointerdown", gesture);
    window.addEventListener("pointerdown", gesture);
    window.addEventListener("touchstart", gesture, { passive: true });

    function key(event, down) {
      if (event.type === "keydown")
        gesture();
      const dik = page.keyCodes[event.code];
      if (dik === undefined || event.ctrlKey || event.metaKey || (event.altKey && event.code !== "AltLeft" && event.code !== "AltRight"))
        return;
      if (event.target && event.target.tagName === "BUTTON")
        return;  // Enter or Space on the play-again button
      event.preventDefault();  // no scrolling by arrows or Space, no browser action on F2
      if (page.running && !event.repeat)
        page.events.push(EVENT_KEY, dik, down ? 1 : 0);
    }
    window.addEventListener("keydown", e => key(e, true));
    window.addEventListener("keyup", e => key(e, false));
    const focus = on => { if (page.running) page.events.push(EVENT_FOCUS, on ? 1 : 0, 0); };
    window.addEventListener("blur", () => focus(false));
    window.addEventListener("focus", () => focus(true));
    // A hidden page gets no animation frames, so the program waits in its refresh; its sound stops
    // with it, and both go on where they were when the page is shown again.
    document.addEventListener("visibilitychange", () => {
      focus(!document.hidden && document.hasFocus());
      if (page.audio)
        document.hidden ? page.audio.context.suspend() : page.gestured && page.audio.context.resume();
    });

    // Touch controls: shown on a touch screen, each pressing the key it names.
    if (touch) {
      const showTouch = () => {
        if (page.touchShown)
          return;
        page.touchShown = true;
        touch.hidden = false;
        if (!page.gestured)
          prompt.textContent = "Tap to play";
        $("controls").textContent = "Arrows move \u00b7 FIRE fires \u00b7 FAST / SLOW toggles the speed \u00b7 RESTART starts again";
        fit();
      };
      if (navigator.maxTouchPoints > 0 || (window.matchMedia && matchMedia("(pointer: coarse)").matches))
        showTouch();
      window.addEventListener("touchstart", showTouch, { passive: true });
      for (const button of touch.querySelectorAll("[data-key]")) {
        const press = down => event => {
          event.preventDefault();
          gesture();
          button.classList.toggle("held", down);
          const dik = page.keyCodes[button.dataset.key];
          if (page.running && dik !== undefined)
            page.events.push(EVENT_KEY, dik, down ? 1 : 0);
        };
        button.addEventListener("pointerdown", event => {
          button.setPointerCapture && button.setPointerCapture(event.pointerId);
          press(true)(event);
        });
        button.addEventListener("pointerup", press(false));
        button.addEventListener("pointercancel", press(false));
      }
    }

    // ---- the program: a module of its own each run ----
    function run() {
      $("ended").hidden = true;
      page.events.length = 0;
      page.running = true;
      page.ended = code => {
        page.running = false;
        page.stats.ended = code;
        page.closeAudio();
        $("ended").hidden = false;
        $("again").focus();
      };
      const begin = () => VorlashModule({
        page,
        canvas,
        locateFile: (path, prefix) => (path.endsWith(".data") ? options.base : prefix) + path,
        print: text => console.log(text),
        printErr: text => console.warn(text),
      }).catch(error => {
        page.running = false;
        $("message").textContent = "Vorlash could not start: " + error;
        $("message").hidden = false;
      });
      if (typeof VorlashModule === "function")
        begin();
      else
        loadScript(options.program).then(begin, error => {
          $("message").textContent = "Vorlash could not load: " + error.message;
          $("message").hidden = false;
        });
    }
    $("again").addEventListener("click", () => { gesture(); run(); });
    window.addEventListener("error", () => ++page.stats.pageErrors);
    fit();
    run();
    return page;
  }

  return { start };
})();
