// Latency from a focus change in sway to the frontmost tracker's activation,
// through the program's own Wayland connection and foreign-toplevel management.
// Needs a running sway (scripts/sway-session -- this benchmark). Two foot
// windows are opened and focus is moved between them over sway's IPC socket;
// each sample runs from just before the IPC request is written, so it holds
// sway's own handling of the request too.

#include "platform/DesktopPlatform.h"
#include "platform_bench_util.h"

#include <QGuiApplication>
#include <QProcess>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace nudgewatch;
using namespace nudgewatch::bench;

namespace {

// sway's IPC: "i3-ipc", payload length, message type (0: run a command), payload.
bool sendCommand(int socket, const QByteArray &command)
{
    QByteArray message("i3-ipc");
    const uint32_t header[] = {uint32_t(command.size()), 0};
    message.append(reinterpret_cast<const char *>(header), sizeof header).append(command);
    return write(socket, message.constData(), size_t(message.size())) == message.size();
}

bool readReply(int socket)
{
    char header[14];
    if (recv(socket, header, sizeof header, MSG_WAITALL) != sizeof header)
        return false;
    uint32_t length = 0;
    std::memcpy(&length, header + 6, sizeof length);
    QByteArray payload(qsizetype(length), '\0');
    return recv(socket, payload.data(), length, MSG_WAITALL) == ssize_t(length) &&
           payload.contains("\"success\": true");
}

int connectToSway()
{
    const QByteArray path = qgetenv("SWAYSOCK");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_SESSION_TYPE", "wayland");
    QGuiApplication app(argc, argv);
    const int sway = connectToSway();
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || sway < 0) {
        std::fprintf(stderr, "needs a running sway: scripts/sway-session -- %s\n", argv[0]);
        return 2;
    }
    const QString ids[] = {QStringLiteral("nudgewatch-bench-a"),
                           QStringLiteral("nudgewatch-bench-b")};
    std::vector<std::unique_ptr<QProcess>> windows;
    for (const QString &id : ids) {
        windows.push_back(std::make_unique<QProcess>());
        windows.back()->start(
            QStringLiteral("foot"),
            {QStringLiteral("--app-id=") + id, QStringLiteral("sleep"), QStringLiteral("600")});
    }
    const auto desktop = DesktopPlatform::create();
    std::optional<QString> seen;
    QObject::connect(
        &desktop->tracker(), &FrontmostApplicationTracker::activated,
        [&](const RunningApplication &application) { seen = application.localizedName; });
    // Focuses window `i` and waits for its activation: the time taken, or none.
    const auto focus = [&](int i, std::chrono::milliseconds patience) -> std::optional<double> {
        seen.reset();
        const auto start = Stopwatch::now();
        if (!sendCommand(sway, "[app_id=^" + ids[i].toUtf8() + "$] focus"))
            return std::nullopt;
        while (seen != ids[i] && Stopwatch::now() < start + patience)
            app.processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double elapsed = microsecondsSince(start) / 1000;
        const bool answered = readReply(sway); // read in any case: the next reply is the next's
        return answered && seen == ids[i] ? std::optional(elapsed) : std::nullopt;
    };
    // The windows take a moment to open; until both are there, a switch fails.
    int next = 0;
    const auto opening = Stopwatch::now() + std::chrono::seconds(20);
    for (int streak = 0; streak < 2 && Stopwatch::now() < opening; next ^= 1)
        streak = focus(next, std::chrono::milliseconds(300)) ? streak + 1 : 0;

    constexpr int rounds = 200;
    std::vector<double> samples;
    int missed = 0;
    for (int i = 0; i < rounds; ++i, next ^= 1) {
        if (const auto elapsed = focus(next, std::chrono::seconds(5)))
            samples.push_back(*elapsed);
        else
            ++missed;
    }
    for (const auto &window : windows) {
        window->terminate();
        window->waitForFinished(3000);
    }
    close(sway);
    if (samples.empty()) {
        std::fprintf(stderr, "no activation seen (is foot installed?)\n");
        return 1;
    }
    std::printf("sway focus request -> tracker activated, %zu switches between two foot windows "
                "(%d missed):\n  median %.2f ms   p90 %.2f ms   range %.2f-%.2f ms\n",
                samples.size(), missed, percentile(samples, 0.5), percentile(samples, 0.9),
                percentile(samples, 0), percentile(samples, 1));
    return missed ? 1 : 0;
}
