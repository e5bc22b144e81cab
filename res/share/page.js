'use strict';
// Shows the teacher's board: the first message is the whole board, each
// later one a changed part, each a PNG placed at its position unscaled.
(function () {
  const canvas = document.getElementById('board');
  const ctx = canvas.getContext('2d', { alpha: false });
  const note = document.getElementById('note');
  const base = location.pathname.replace(/[^/]*$/, '');
  const STOPPED = 4000;
  // Pictures decode asynchronously; the chain keeps them in arrival order.
  let chain = Promise.resolve();
  window.boardFrames = 0;
  window.boardState = 'connecting';

  function say(text) {
    note.textContent = text;
    note.hidden = !text;
  }

  function place(data) {
    if (!(data instanceof ArrayBuffer) || data.byteLength < 9) return;
    const v = new DataView(data);
    const w = v.getUint16(1, true), h = v.getUint16(3, true);
    const x = v.getUint16(5, true), y = v.getUint16(7, true);
    const png = new Blob([data.slice(9)], { type: 'image/png' });
    chain = chain
      .then(() => createImageBitmap(png, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' }))
      .then((bitmap) => {
        if (canvas.width !== w || canvas.height !== h) {
          canvas.width = w;
          canvas.height = h;
        }
        ctx.drawImage(bitmap, x, y);
        bitmap.close();
        window.boardFrames++;
      })
      .catch(() => {});
  }

  function connect() {
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    const ws = new WebSocket(scheme + location.host + base + 'ws');
    ws.binaryType = 'arraybuffer';
    ws.onopen = () => {
      window.boardState = 'live';
      say('');
    };
    ws.onmessage = (e) => place(e.data);
    ws.onclose = (e) => {
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
