// SPDX-License-Identifier: GPL-3.0-or-later
// The remote-control page: shows what the amplifier's store holds, as the server's events tell it, and
// sends every move of a slider as a preset of one value. A control held by a finger stays under it and
// shows the store again when let go; a control moved by keys shows the store when its change arrives.
"use strict";

const texts = {
  connected: { en: "connected", zh: "已连接" },
  offline: { en: "not connected", zh: "未连接" },
  load: { en: "Load M", zh: "载入 M" },
  save: { en: "Save M", zh: "存储 M" },
  levels: { en: ["Mic 1", "Mic 2", "Music 1", "Music 2"], zh: ["话筒1", "话筒2", "音乐1", "音乐2"] },
  band: { en: "band", zh: "段" },
};

let language = (navigator.language || "en").toLowerCase().startsWith("zh") ? "zh" : "en";
let state = null;
let socket = null;
const rows = new Map();
const held = new Set();

function $(id) { return document.getElementById(id); }

function say(text) { $("message").textContent = text || ""; }

function title(param) {
  const base = param.title[language];
  return param.index === undefined ? base : base + " " + (param.group === "graphiceq" ? texts.band[language] + " " : "") + (param.index + 1);
}

function showValue(name) {
  const row = rows.get(name);
  if (!row) return;
  drawGraph(name.split(".")[0]);
  if (held.has(name)) return;
  row.input.value = row.param.raw;
  row.output.textContent = row.param.shown[language];
}

// A graphic EQ as ten bars drawn from the store; a finger on the graph sets the band under it.
const graphs = new Map();

function bandsOf(bank) {
  return state.parameters.filter((p) => p.name.startsWith(bank + ".") && rows.has(p.name));
}

function drawGraph(bank) {
  const canvas = graphs.get(bank);
  if (!canvas) return;
  const context = canvas.getContext("2d");
  const bands = bandsOf(bank);
  const width = canvas.width / bands.length;
  context.fillStyle = "#111";
  context.fillRect(0, 0, canvas.width, canvas.height);
  context.strokeStyle = "#555";
  context.beginPath();
  context.moveTo(0, canvas.height / 2);
  context.lineTo(canvas.width, canvas.height / 2);
  context.stroke();
  bands.forEach((band, i) => {
    const share = (band.raw - band.min) / (band.max - band.min);
    const y = canvas.height * (1 - share);
    context.fillStyle = "#6ac";
    context.fillRect(i * width + 3, Math.min(y, canvas.height / 2), width - 6, Math.abs(canvas.height / 2 - y) + 2);
  });
}

function addGraph(set, bank) {
  const canvas = document.createElement("canvas");
  canvas.className = "graph";
  canvas.id = "graph-" + bank;
  canvas.width = 400;
  canvas.height = 160;
  graphs.set(bank, canvas);
  const touch = (event) => {
    const box = canvas.getBoundingClientRect();
    const bands = bandsOf(bank);
    const index = Math.min(bands.length - 1, Math.max(0, Math.floor(((event.clientX - box.left) / box.width) * bands.length)));
    const band = bands[index];
    const share = 1 - Math.min(1, Math.max(0, (event.clientY - box.top) / box.height));
    const raw = Math.round(band.min + share * (band.max - band.min));
    if (raw !== band.raw) send(band.name, raw);
  };
  canvas.addEventListener("pointerdown", (event) => { canvas.setPointerCapture(event.pointerId); touch(event); });
  canvas.addEventListener("pointermove", (event) => { if (event.buttons) touch(event); });
  set.append(canvas);
}

function build() {
  const groups = $("groups");
  groups.textContent = "";
  rows.clear();
  graphs.clear();
  const byGroup = new Map();
  for (const param of state.parameters) {
    if (!param.writable) continue;
    if (!byGroup.has(param.group)) byGroup.set(param.group, []);
    byGroup.get(param.group).push(param);
  }
  // The server names the groups, in the order they are shown, and their titles.
  for (const group of state.groups) {
    const params = byGroup.get(group.name);
    if (!params) continue;
    const set = document.createElement("fieldset");
    const legend = document.createElement("legend");
    legend.textContent = group.title[language];
    set.append(legend);
    if (group.name === "graphiceq") {
      [...new Set(params.map((p) => p.name.split(".")[0]))].forEach((bank) => addGraph(set, bank));
    }
    for (const param of params) {
      const row = document.createElement("div");
      row.className = "row";
      const id = "p-" + param.name.replace(".", "-");
      const label = document.createElement("label");
      label.htmlFor = id;
      label.textContent = title(param);
      const input = document.createElement("input");
      input.type = "range";
      input.id = id;
      input.dataset.name = param.name;
      input.min = param.min;
      input.max = param.max;
      input.step = 1;
      const output = document.createElement("output");
      output.htmlFor = id;
      input.addEventListener("pointerdown", () => held.add(param.name));
      const release = () => { held.delete(param.name); showValue(param.name); };
      input.addEventListener("pointerup", release);
      input.addEventListener("pointercancel", release);
      input.addEventListener("input", () => send(param.name, Number(input.value)));
      row.append(label, input, output);
      set.append(row);
      rows.set(param.name, { param, input, output });
    }
    groups.append(set);
  }
  rows.forEach((row, name) => showValue(name));
  buildModes();
  buildMeters();
}

function buildModes() {
  const modes = $("modes");
  modes.textContent = "";
  for (let mode = 1; mode <= 4; ++mode) {
    if (state.loadMode) modes.append(modeButton(mode, "load"));
  }
  for (let mode = 1; mode <= 4; ++mode) {
    if (state.saveMode) modes.append(modeButton(mode, "save"));
  }
}

function modeButton(mode, action) {
  const button = document.createElement("button");
  button.type = "button";
  button.id = action + "-" + mode;
  button.textContent = texts[action][language] + mode;
  if (action === "load" && state.mode === mode) button.className = "current";
  button.addEventListener("click", async () => {
    const reply = await fetch("/api/v1/modes/" + mode + "/" + action, { method: "POST" });
    const body = await reply.json();
    say(reply.ok ? "" : body.error);
  });
  return button;
}

function buildMeters() {
  const meters = $("meters");
  meters.textContent = "";
  texts.levels[language].forEach((name, i) => {
    const meter = document.createElement("div");
    meter.className = "meter";
    meter.innerHTML = "<div></div><span></span>";
    meter.querySelector("span").textContent = name;
    meter.id = "meter-" + i;
    meters.append(meter);
  });
}

function send(name, raw) {
  if (socket && socket.readyState === WebSocket.OPEN) {
    socket.send(JSON.stringify({ [name]: { raw } }));
  }
}

function showStatus() {
  const status = $("status");
  const on = state && state.connected && socket && socket.readyState === WebSocket.OPEN;
  status.textContent = texts[on ? "connected" : "offline"][language];
  status.className = on ? "status" : "status off";
}

function received(event) {
  const message = JSON.parse(event.data);
  if (message.type === "state") {
    state = message.state;
    build();
  } else if (message.type === "changes" && state) {
    for (const change of message.parameters) {
      const row = rows.get(change.name);
      const param = row ? row.param : state.parameters.find((p) => p.name === change.name);
      if (!param) continue;
      param.raw = change.raw;
      param.shown = change.shown;
      showValue(change.name);
    }
    if (message.mode !== state.mode) {
      state.mode = message.mode;
      buildModes();
    }
  } else if (message.type === "levels") {
    message.levels.forEach((level, i) => {
      const bar = document.querySelector("#meter-" + i + " div");
      if (bar) bar.style.height = Math.min(100, (level * 100) / 255) + "%";
    });
  } else if (message.type === "result") {
    // A refused edit leaves the store as it was: every control shows it again.
    if (message.status !== 200) rows.forEach((row, name) => showValue(name));
    say(message.status === 200 ? "" : message.body.error + (message.body.problems ? ": " + message.body.problems.join("; ") : ""));
  }
  showStatus();
}

function connect() {
  socket = new WebSocket((location.protocol === "https:" ? "wss://" : "ws://") + location.host + "/api/v1/events");
  socket.addEventListener("message", received);
  socket.addEventListener("close", () => { showStatus(); setTimeout(connect, 2000); });
  socket.addEventListener("open", showStatus);
}

function showLanguage() {
  $("language").textContent = language === "en" ? "中文" : "English";
  document.documentElement.lang = language;
  document.querySelectorAll("[data-en]").forEach((e) => { e.textContent = e.dataset[language]; });
  if (state) build();
  showStatus();
}

$("language").addEventListener("click", () => {
  language = language === "en" ? "zh" : "en";
  showLanguage();
});
showLanguage();
connect();
