// Brings one window to the front, found by KWin's id for it; run once, then unloaded.
const id = "@WINDOW@";
const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (let i = 0; i < windows.length; ++i) {
    const w = windows[i];
    if (String(w.internalId) !== id)
        continue;
    if (w.minimized)
        w.minimized = false;
    if (workspace.activeWindow !== undefined)
        workspace.activeWindow = w;
    else
        workspace.activeClient = w;
    break;
}
