#include "platform/qt/SettingsFileCheck.h"

#include <QStringDecoder>

namespace nudgewatch {

namespace {

QString onLine(qsizetype line, const char *what)
{
    return QStringLiteral("line %1 %2").arg(line).arg(QString::fromUtf8(what));
}

} // namespace

std::optional<SettingsFileProblem> settingsFileProblem(QByteArrayView content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        return SettingsFileProblem{
            QStringLiteral("it starts with a byte-order mark, which this format does not allow")};
    qsizetype lineNumber = 0;
    for (qsizetype start = 0; start < content.size();) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        const QByteArrayView line = content.sliced(start, end - start).trimmed();
        start = end + 1;
        ++lineNumber;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        [[maybe_unused]] const QString decoded = utf8(line);
        if (utf8.hasError())
            return SettingsFileProblem{onLine(lineNumber, "holds bytes that are not UTF-8"), true};
        if (line.startsWith('#'))
            return SettingsFileProblem{
                onLine(lineNumber, "is a comment starting with \u201c#\u201d; comments in this "
                                   "file start with \u201c;\u201d")};
        if (line.startsWith('[') && !line.endsWith(']'))
            return SettingsFileProblem{onLine(lineNumber, "opens a section that is not closed")};
    }
    return std::nullopt;
}

} // namespace nudgewatch
