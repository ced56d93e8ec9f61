#pragma once

#include <QString>

namespace nudgewatch {

// Names come from files the user does not control; one that holds line breaks
// or tabs would break a single-line layout or lose its end. Shown on one line.
inline QString singleLine(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') ||
            c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace nudgewatch
