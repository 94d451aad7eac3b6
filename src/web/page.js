// The page around curve-viewer's picture: the canvas it draws on, with WebGL
// or, where the browser gives no WebGL, as 2D pixels drawn in software; the
// keys and taps that reach it, the animation frames that repaint it, the
// name a screen reader gives it, and what the page says, in the reader's
// language, below the picture, when it cannot draw at all or the program has ended.
mergeInto(LibraryManager.library, {
  $page: {
    canvas: null,
    gl: null,
    // The canvas's 2D context, where there is no WebGL.
    context2d: null,
    // Where the shader takes the size of the drawing buffer.
    halfSize: null,
    frameRequested: false,
    ended: false,
    // The window's size in window pixels, and the pointer's last place in them.
    width: 0,
    height: 0,
    pointerX: 0,
    pointerY: 0,
    // Removes every listener the page added, when the program ends.
    listeners: null,
    // The program's callbacks for a frame and for a key.
    frameCallback: 0,
    keyCallback: 0,

    // Vertices come in window pixels from the lower left, each with a colour.
    vertexShader: 'attribute vec2 position; attribute vec4 colour; uniform vec2 halfSize; varying vec4 tint;' +
      'void main() { gl_Position = vec4(position / halfSize - 1.0, 0.0, 1.0); tint = colour; }',
    fragmentShader: 'precision mediump float; varying vec4 tint; void main() { gl_FragColor = tint; }',
    // The page's words in the reader's language, by their English, which
    // needs no catalogue.
    words: {},
    // Languages written from right to left.
    rightToLeft: ['ar', 'fa', 'he', 'ur'],
    // Tags a catalogue of another name has the words for: Chinese by its
    // script or its region.
    sameWordsAs: { 'zh': 'zh-cn', 'zh-hans': 'zh-cn', 'zh-sg': 'zh-cn', 'zh-hant': 'zh-tw', 'zh-hk': 'zh-tw',
      'zh-mo': 'zh-tw' },

    // Bytes per vertex: two floats of position, four bytes of colour.
    vertexSize: 12,
    // A tap types a space; a touch that moves further, in CSS pixels, is no tap.
    tapKey: 32,
    tapReach: 10,

    // Reads a NUL-terminated string of 8-bit characters from the program's memory.
    string: function(address) {
      var text = '';
      for (var code = HEAPU8[address]; code !== 0; code = HEAPU8[++address]) {
        text += String.fromCharCode(code);
      }
      return text;
    },

    // The catalogue, named as gettext names it, of the first of the browser's
    // languages the page has words in: of that language and region, else of
    // that language in another region; none for English.
    readersCatalogue: function(names) {
      var tagOf = function(name) {
        return name.replace('_', '-').toLowerCase();
      };
      var asked = navigator.languages && navigator.languages.length ? navigator.languages : [navigator.language];
      for (var i = 0; i < asked.length; ++i) {
        var subtags = tagOf(asked[i]).split('-');
        if (subtags[0] === 'en') {
          return null;
        }
        for (var length = subtags.length; length > 0; --length) {
          var prefix = subtags.slice(0, length).join('-');
          var wanted = page.sameWordsAs[prefix] || prefix;
          var exact = names.find(function(name) { return tagOf(name) === wanted; });
          if (exact) {
            return exact;
          }
        }
        var sameLanguage = names.find(function(name) { return tagOf(name).split('-')[0] === subtags[0]; });
        if (sameLanguage) {
          return sameLanguage;
        }
      }
      return null;
    },

    // Takes the words of the reader's language from the page's catalogues,
    // and marks where they stand with its tag and direction.
    useReadersLanguage: function() {
      var catalogues = JSON.parse(document.getElementById('translations').textContent);
      var name = page.readersCatalogue(Object.keys(catalogues));
      var tag = name ? name.replace('_', '-') : 'en';
      page.words = name ? catalogues[name] : {};
      ['message', 'how-to'].forEach(function(id) {
        var element = document.getElementById(id);
        element.lang = tag;
        element.dir = page.rightToLeft.indexOf(tag.split('-')[0]) >= 0 ? 'rtl' : 'ltr';
      });
    },

    // The words in the reader's language.
    translated: function(english) {
      return page.words[english] || english;
    },

    // Shows the words over the picture, where a screen reader reads them out too.
    say: function(words) {
      var message = document.getElementById('message');
      message.textContent = words;
      message.hidden = false;
    },

    // Builds the shader program and the vertex buffer: at start, and again
    // when the browser gives back a context it took away.
    prepare: function() {
      var gl = page.gl;
      var program = gl.createProgram();
      [[gl.VERTEX_SHADER, page.vertexShader], [gl.FRAGMENT_SHADER, page.fragmentShader]].forEach(function(stage) {
        var shader = gl.createShader(stage[0]);
        gl.shaderSource(shader, stage[1]);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
      });
      gl.bindAttribLocation(program, 0, 'position');
      gl.bindAttribLocation(program, 1, 'colour');
      gl.linkProgram(program);
      gl.useProgram(program);
      page.halfSize = gl.getUniformLocation(program, 'halfSize');
      gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
      gl.enableVertexAttribArray(0);
      gl.vertexAttribPointer(0, 2, gl.FLOAT, false, page.vertexSize, 0);
      gl.enableVertexAttribArray(1);
      gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, page.vertexSize, 8);
    },

    // Gives the canvas as many pixels as the screen shows it with; repaints
    // when that changes. Once the program has ended it keeps its last
    // picture, which resizing would clear.
    fit: function(width, height) {
      var canvas = page.canvas;
      if (!page.ended && (canvas.width !== width || canvas.height !== height)) {
        canvas.width = width;
        canvas.height = height;
        page.requestFrame();
      }
    },

    // Fits the canvas to its size on the page, at the screen's density.
    fitToLayout: function() {
      var box = page.canvas.getBoundingClientRect();
      page.fit(Math.round(box.width * devicePixelRatio), Math.round(box.height * devicePixelRatio));
    },

    // Asks for one animation frame, in which the program repaints.
    requestFrame: function() {
      if (page.frameRequested || page.ended || !(page.gl || page.context2d)) {
        return;
      }
      page.frameRequested = true;
      requestAnimationFrame(function() {
        page.frameRequested = false;
        if (!page.ended && !(page.gl && page.gl.isContextLost())) {
          page.call(function() {
            {{{ makeDynCall('viii', 'page.frameCallback') }}}(page.canvas.width, page.canvas.height, page.gl ? 0 : 1);
          });
        }
      });
    },

    // Runs a callback of the program's; when the program ends in it, says so
    // and stops answering.
    call: function(callback) {
      try {
        callback();
      } catch (error) {
        if (error === 'unwind') {
          return;
        }
        if (!error || error.name !== 'ExitStatus') {
          throw error;
        }
        page.ended = true;
        page.listeners.abort();
        page.canvas.classList.add('ended');
        // Translators: %d is the program's exit status, a number.
        page.say(page.translated('curve-viewer ended with exit status %d. Reload the page to start it again.')
          .replace('%d', error.status));
      }
    },

    // Hands a key to the program, with the pointer's place in the window.
    pressKey: function(code) {
      page.call(function() {
        {{{ makeDynCall('viii', 'page.keyCallback') }}}(code, page.pointerX, page.pointerY);
      });
    },

    // The keys GLUT reports that type no printable character.
    namedKeys: { Enter: 13, Tab: 9, Backspace: 8, Escape: 27, Delete: 127 },

    // Whether the key is the program's: Escape and the keys that type a
    // character, unless pressed with Ctrl, Command or Alt. AltGr, which types
    // characters, is not Alt. Every other key is the browser's: F5 reloads,
    // F11 goes full screen, Alt+Left goes back.
    isTheProgramsKey: function(event) {
      var shortcut = (event.ctrlKey || event.metaKey || event.altKey) && !event.getModifierState('AltGraph');
      return !event.isComposing && !shortcut && (event.key in page.namedKeys || Array.from(event.key).length === 1);
    },

    // The 8-bit character a key types, as GLUT reports it; -1 for one beyond
    // Latin-1, which GLUT reports to neither of its keyboard callbacks.
    character: function(event) {
      if (event.key in page.namedKeys) {
        return page.namedKeys[event.key];
      }
      var code = event.key.codePointAt(0);
      return code > 0 && code < 256 ? code : -1;
    },

    // Listens for keys, taps, the pointer, the WebGL context and the canvas's
    // size, until the program ends.
    listen: function() {
      var canvas = page.canvas;
      var options = { signal: page.listeners.signal };
      // The program's keys do only what the program does with them: space
      // does not scroll, Backspace does not go back, Tab shows the next curve.
      document.addEventListener('keydown', function(event) {
        if (!page.isTheProgramsKey(event)) {
          return;
        }
        event.preventDefault();
        var code = page.character(event);
        if (code >= 0) {
          page.pressKey(code);
        }
      }, options);
      canvas.addEventListener('pointermove', function(event) {
        page.pointerX = Math.floor(event.offsetX * page.width / canvas.clientWidth);
        page.pointerY = Math.floor(event.offsetY * page.height / canvas.clientHeight);
      }, options);
      // A tap is a key press; a touch that moves, scrolls or zooms is not. A
      // tap taken also takes the mouse click the browser would make of it.
      var tap = null;
      canvas.addEventListener('touchstart', function(event) {
        var touch = event.touches[0];
        tap = event.touches.length === 1 ? { x: touch.clientX, y: touch.clientY } : null;
      }, { signal: page.listeners.signal, passive: true });
      canvas.addEventListener('touchmove', function(event) {
        var touch = event.touches[0];
        if (tap && Math.hypot(touch.clientX - tap.x, touch.clientY - tap.y) > page.tapReach) {
          tap = null;
        }
      }, { signal: page.listeners.signal, passive: true });
      canvas.addEventListener('touchend', function(event) {
        if (tap && event.touches.length === 0) {
          event.preventDefault();
          page.pressKey(page.tapKey);
        }
        tap = null;
      }, options);
      canvas.addEventListener('webglcontextlost', function(event) {
        // Asks the browser to give the context back when it can.
        event.preventDefault();
      }, options);
      canvas.addEventListener('webglcontextrestored', function() {
        page.prepare();
        page.requestFrame();
      }, options);
      try {
        new ResizeObserver(function(entries) {
          var exact = entries[0].devicePixelContentBoxSize;
          if (exact) {
            page.fit(exact[0].inlineSize, exact[0].blockSize);
          } else {
            page.fitToLayout();
          }
        }).observe(canvas, { box: 'device-pixel-content-box' });
      } catch (unsupported) {
        new ResizeObserver(page.fitToLayout).observe(canvas);
      }
      // A browser without device pixel boxes learns of a new density here.
      var watchDensity = function() {
        matchMedia('(resolution: ' + devicePixelRatio + 'dppx)').addEventListener('change', function() {
          page.fitToLayout();
          watchDensity();
        }, { signal: page.listeners.signal, once: true });
      };
      watchDensity();
    }
  },

  pageOpen__deps: ['$page', '$getWasmTableEntry'],
  pageOpen: function(title, width, height, frame, key) {
    document.title = page.string(title);
    page.width = width;
    page.height = height;
    page.frameCallback = frame;
    page.keyCallback = key;
    page.canvas = document.getElementById('picture');
    page.listeners = new AbortController();
    page.useReadersLanguage();
    page.gl = page.canvas.getContext('webgl', { alpha: false, antialias: false, depth: false, stencil: false });
    page.context2d = page.gl ? null : page.canvas.getContext('2d', { alpha: false });
    if (!page.gl && !page.context2d) {
      page.say(page.translated('curve-viewer needs WebGL to draw its curves, and this browser has none: it may be ' +
        'switched off in its settings, or missing on this computer.'));
      return;
    }
    document.getElementById('how-to').textContent =
      page.translated('Press any key or tap the picture for the next curve. Escape ends the program.');
    page.fitToLayout();
    if (page.gl) {
      page.prepare();
    }
    page.listen();
    // A page of its own takes the keys at once; in a frame the picture waits
    // for a click or a tap, so as not to take the focus from the page around it.
    if (window.top === window) {
      page.canvas.focus();
    }
  },

  pageRequestFrame__deps: ['$page'],
  pageRequestFrame: function() {
    page.requestFrame();
  },

  pageClear__deps: ['$page'],
  pageClear: function(red, green, blue, alpha) {
    var gl = page.gl;
    gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
    gl.clearColor(red, green, blue, alpha);
    gl.clear(gl.COLOR_BUFFER_BIT);
  },

  pageDrawTriangles__deps: ['$page'],
  pageDrawTriangles: function(vertices, count) {
    var gl = page.gl;
    gl.uniform2f(page.halfSize, gl.drawingBufferWidth / 2, gl.drawingBufferHeight / 2);
    gl.bufferData(gl.ARRAY_BUFFER, HEAPU8.subarray(vertices, vertices + count * page.vertexSize), gl.STREAM_DRAW);
    gl.drawArrays(gl.TRIANGLES, 0, count);
  },

  pagePutPixels__deps: ['$page'],
  pagePutPixels: function(rgba, width, height) {
    // A canvas laid out at no size, in a hidden frame say, holds no pixels.
    if (width === 0 || height === 0) {
      return;
    }
    var bytes = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
    page.context2d.putImageData(new ImageData(bytes, width, height), 0, 0);
  },

  pageSetLabel__deps: ['$page'],
  pageSetLabel: function(text) {
    var label = page.string(text);
    if (page.canvas.getAttribute('aria-label') !== label) {
      page.canvas.setAttribute('aria-label', label);
    }
  }
});
