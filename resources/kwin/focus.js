// Reports KWin's windows, its active window, whether that one is fullscreen
// and the output it is on to Nudgewatch over D-Bus.
// KWin 6 says "window" where 5.27 says "client"; this script speaks to both.
const service = "@SERVICE@";
const path = "/org/nudgewatch/KWinFocus";
const iface = "org.nudgewatch.KWinFocus";

function text(value) {
    return value === undefined || value === null ? "" : String(value);
}

// Every value goes as a string, so the receiver sees one fixed signature.
function report(method, w) {
    if (!w) {
        callDBus(service, path, iface, method, "", "", "", "", "0");
        return;
    }
    callDBus(service, path, iface, method, text(w.internalId), text(w.desktopFileName),
             text(w.resourceClass), text(w.resourceName), String(w.pid > 0 ? w.pid : 0));
}

const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (let i = 0; i < windows.length; ++i)
    report("Added", windows[i]);
(workspace.windowAdded || workspace.clientAdded).connect(w => report("Added", w));
(workspace.windowRemoved || workspace.clientRemoved)
    .connect(w => callDBus(service, path, iface, "Removed", text(w && w.internalId)));
// Whether the active window is fullscreen, as "1" or "0", whenever that may change.
let watched = null;
function reportFullscreen() {
    const w = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
    callDBus(service, path, iface, "Fullscreen", w && w.fullScreen ? "1" : "0");
}
function reportOutput() {
    const w = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
    callDBus(service, path, iface, "Output", text(w && w.output && w.output.name));
}
function follow(w) {
    if (watched && watched.fullScreenChanged)
        watched.fullScreenChanged.disconnect(reportFullscreen);
    if (watched && watched.outputChanged)
        watched.outputChanged.disconnect(reportOutput);
    watched = w;
    if (w && w.fullScreenChanged)
        w.fullScreenChanged.connect(reportFullscreen);
    if (w && w.outputChanged)
        w.outputChanged.connect(reportOutput);
    reportFullscreen();
    reportOutput();
}
(workspace.windowActivated || workspace.clientActivated).connect(w => {
    report("Activated", w);
    follow(w);
});
const active = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
report("Activated", active);
follow(active);
