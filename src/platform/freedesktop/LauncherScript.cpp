#include "platform/freedesktop/LauncherScript.h"

#include "platform/freedesktop/RegularFile.h"

namespace nudgewatch {

namespace {

// Wrapper scripts are a few KiB; anything larger is no launcher.
constexpr qint64 longestScript = 64 * 1024;

bool isWordCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == '/' || c == '+';
}

} // namespace

QStringList execTargets(QByteArrayView script)
{
    QStringList targets;
    for (QByteArrayView line : QByteArray(script.toByteArray()).split('\n')) {
        line = line.trimmed();
        if (line.startsWith('#'))
            continue;
        for (qsizetype at = line.indexOf("exec"); at >= 0; at = line.indexOf("exec", at + 4)) {
            // A word of its own: not "execute", "os.execvp" or "$exec".
            if ((at > 0 && isWordCharacter(line[at - 1])) ||
                (at + 4 < line.size() && isWordCharacter(line[at + 4])))
                continue;
            qsizetype start = at + 4;
            while (start < line.size() && QByteArrayView(" \t(\"'").contains(line[start]))
                ++start;
            qsizetype end = start;
            while (end < line.size() && isWordCharacter(line[end]))
                ++end;
            // `exec -a name`, `exec "$XTERM"`: nothing literal to follow.
            if (end > start && line[start] != '-')
                targets.append(QString::fromUtf8(line.sliced(start, end - start)));
        }
    }
    return targets;
}

QString applicationProgram(const QString &canonicalProgram,
                           const std::function<bool(const QString &)> &isApplication,
                           const std::function<QString(const QString &)> &findProgram, int depth)
{
    if (canonicalProgram.isEmpty() || isApplication(canonicalProgram))
        return canonicalProgram;
    const std::optional<QByteArray> script = readRegularFile(canonicalProgram, longestScript);
    if (depth == deepestWrapper || !script || !script->startsWith("#!"))
        return {};
    for (const QString &target : execTargets(*script)) {
        const QString found = findProgram(target);
        if (found != canonicalProgram)
            if (QString program = applicationProgram(found, isApplication, findProgram, depth + 1);
                !program.isEmpty())
                return program;
    }
    return {};
}

} // namespace nudgewatch
