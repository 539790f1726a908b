#include "naturalorder.h"

namespace {

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

const QChar* skipZeros(const QChar* p, const QChar* end) {
    while (p != end && p->unicode() == u'0')
        ++p;
    return p;
}

const QChar* runEnd(const QChar* p, const QChar* end) {
    while (p != end && isDigit(*p))
        ++p;
    return p;
}

// Compares the digit runs starting at a and b and moves both past them.
int compareNumbers(const QChar*& a, const QChar* endA, const QChar*& b, const QChar* endB) {
    const QChar* digitsA = skipZeros(a, endA);
    const QChar* digitsB = skipZeros(b, endB);
    a = runEnd(digitsA, endA);
    b = runEnd(digitsB, endB);
    if (a - digitsA != b - digitsB)
        return a - digitsA < b - digitsB ? -1 : 1;
    for (; digitsA != a; ++digitsA, ++digitsB) {
        if (*digitsA != *digitsB)
            return digitsA->unicode() < digitsB->unicode() ? -1 : 1;
    }
    return 0;
}

} // namespace

int naturalCompare(QStringView a, QStringView b) {
    const QChar* pa = a.data();
    const QChar* pb = b.data();
    const QChar* endA = pa + a.size();
    const QChar* endB = pb + b.size();
    while (pa != endA && pb != endB) {
        if (isDigit(*pa) && isDigit(*pb)) {
            if (const int order = compareNumbers(pa, endA, pb, endB))
                return order;
        } else if (*pa != *pb) {
            return pa->unicode() < pb->unicode() ? -1 : 1;
        } else {
            ++pa;
            ++pb;
        }
    }
    return int(pa != endA) - int(pb != endB);
}
