// The presence sources the program would pick for this session, built through
// the same factories (its session's and the shared ones), with the no-input
// threshold given in milliseconds. Prints
// the sources line, then one line per change:
//   <source>: <condition> on|off <ms since it began>
#include "platform/PresenceSources.h"
#include "platform/SessionTable.h"
#include "platform/freedesktop/DesktopEntryRegistry.h"
#include "platform/qt/SystemClock.h"

#include <QCoreApplication>

#include <cstdio>

using namespace nudgewatch;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    PresenceSetup setup = PresenceSetup::fromEnvironment(environment);
    if (argc > 1)
        setup.noInputAfter = std::chrono::milliseconds(QByteArray(argv[1]).toLongLong());
    SystemClock clock;
    const SessionFacts facts = SessionFacts::fromEnvironment(environment, QStringLiteral("xcb"));
    const DesktopEntryRegistry entries;
    const auto session = sessionWingFor(facts).open(facts, entries);
    const auto sources = createPresenceSources(*session, facts, setup, clock);
    QStringList names;
    for (const auto &source : sources)
        names.append(source->name());
    std::printf("presence sources: %s\n", qPrintable(names.join(", ")));
    std::fflush(stdout);
    for (const auto &source : sources) {
        QObject::connect(
            source.get(), &PresenceSource::conditionChanged, &app,
            [&clock, name = source->name()](PresenceCondition condition, bool active,
                                            WallTime since) {
                const auto ago =
                    std::chrono::duration_cast<std::chrono::milliseconds>(clock.now() - since);
                std::printf("%s: %s %s %lld\n", qPrintable(name),
                            presenceConditionName(condition).data(), active ? "on" : "off",
                            static_cast<long long>(ago.count()));
                std::fflush(stdout);
            });
    }
    return app.exec();
}
