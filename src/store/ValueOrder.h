#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The pieces of the row sets' sort order that both loose values and stored
// cells use, so that a sort gives the same order whichever form it reads.
namespace ValueOrder {

// -1, 0 or 1; exact where converting the whole number to a double would round it.
int compareWholeWithReal(qint64 whole, double real);

// The sign of QString::compare on the texts these bytes decode to, for bytes
// that are valid UTF-8 after an optional leading byte order mark (which
// QString::fromUtf8 drops): UTF-16 puts U+E000..U+FFFF after the other planes.
int compareUtf8AsUtf16(QByteArrayView a, QByteArrayView b);

} // namespace ValueOrder
