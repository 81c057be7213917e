// The station's status page: reads /api/status, /api/schedule, /api/log and /api/asrun, follows
// /api/events and sends the transport commands. No framework: the page must load from the
// station alone, on a phone as well as on a desktop.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const STATE_TEXT = { playing: '播放', paused: '暂停', stopped: '停止' };
  const LOG_LINES = 100;
  const METER_FLOOR_DB = -60;
  const PEAK_FALL_DB_PER_S = 20;
  const QUIET_LIMIT_MS = 5000;    // levels come ten times a second; silence this long is a lost link
  const SCHEDULE_REFRESH_MS = 30000;
  const RETRY_FIRST_MS = 1000;
  const RETRY_MAX_MS = 10000;

  let csrf = '';
  let status = null;
  let statusAt = 0;               // performance.now() when `status` arrived
  let lastSeq = 0;
  let events = null;
  let retryMs = RETRY_FIRST_MS;
  let retryTimer = 0;
  let lastMessageAt = 0;
  let scheduleKey = '';
  let scheduleAt = 0;
  const meters = { left: meterOf('left'), right: meterOf('right') };

  // ---- talking to the station -------------------------------------------------------------

  class LoginNeeded extends Error {}

  async function request(path, options = {}) {
    const answer = await fetch(path, { credentials: 'same-origin', cache: 'no-store', ...options });
    if (answer.status === 401) {
      location.assign('/login');
      throw new LoginNeeded();
    }
    return answer;
  }

  async function getJson(path) {
    const answer = await request(path);
    if (!answer.ok) throw new Error(path + ': HTTP ' + answer.status);
    return answer.json();
  }

  function post(path) {
    return request(path, { method: 'POST', headers: { 'X-CSRF-Token': csrf } });
  }

  // A command answers 204 once queued; a 403 means the token is stale (a new session), so the
  // page fetches the current one and tries once more.
  async function command(path) {
    try {
      let answer = await post(path);
      if (answer.status === 403) {
        applyStatus(await getJson('/api/status'));
        answer = await post(path);
      }
      if (answer.status === 404) notify('没有这一行');
      else if (!answer.ok) notify('命令没有执行（HTTP ' + answer.status + '）');
      else notify('');
      scheduleAt = 0;
    } catch (error) {
      if (!(error instanceof LoginNeeded)) notify('连接中断，命令没有送到电台');
    }
  }

  // ---- the connection and its state -------------------------------------------------------

  function setLink(state) {
    const link = $('link');
    link.dataset.state = state;
    link.textContent = { online: '已连接', connecting: '连接中…', offline: '连接中断，正在重试…' }[state];
    document.body.classList.toggle('offline', state === 'offline');
  }

  async function connect() {
    clearTimeout(retryTimer);
    retryTimer = 0;
    if (events) return;
    try {
      applyStatus(await getJson('/api/status'));
      await Promise.all([loadLog(), loadSchedule(), loadAsrun()]);
      openEvents(lastSeq);
      retryMs = RETRY_FIRST_MS;
    } catch (error) {
      if (!(error instanceof LoginNeeded)) lost();
    }
  }

  // The stream tells the lines logged after it opened; those logged since `loadedSeq` and
  // before it opened are fetched once it is open.
  function openEvents(loadedSeq) {
    events = new EventSource('/api/events');
    lastMessageAt = performance.now();
    const on = (name, handle) => events.addEventListener(name, (e) => {
      lastMessageAt = performance.now();
      handle(JSON.parse(e.data));
    });
    on('levels', showLevels);
    on('status', applyStatus);
    on('log', (line) => addLog([line]));
    events.onopen = () => {
      lastMessageAt = performance.now();
      setLink('online');
      loadLog(loadedSeq).catch(() => {});
    };
    events.onerror = lost;
  }

  // The browser's own reconnect of an event stream cannot tell a lost session from a lost
  // network, so the page closes it and starts over from /api/status (which answers 401).
  function lost() {
    if (events) {
      events.close();
      events = null;
    }
    setLink('offline');
    if (!retryTimer) {
      retryTimer = setTimeout(connect, retryMs);
      retryMs = Math.min(retryMs * 2, RETRY_MAX_MS);
    }
  }

  // ---- the item on air --------------------------------------------------------------------

  function applyStatus(s) {
    if (s.csrf) csrf = s.csrf;
    status = s;
    statusAt = performance.now();
    $('station').textContent = s.station || 'Pelvano';
    document.title = (s.station || 'Pelvano') + ' · ' + (s.item ? s.item.title || s.item.name : '播出：无');
    const state = $('state');
    state.dataset.state = s.state;
    state.textContent = STATE_TEXT[s.state] || s.state;
    for (const [id, pressed] of [['play', 'playing'], ['pause', 'paused'], ['stop', 'stopped']]) {
      $(id).setAttribute('aria-pressed', String(s.state === pressed));
    }
    $('schedule').textContent = s.schedule || '';
    $('row').textContent = s.item ? '序号 ' + s.item.row : '';
    $('title').textContent = s.item ? s.item.title || s.item.name : '播出：无';
    $('artist').textContent = s.item ? s.item.artist : '';
    $('length').textContent = s.item ? formatMinSec(s.item.length_s) : '';
    const hold = $('hold');
    hold.hidden = !s.hold;
    hold.textContent = s.hold ? '自动播出已暂停（' + s.hold + '）' : '';
    showDevices(s);
    if (s.levels) showLevels(s.levels);
    const key = (s.schedule || '') + '|' + (s.item ? s.item.row : 0);
    // An item that ended wrote its as-run line: today's file may be new, or a new day began.
    if (key !== scheduleKey && events) {
      loadSchedule().catch(() => {});
      loadAsrun().catch(() => {});
    }
    scheduleKey = key;
    tick();
  }

  function showDevices(s) {
    const device = $('device');
    const deviceOk = !s.device || s.device.ok;
    device.dataset.ok = String(deviceOk);
    device.textContent = deviceOk ? (s.device && s.device.name) || 'default' : '没有检查到播出设备！';
    const stream = $('stream');
    const st = s.stream || {};
    stream.dataset.ok = !st.enabled ? 'off' : String(Boolean(st.connected));
    let text = !st.enabled ? '未启用' : st.connected ? '已连接' : '未连接';
    if (st.enabled && st.text) text += '（' + st.text + '）';
    stream.textContent = text;
  }

  // Between two status messages the item's time runs on here, from the page's own clock.
  function tick() {
    const now = performance.now();
    if (events && now - lastMessageAt > QUIET_LIMIT_MS) lost();
    if (!status) return;
    const ran = status.state === 'playing' ? (now - statusAt) / 1000 : 0;
    const item = status.item;
    if (item) {
      const elapsed = Math.min(item.elapsed_s + ran, item.length_s || Infinity);
      const remaining = Math.max(item.remaining_s - ran, 0);
      $('elapsed').textContent = formatMinSec(elapsed);
      $('remaining').textContent = '-' + formatMinSec(remaining);
      const share = item.length_s > 0 ? Math.min(100, (elapsed / item.length_s) * 100) : 0;
      $('progress-fill').style.width = share.toFixed(2) + '%';
      $('progress-fill').parentElement.setAttribute('aria-valuenow', share.toFixed(0));
    } else {
      $('elapsed').textContent = '00:00';
      $('remaining').textContent = '-00:00';
      $('progress-fill').style.width = '0';
    }
    $('clock').textContent = clockText(status.time, (now - statusAt) / 1000);
    if (events && now - scheduleAt > SCHEDULE_REFRESH_MS) {
      scheduleAt = now;
      loadSchedule().catch(() => {});
    }
  }

  function clockText(time, ranS) {
    const m = /(\d+):(\d+):(\d+)$/.exec(time || '');
    if (!m) return '--:--:--';
    const s = (+m[1] * 3600 + +m[2] * 60 + +m[3] + Math.floor(ranS)) % 86400;
    return [s / 3600, (s / 60) % 60, s % 60].map((v) => String(Math.floor(v)).padStart(2, '0')).join(':');
  }

  function formatMinSec(seconds) {
    const s = Math.max(0, Math.floor(seconds || 0));
    return String(Math.floor(s / 60)).padStart(2, '0') + ':' + String(s % 60).padStart(2, '0');
  }

  // ---- level meters -----------------------------------------------------------------------

  function meterOf(side) {
    return { cover: $('meter-' + side), peak: $('peak-' + side), db: $('db-' + side), held: -120, at: 0 };
  }

  function showLevels(levels) {
    const now = performance.now();
    for (const side of ['left', 'right']) {
      const m = meters[side];
      const db = Number.isFinite(levels[side]) ? levels[side] : -120;
      const fallen = m.held - ((now - m.at) / 1000) * PEAK_FALL_DB_PER_S;
      m.held = Math.max(db, fallen);
      m.at = now;
      m.cover.style.width = (100 - meterShare(db)).toFixed(1) + '%';
      m.peak.style.left = 'calc(' + meterShare(m.held).toFixed(1) + '% - 2px)';
      m.db.textContent = db <= -120 ? '-∞' : db.toFixed(0);
    }
  }

  function meterShare(db) {
    return Math.max(0, Math.min(1, (db - METER_FLOOR_DB) / -METER_FLOOR_DB)) * 100;
  }

  // ---- the play-process log ---------------------------------------------------------------

  // The lines after `since`; a station that started again counts from the beginning, so its
  // lines replace the old ones.
  async function loadLog(since = lastSeq) {
    let answer = await getJson('/api/log?since=' + since);
    if (answer.last < since) {
      $('log').replaceChildren();
      lastSeq = 0;
      answer = await getJson('/api/log?since=0');
    }
    addLog(answer.lines);
  }

  // Lines usually come in order; one fetched to fill a gap goes in its place.
  function addLog(lines) {
    const list = $('log');
    const atBottom = list.scrollTop + list.clientHeight >= list.scrollHeight - 4;
    for (const line of lines) {
      let before = list.lastElementChild;
      while (before && Number(before.dataset.seq) > line.seq) before = before.previousElementSibling;
      if (before && Number(before.dataset.seq) === line.seq) continue;
      const li = document.createElement('li');
      li.dataset.seq = line.seq;
      li.textContent = line.text;
      if (before) before.after(li);
      else list.prepend(li);
      lastSeq = Math.max(lastSeq, line.seq);
    }
    while (list.children.length > LOG_LINES) list.firstElementChild.remove();
    if (atBottom) list.scrollTop = list.scrollHeight;
  }

  // ---- the schedule's next rows -----------------------------------------------------------

  async function loadSchedule() {
    scheduleAt = performance.now();
    const answer = await getJson('/api/schedule');
    const body = $('next-rows');
    body.replaceChildren(...(answer.next || []).map(scheduleRow));
    if (!body.children.length) {
      const tr = body.insertRow();
      const td = tr.insertCell();
      td.colSpan = 5;
      td.className = 'empty';
      td.textContent = '—';
    }
  }

  function scheduleRow(r) {
    const tr = document.createElement('tr');
    tr.dataset.row = r.row;
    const cell = (text, className) => {
      const td = tr.insertCell();
      td.textContent = text;
      if (className) td.className = className;
      return td;
    };
    cell(r.estimated_start || '', 'at');
    if (r.timed) tr.classList.add('timed');
    if (r.on_air) tr.classList.add('on-air');
    cell(r.row, 'no');
    cell(r.name, 'name').title = r.file || '';
    cell(formatMinSec(r.length_s), 'len');
    const go = document.createElement('button');
    go.type = 'button';
    go.className = 'start';
    go.textContent = '▶';
    go.title = '播放';
    go.setAttribute('aria-label', '播放 ' + r.row);
    go.addEventListener('click', () => command('/api/rows/' + r.row + '/start'));
    cell('', 'go').append(go);
    return tr;
  }

  // ---- as-run files -----------------------------------------------------------------------

  async function loadAsrun() {
    const answer = await getJson('/api/asrun');
    $('asrun-days').replaceChildren(...(answer.days || []).map((day) => {
      const li = document.createElement('li');
      const a = document.createElement('a');
      a.href = '/api/asrun/' + day + '.csv';
      a.download = day + '.asrun.csv';
      a.textContent = day;
      li.append(a);
      return li;
    }));
  }

  // ---- start ------------------------------------------------------------------------------

  let noticeTimer = 0;
  function notify(text) {
    const notice = $('notice');
    notice.textContent = text;
    notice.hidden = !text;
    clearTimeout(noticeTimer);
    if (text) noticeTimer = setTimeout(() => { notice.hidden = true; }, 6000);
  }

  $('play').addEventListener('click', () => command('/api/play'));
  $('pause').addEventListener('click', () => command('/api/pause'));
  $('stop').addEventListener('click', () => command('/api/stop'));
  $('next').addEventListener('click', () => command('/api/next'));
  // A phone suspends a page in the background; back in front it should not wait for a retry.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'visible' && !events) connect();
  });
  setInterval(tick, 250);
  setLink('connecting');
  connect();
})();
