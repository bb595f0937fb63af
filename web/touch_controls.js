// On-screen controls for playing the game on a touch screen. The game keeps its keys: each
// control presses and lets go of one of them as the keyboard would (a key event the web backend
// reads), so the arrows walk and the screens' letters work as on the desktop. The controls sit
// beside the picture in landscape and below it in portrait, never over it; the picture stays as
// large as the screen allows. Each control follows its own fingers: holding the right arrow while
// another finger taps elsewhere keeps walking. While the controls show, the page neither scrolls,
// zooms nor selects text. A device without touch sees none of this.
'use strict';

// The controls of each program that has them, by its page's factory: a label and the key's
// KeyboardEvent code and key. The first two, the arrows, are the large ones.
const kControls = {
  createBodoZamel: [
    {label: '\u25C0', code: 'ArrowLeft', key: 'ArrowLeft', arrow: true},
    {label: '\u25B6', code: 'ArrowRight', key: 'ArrowRight', arrow: true},
    {label: 'P', code: 'KeyP', key: 'p'}, {label: 'O', code: 'KeyO', key: 'o'}, {label: 'A', code: 'KeyA', key: 'a'},
    {label: 'M', code: 'KeyM', key: 'm'}, {label: 'E', code: 'KeyE', key: 'e'}, {label: 'X', code: 'KeyX', key: 'x'},
    {label: 'ESC', code: 'Escape', key: 'Escape'},
  ],
};

// The least room the controls need beside the picture (landscape) or below it (portrait), in
// CSS pixels: a thumb's width for the arrows and a row of letters.
const kLeastSide = 96;
const kLeastBelow = 180;

// Where the picture and the two control panels go in a viewW x viewH viewport, for a picture of
// picW x picH: landscape puts the panels in the bars left and right of the picture at full
// height, portrait puts them side by side below it at full width. The picture shrinks only when
// the bars would be narrower than the controls need. Rectangles in CSS pixels.
function touchLayout(viewW, viewH, picW, picH) {
  const landscape = viewW > viewH;
  if (landscape) {
    const height = Math.min(viewH, Math.floor(((viewW - 2 * kLeastSide) * picH) / picW));
    const width = Math.floor((height * picW) / picH);
    const side = Math.floor((viewW - width) / 2);
    return {
      landscape,
      room: {left: side, top: 0, width, height: viewH},
      panels: [{left: 0, top: 0, width: side, height: viewH}, {left: viewW - side, top: 0, width: side, height: viewH}],
    };
  }
  const width = Math.min(viewW, Math.floor(((viewH - kLeastBelow) * picW) / picH));
  const height = Math.floor((width * picH) / picW);
  const below = viewH - height;
  const half = Math.floor(viewW / 2);
  return {
    landscape,
    room: {left: 0, top: 0, width: viewW, height},
    panels: [{left: 0, top: height, width: half, height: below}, {left: half, top: height, width: viewW - half, height: below}],
  };
}

if (typeof module !== 'undefined') module.exports = {touchLayout};

if (typeof window !== 'undefined') {
  const controls = kControls[document.body.dataset.factory];
  const touchScreen = navigator.maxTouchPoints > 0 || window.matchMedia('(pointer: coarse)').matches;
  if (controls && touchScreen) window.addEventListener('DOMContentLoaded', () => showTouchControls(controls));
}

function showTouchControls(controls) {
  const page = window.bodoZamel;
  const canvas = document.getElementById('canvas');
  const screen = document.getElementById('screen');

  // No pinch zoom, no double-tap zoom, no scrolling, no selection or callout on a long press.
  const viewport = document.querySelector('meta[name=viewport]');
  if (viewport) viewport.content = 'width=device-width, initial-scale=1, maximum-scale=1, user-scalable=no';
  const style = document.createElement('style');
  style.textContent = `
    html.touch, html.touch body { touch-action: none; overscroll-behavior: none; -webkit-user-select: none; user-select: none;
      -webkit-touch-callout: none; -webkit-tap-highlight-color: transparent; }
    .touch-panel { position: absolute; box-sizing: border-box; padding: 8px 8px 24px; display: flex; flex-direction: column; gap: 8px;
      justify-content: flex-end; }
    .touch-keys { display: flex; flex-wrap: wrap; gap: 8px; justify-content: center; }
    .touch-panel button { touch-action: none; font: bold 20px sans-serif; color: #eee; background: #333; border: 2px solid #777;
      border-radius: 12px; min-width: 56px; height: 48px; padding: 0 8px; }
    .touch-panel button.arrow { flex: 1; max-height: 160px; width: 100%; font-size: 40px; }
    .touch-panel button.down { background: #777; }`;
  document.head.appendChild(style);
  document.documentElement.classList.add('touch');
  document.addEventListener('touchmove', (event) => event.preventDefault(), {passive: false});
  document.addEventListener('contextmenu', (event) => event.preventDefault());

  // The key as the keyboard gives it, from the canvas up to the window where the program listens.
  const sendKey = (control, down) => canvas.dispatchEvent(new KeyboardEvent(down ? 'keydown' : 'keyup',
    {code: control.code, key: control.key, bubbles: true, cancelable: true}));

  // A control is down while any finger that came down on it still touches.
  const makeButton = (control) => {
    const button = document.createElement('button');
    button.textContent = control.label;
    button.dataset.code = control.code;
    if (control.arrow) button.className = 'arrow';
    const fingers = new Set();
    button.addEventListener('pointerdown', (event) => {
      event.preventDefault();
      if (fingers.size === 0) {
        sendKey(control, true);
        button.classList.add('down');
      }
      fingers.add(event.pointerId);
    });
    const lift = (event) => {
      if (!fingers.delete(event.pointerId) || fingers.size > 0) return;
      sendKey(control, false);
      button.classList.remove('down');
    };
    for (const type of ['pointerup', 'pointercancel']) button.addEventListener(type, lift);
    return button;
  };

  // Left panel: the left arrow under P O A M; right panel: the right arrow under E X ESC; both at
// the bottom, where the thumbs are.
  const [left, right, ...letters] = controls;
  const panels = [[left, letters.slice(0, 4)], [right, letters.slice(4)]].map(([arrow, keys]) => {
    const panel = document.createElement('div');
    panel.className = 'touch-panel';
    const row = document.createElement('div');
    row.className = 'touch-keys';
    for (const key of keys) row.appendChild(makeButton(key));
    panel.append(row, makeButton(arrow));
    document.body.appendChild(panel);
    return panel;
  });

  const place = (element, rect) => {
    Object.assign(element.style, {left: rect.left + 'px', top: rect.top + 'px', width: rect.width + 'px', height: rect.height + 'px',
                                  right: 'auto', bottom: 'auto'});
  };
  const layout = () => {
    const plan = touchLayout(window.innerWidth, window.innerHeight, canvas.width, canvas.height);
    place(screen, plan.room);
    screen.style.alignItems = plan.landscape ? 'center' : 'flex-start';
    plan.panels.forEach((rect, i) => place(panels[i], rect));
    if (page && page.fitCanvas) page.fitCanvas();
  };
  window.addEventListener('resize', layout);
  new MutationObserver(layout).observe(canvas, {attributes: true, attributeFilter: ['width', 'height']});
  layout();
}
