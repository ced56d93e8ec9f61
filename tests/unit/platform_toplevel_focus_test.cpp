// The front window of a wlroots compositor over recorded foreign-toplevel
// event sequences, announced through the activation filter as the tracker does.

#include "platform/ActivationFilter.h"
#include "platform/freedesktop/DesktopEntryIndex.h"
#include "platform/wlroots/ForeignToplevelTracker.h"
#include "platform/wlroots/ToplevelFocus.h"

#include <QtTest>

using namespace nudgewatch;

namespace {

// Events "HANDLE VERB ARGS" separated by ';' ("1 new", "1 id foot", "1 state 2",
// "1 done", "1 closed"), and "|" where a batch of dispatched events ends: there
// the front application is decided. Returns the app ids announced ("?" for a
// window without a usable one, "none" for an application without a name, which
// no tracked entry could follow; nothing in front is announced as "?" too) and,
// last, the app id in front ("-" for none).
QStringList run(const QByteArray &script)
{
    const DesktopEntryIndex noEntries;
    ToplevelFocus focus;
    ActivationFilter filter;
    QStringList announced;
    const auto frontId = [&] {
        const auto front = focus.front();
        return front ? std::optional(focus.appId(*front)) : std::nullopt;
    };
    for (const QByteArray &event : script.split(';')) {
        const QList<QByteArray> words = event.trimmed().split(' ');
        if (words[0] == "|") {
            const auto id = frontId();
            const auto application =
                id ? std::optional(toplevelApplication(noEntries, *id)) : std::nullopt;
            if (const auto changed =
                    filter.observe(application ? application : unknownApplication())) {
                const std::optional<QString> &name = changed->localizedName;
                announced << (!name ? "none" : name->isEmpty() ? "?" : *name);
            }
            continue;
        }
        const ToplevelFocus::Handle handle = words[0].toUInt();
        if (words[1] == "new")
            focus.add(handle);
        else if (words[1] == "id")
            focus.setAppId(handle, event.trimmed().mid(words[0].size() + 4));
        else if (words[1] == "done")
            focus.done(handle);
        else if (words[1] == "closed")
            focus.close(handle);
        else if (words[1] == "state") {
            std::vector<uint32_t> states;
            for (const QByteArray &word : words.mid(2))
                states.push_back(word.toUInt());
            focus.setStates(handle, states);
        }
    }
    return announced << frontId().value_or(QStringLiteral("-"));
}

// foot (1) in front of xterm (2), both known to the compositor.
const QByteArray footInFront = "1 new; 1 id foot; 1 state 2; 1 done; 2 new; 2 id XTerm; "
                               "2 state; 2 done; |;";

} // namespace

class ToplevelFocusTest : public QObject {
    Q_OBJECT
private slots:
    void frontApplication_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("expected"); // announced, then the one in front
        const QStringList footThenXterm{"foot", "XTerm", "XTerm"};
        QTest::newRow("sway: old emptied, new activated, then each done, one batch")
            << footInFront + "1 state; 2 state 2; 1 done; 2 done; |" << footThenXterm;
        QTest::newRow("new activated a batch before the old one lets go")
            << footInFront + "2 state 2; 2 done; |; 1 state; 1 done; |" << footThenXterm;
        QTest::newRow("old lets go a batch before: nothing in front between")
            << footInFront + "1 state; 1 done; |; 2 state 2; 2 done; |"
            << QStringList{"foot", "?", "XTerm", "XTerm"};
        QTest::newRow("every window minimised")
            << footInFront + "1 state 1; 1 done; |" << QStringList{"foot", "?", "-"};
        QTest::newRow("back to the same application after nothing")
            << footInFront + "1 state; 1 done; |; 1 state 2; 1 done; |"
            << QStringList{"foot", "?", "foot", "foot"};
        QTest::newRow("done repeated without a change")
            << footInFront + "1 done; |; 1 done; 2 done; |; 1 done; |"
            << QStringList{"foot", "foot"};
        QTest::newRow("a change counts only at its done")
            << footInFront + "1 state; 2 state 2; |" << QStringList{"foot", "foot"};
        QTest::newRow("closed while in front")
            << footInFront + "1 closed; |" << QStringList{"foot", "?", "-"};
        QTest::newRow("closed while the other is still activated")
            << footInFront + "2 state 2; 2 done; |; 2 closed; |"
            << QStringList{"foot", "XTerm", "foot", "foot"};
        QTest::newRow("between two windows of one application")
            << footInFront + "3 new; 3 id foot; 3 state 0 2; 3 done; 1 state; 1 done; |"
            << QStringList{"foot", "foot"};
        QTest::newRow("the app id changes") << footInFront + "1 id footclient; |; 1 done; |"
                                            << QStringList{"foot", "footclient", "footclient"};
        QTest::newRow("states past the sixteenth are not read")
            << QByteArray("1 new; 1 id foot; 1 state 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 2; 1 done; |")
            << QStringList{"?", "-"};
        QTest::newRow("events for a handle never announced")
            << QByteArray("7 id foot; 7 state 2; 7 done; |") << QStringList{"?", "-"};
        QTest::newRow("longest app id")
            << QByteArray("1 new; 1 id ") + QByteArray(255, 'x') + "; 1 state 2; 1 done; |"
            << QStringList{QString(255, 'x'), QString(255, 'x')};
        for (const auto &[name, id] :
             {std::pair{"overlong app id", QByteArray(256, 'x')},
              std::pair{"app id not UTF-8", QByteArray("fo\xc3\x28t")},
              std::pair{"app id with a control character", QByteArray("fo\tot")},
              std::pair{"empty app id", QByteArray()}}) {
            QTest::newRow(name) << footInFront + "1 id " + id + "; 1 done; |"
                                << QStringList{"foot", "?", ""};
            // A new window without a usable id takes the front from foot.
            QTest::newRow(qPrintable(QStringLiteral("activated window: ") + name))
                << footInFront + "3 new; 3 id " + id + "; 3 state 2; 3 done; 1 state; 1 done; |"
                << QStringList{"foot", "?", ""};
        }
    }
    void frontApplication()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, expected);
        QCOMPARE(run(script), expected);
    }

    // Fullscreen counts for the window in front only, once its done came.
    void frontFullscreen_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("fullscreen");
        QTest::newRow("front, fullscreen") << footInFront + "1 state 2 3; 1 done; |" << true;
        QTest::newRow("not yet done") << footInFront + "1 state 2 3; |" << false;
        QTest::newRow("behind, fullscreen") << footInFront + "2 state 3; 2 done; |" << false;
        QTest::newRow("left fullscreen")
            << footInFront + "1 state 2 3; 1 done; |; 1 state 2; 1 done; |" << false;
        QTest::newRow("fullscreen one went behind")
            << footInFront + "1 state 3; 2 state 2; 1 done; 2 done; |" << false;
    }
    void frontFullscreen()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, fullscreen);
        ToplevelFocus focus;
        for (const QByteArray &event : script.split(';')) {
            const QList<QByteArray> words = event.trimmed().split(' ');
            if (words.size() < 2)
                continue;
            const ToplevelFocus::Handle handle = words[0].toUInt();
            if (words[1] == "new")
                focus.add(handle);
            else if (words[1] == "id")
                focus.setAppId(handle, words.value(2));
            else if (words[1] == "done")
                focus.done(handle);
            else if (words[1] == "state") {
                std::vector<uint32_t> states;
                for (const QByteArray &word : words.mid(2))
                    states.push_back(word.toUInt());
                focus.setStates(handle, states);
            }
        }
        const auto front = focus.front();
        QCOMPARE(front && focus.isFullscreen(*front), fullscreen);
    }

    void reconnectionWaitsLongerAfterEachFailure_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("first attempt") << 0 << 0;
        QTest::newRow("after one") << 1 << 500;
        QTest::newRow("after two") << 2 << 1000;
        QTest::newRow("after six") << 6 << 16000;
        QTest::newRow("after seven") << 7 << 30000;
        QTest::newRow("after many") << 1000 << 30000;
        QTest::newRow("nonsense") << -3 << 0;
    }
    void reconnectionWaitsLongerAfterEachFailure()
    {
        QFETCH(int, failures);
        QFETCH(int, milliseconds);
        QCOMPARE(reconnectDelay(failures).count(), milliseconds);
    }

    void raisingPrefersTheWindowActivatedLast()
    {
        ToplevelFocus focus;
        for (ToplevelFocus::Handle handle : {1, 2, 3})
            focus.add(handle);
        const uint32_t activated[] = {2};
        focus.setStates(1, activated);
        focus.done(1);
        QCOMPARE(focus.byRecency(), (std::vector<ToplevelFocus::Handle>{1, 3, 2}));
        focus.close(3);
        QCOMPARE(focus.byRecency(), (std::vector<ToplevelFocus::Handle>{1, 2}));
    }
};

QTEST_GUILESS_MAIN(ToplevelFocusTest)
#include "platform_toplevel_focus_test.moc"
