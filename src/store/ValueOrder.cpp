#include "ValueOrder.h"

#include <algorithm>
#include <cmath>

namespace ValueOrder {

namespace {

template<typename T>
int sign(T a, T b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

QByteArrayView withoutByteOrderMark(QByteArrayView text)
{
    return text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
}

} // namespace

int compareWholeWithReal(qint64 whole, double real)
{
    constexpr double twoTo63 = 9223372036854775808.0;
    if (real >= twoTo63)
        return -1;
    if (real < -twoTo63)
        return 1;
    const double floor = std::floor(real);
    const int c = sign(whole, qint64(floor));
    return c != 0 ? c : (floor < real ? -1 : 0);
}

int compareUtf8AsUtf16(QByteArrayView a, QByteArrayView b)
{
    a = withoutByteOrderMark(a);
    b = withoutByteOrderMark(b);
    const auto *pa = reinterpret_cast<const unsigned char *>(a.data());
    const auto *pb = reinterpret_cast<const unsigned char *>(b.data());
    const qsizetype common = std::min(a.size(), b.size());
    const qsizetype at = std::mismatch(pa, pa + common, pb).first - pa;
    if (at == common)
        return sign(a.size(), b.size());
    // Byte order is code point order; only the lead bytes of the character
    // that differs tell whether UTF-16's surrogates turn it round.
    qsizetype lead = at;
    while (lead > 0 && (pa[lead] & 0xC0) == 0x80)
        --lead;
    const unsigned char leadA = pa[lead], leadB = pb[lead];
    const bool upperBmpA = leadA == 0xEE || leadA == 0xEF, upperBmpB = leadB == 0xEE || leadB == 0xEF;
    if (upperBmpA && leadB >= 0xF0)
        return 1;
    if (upperBmpB && leadA >= 0xF0)
        return -1;
    return sign(pa[at], pb[at]);
}

} // namespace ValueOrder
