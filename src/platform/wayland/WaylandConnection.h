#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <memory>
#include <vector>

struct wl_callback;
struct wl_display;
struct wl_interface;
struct wl_registry;

namespace nudgewatch {

// The program's own connection to the Wayland compositor, whatever platform Qt
// runs on (its windows go through Xwayland). Keeps the compositor's list of
// globals so protocol clients can bind what they need, and dispatches events
// as they arrive (QSocketNotifier, no polling). Owns the display and registry.
// After each batch of events it asks the compositor for a round trip: a
// compositor that has given up on the connection without closing it (as one
// does when an event outgrows its buffer) closes it on reading that request,
// so the loss shows at once instead of as silence.
class WaylandConnection final : public QObject {
    Q_OBJECT
public:
    struct Global {
        uint32_t name = 0;
        QByteArray interface;
        uint32_t version = 0;
    };

    // Connects to WAYLAND_DISPLAY and reads the globals; null when there is no
    // compositor to connect to.
    static std::unique_ptr<WaylandConnection> open(QObject *parent = nullptr);
    ~WaylandConnection() override;

    wl_display *display() const { return m_display; }
    const std::vector<Global> &globals() const { return m_globals; }
    // Binds the global of that interface at the lower of the compositor's
    // version and `maxVersion`; null when the compositor does not offer it.
    void *bind(const wl_interface &interface, uint32_t maxVersion) const;
    // The same for one of the globals listed (of which there may be several).
    void *bind(const Global &global, const wl_interface &interface, uint32_t maxVersion) const;
    // Sends what is queued and waits until the compositor has answered it;
    // false once the connection is broken.
    bool roundtrip();
    // Sends the requests made since the last dispatch.
    void flush();
    bool isLost() const { return m_lost; }
    // Why the connection broke, in a few words; empty while it holds.
    QString lossReason() const;

signals:
    // After each batch of events read and dispatched: the time to look at
    // their combined outcome.
    void dispatched();
    // The compositor went away or ended the connection for an error. Emitted
    // once; no events follow.
    void connectionLost();

private:
    explicit WaylandConnection(wl_display *display, QObject *parent);
    static void onGlobal(void *data, wl_registry *registry, uint32_t name, const char *interface,
                         uint32_t version);
    static void onGlobalRemove(void *data, wl_registry *registry, uint32_t name);
    void readEvents();
    void confirm();
    void lose();

    wl_display *m_display;
    wl_registry *m_registry = nullptr;
    std::vector<Global> m_globals;
    std::unique_ptr<QSocketNotifier> m_reader;
    std::unique_ptr<QSocketNotifier> m_writer; // only while the socket is full
    // The sync request out after a batch of events, if any.
    wl_callback *m_confirmation = nullptr;
    int m_confirmed = 0; // events of the batch that answered it

    bool m_lost = false;
};

} // namespace nudgewatch
