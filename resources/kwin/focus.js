// Reports KWin's windows and its active window to Nudgewatch over D-Bus.
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
(workspace.windowActivated || workspace.clientActivated).connect(w => report("Activated", w));
report("Activated",
       workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient);
