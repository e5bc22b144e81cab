'use strict';
// Shows the teacher's board: the first message is the whole board, each
// later one a changed part, each a PNG placed at its position unscaled.
// When every seat is taken the page polls the whole board once a second
// instead (a proxy's cache can serve that to any number of students) and
// now and then tries for a seat again.
(function () {
  const canvas = document.getElementById('board');
  const ctx = canvas.getContext('2d', { alpha: false });
  const note = document.getElementById('note');
  const base = location.pathname.replace(/[^/]*$/, '');
  const STOPPED = 4000, FULL = 4001;
  let polling = false;
  // Pictures decode asynchronously; the chain keeps them in arrival order.
  let chain = Promise.resolve();
  window.boardFrames = 0;
  window.boardState = 'connecting';

  function say(text) {
    note.textContent = text;
    note.hidden = !text;
  }

  // The bytes of a PNG as something drawImage takes. The image decoder
  // reads them where they are; a Blob would first travel to the browser's
  // own process, which every open page shares.
  function decode(png) {
    const how = { colorSpaceConversion: 'none', premultiplyAlpha: 'none' };
    if (!window.ImageDecoder) return createImageBitmap(new Blob([png], { type: 'image/png' }), how);
    const decoder = new ImageDecoder({ data: png, type: 'image/png', ...how });
    return decoder.decode().then((r) => r.image).finally(() => decoder.close());
  }

  // Pictures decode asynchronously; the chain keeps them in arrival order.
  // Where the board is w x h, the picture goes at x, y.
  function draw(png, w, h, x, y, polled) {
    chain = chain
      .then(() => decode(png))
      .then((bitmap) => {
        // A polled picture that arrives after the page got a seat is old.
        if (polled === polling) {
          if (w === 0) {
            w = bitmap.displayWidth || bitmap.width;
            h = bitmap.displayHeight || bitmap.height;
          }
          if (canvas.width !== w || canvas.height !== h) {
            canvas.width = w;
            canvas.height = h;
          }
          ctx.drawImage(bitmap, x, y);
          window.boardFrames++;
        }
        bitmap.close();
      })
      .catch(() => {});
  }

  function place(data) {
    if (!(data instanceof ArrayBuffer) || data.byteLength < 9) return;
    const v = new DataView(data);
    const w = v.getUint16(1, true), h = v.getUint16(3, true);
    const x = v.getUint16(5, true), y = v.getUint16(7, true);
    draw(new Uint8Array(data, 9), w, h, x, y, false);
  }

  function poll() {
    if (!polling) return;
    fetch(base + 'board.png')
      .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(String(r.status)))))
      .then((png) => {
        draw(png, 0, 0, 0, 0, true);
        if (polling) say('观看人数已满，画面每秒更新一次。');
      })
      .catch(() => {
        if (polling) say('与老师的连接已断开，正在重新连接……');
      })
      .finally(() => setTimeout(poll, 1000));
  }

  function connect() {
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    const ws = new WebSocket(scheme + location.host + base + 'ws');
    ws.binaryType = 'arraybuffer';
    ws.onopen = () => {
      // Still unknown: a full room closes the socket right after opening it.
      ws.onmessage = (e) => {
        polling = false;
        window.boardState = 'live';
        say('');
        place(e.data);
        ws.onmessage = (m) => place(m.data);
      };
    };
    ws.onclose = (e) => {
      if (e.code === FULL) {
        window.boardState = 'full';
        if (!polling) {
          polling = true;
          poll();
        }
        // A seat may free up.
        setTimeout(connect, 60000);
        return;
      }
      polling = false;
      if (e.code === STOPPED) {
        window.boardState = 'stopped';
        say('老师已停止共享。重新开始共享后，画面会自动恢复。');
      } else {
        window.boardState = 'lost';
        say('与老师的连接已断开，正在重新连接……');
      }
      setTimeout(connect, 2000);
    };
  }

  document.getElementById('save').onclick = () => {
    canvas.toBlob((blob) => {
      if (!blob) return;
      const a = document.createElement('a');
      const t = new Date();
      const pad = (n) => String(n).padStart(2, '0');
      a.download = '白板-' + t.getFullYear() + pad(t.getMonth() + 1) + pad(t.getDate()) + '-' +
        pad(t.getHours()) + pad(t.getMinutes()) + pad(t.getSeconds()) + '.png';
      a.href = URL.createObjectURL(blob);
      a.click();
      setTimeout(() => URL.revokeObjectURL(a.href), 10000);
    }, 'image/png');
  };

  connect();
})();
