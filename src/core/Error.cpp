#include "Error.h"

#include <QTextBoundaryFinder>
#include <algorithm>

QString excerpt(const QString &text)
{
    constexpr qsizetype longest = 200;
    constexpr qsizetype longestWord = 30;
    qsizetype cut = std::min(text.size(), longest);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    for (qsizetype wordStart = 0; wordStart < cut;) {
        const qsizetype next = breaks.toNextBoundary();
        if (next < 0)
            break;
        if (next - wordStart > longestWord)
            cut = std::min(cut, wordStart + longestWord);
        wordStart = next;
    }
    if (cut == text.size())
        return text;
    if (text[cut - 1].isHighSurrogate())
        --cut; // a character is cut whole or not at all
    return text.left(cut) + QStringLiteral("…");
}
