#include "ItemPage.h"

#include "Auction.h"
#include "DateTimes.h"
#include "EngineLog.h"
#include "OrvError.h"
#include "ResumeNext.h"
#include "TextForms.h"
#include "UsDateReader.h"

#include <cmath>
#include <limits>
#include <new>
#include <optional>

namespace {

const QString errorSource = QStringLiteral("orvauctions2.Updater");
const QString notAnItemPage = QStringLiteral("The Auction was not Found or is not Available.");

// The page steps count 1-based positions and treat a start before the text or a negative length as a
// run-time error, which makes the step keep its field. These helpers keep those rules in one place.
[[noreturn]] void invalidCall()
{
    throw OrvError(OrvError::InvalidArgument, errorSource,
                   QStringLiteral("Invalid procedure call or argument"));
}

qsizetype inStr(qsizetype start, const QString& text, QStringView what)
{
    if (start <= 0)
        invalidCall();
    if (start > text.size())
        return 0;
    return text.indexOf(what, start - 1) + 1;
}

QString mid(const QString& text, qsizetype start, qsizetype length)
{
    if (start <= 0 || length < 0)
        invalidCall();
    return text.mid(start - 1, length);
}

QString left(const QString& text, qsizetype length)
{
    if (length < 0)
        invalidCall();
    return text.left(length);
}

// Blanks only, as the page steps trim.
QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// A count rounded to a whole number; one that does not fit overflows, and the step keeps its field.
qint32 wholeNumber(double value)
{
    const qint64 rounded = TextForms::roundHalfEven(value);
    if (rounded < std::numeric_limits<qint32>::min() || rounded > std::numeric_limits<qint32>::max())
        throw OrvError(OrvError::Overflow, errorSource, QStringLiteral("Overflow"));
    return static_cast<qint32>(rounded);
}

// The blanks that the leading-number rule skips before a number.
bool isBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || (u >= u'\t' && u <= u'\r');
}

bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// Numbers longer than this are not read: none fits a double, and reading them again at every position
// would make a long run of digits cost the square of its length.
constexpr qsizetype longestNumber = 400;

// The end of the number that the leading-number rule reads at `start` (sign, digits, point, exponent),
// or -1 when none begins there or it is longer than longestNumber.
qsizetype numberEnd(QStringView text, qsizetype start)
{
    const qsizetype size = qMin(text.size(), start + longestNumber + 1);
    qsizetype i = start;
    if (i < size && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    const qsizetype digitsFrom = i;
    while (i < size && isDigit(text[i]))
        ++i;
    const bool wholeDigits = i > digitsFrom;
    if (i < size && text[i] == QLatin1Char('.') && (wholeDigits || (i + 1 < size && isDigit(text[i + 1])))) {
        ++i;
        while (i < size && isDigit(text[i]))
            ++i;
    } else if (!wholeDigits) {
        return -1;
    }
    if (i < size && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < size && (text[e] == QLatin1Char('+') || text[e] == QLatin1Char('-')))
            ++e;
        if (e < size && isDigit(text[e])) {
            while (e < size && isDigit(text[e]))
                ++e;
            i = e;
        }
    }
    return i - start > longestNumber ? -1 : i;
}

// The leading-number reading of the text from each position in turn, left to right; the first that is
// greater than 0. Positions that cannot give a new reading are passed over: a blank reads as the
// number after it, and a digit after a digit that read exactly 0 reads 0 too.
double firstPositiveReading(QStringView text)
{
    qsizetype runEnd = 0;
    bool afterZeroDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isBlank(c)) {
            afterZeroDigit = false;
            continue;
        }
        const bool digit = isDigit(c);
        if (digit) {
            if (i >= runEnd) {
                runEnd = i;
                while (runEnd < text.size() && isDigit(text[runEnd]))
                    ++runEnd;
            }
            if (afterZeroDigit || runEnd - i > longestNumber)
                continue;
        } else if (c != QLatin1Char('+') && c != QLatin1Char('-') && c != QLatin1Char('.')) {
            afterZeroDigit = false;
            continue;
        }
        afterZeroDigit = false;
        const qsizetype end = numberEnd(text, i);
        if (end < 0)
            continue;
        const double value = text.sliced(i, end - i).toDouble();
        if (std::isfinite(value) && value > 0)
            return value;
        afterZeroDigit = digit && value == 0;
    }
    return 0;
}

// The position of the site's "(ITEM" mark in the title that starts at `s`: the last one before the
// title's end, so that a seller's title holding the same letters cannot pass for it; without a title end,
// the first at or after `s`. 0 when there is none.
qsizetype itemMark(const QString& search, qsizetype s)
{
    const QLatin1String mark("(ITEM");
    const qsizetype titleEnd = inStr(s, search, u"</TITLE>");
    if (titleEnd > 0 && titleEnd - 1 - mark.size() >= 0) {
        const qsizetype last = search.lastIndexOf(mark, titleEnd - 1 - mark.size()) + 1;
        if (last >= s)
            return last;
    }
    return inStr(s, search, u"(ITEM");
}

// Where the item's own title begins on the page (one past the colon of the page's title), where its
// item mark stands, and the end time's label after the mark. Everything is read after the mark, never
// inside the seller's title. Refuses a page that is no item page: no colon in its title (or one among
// the first characters), or no mark with an end time after it, as on a removed listing or a sign-in or
// error page whose title holds a colon; reading such a page would reset the quantity, the start time
// and the description from nothing.
struct ItemTitle
{
    qsizetype start;
    qsizetype mark;
    qsizetype endTime;
};

ItemTitle itemTitleStart(const QString& search)
{
    const qsizetype t = search.indexOf(QLatin1String("<TITLE>")) + 1;
    const qsizetype s = inStr(t + 1, search, u":") + 1;
    if (s < 5)
        throw OrvError::refused(errorSource, notAnItemPage);
    const qsizetype e = itemMark(search, s);
    const qsizetype endLabel = e > 0 ? inStr(e, search, u"END TIME") : 0;
    if (endLabel == 0)
        throw OrvError::refused(errorSource, notAnItemPage);
    return {s, e, endLabel};
}

// The labelled rows of the page, each a label followed by its value's table cell. Labels count only
// from `from`, the item mark, and before `end`, the description's anchor.
struct Labels
{
    const QString& search;
    qsizetype from;
    qsizetype end;

    // The position of the first of `names` (in their order) found; 0 when there is none.
    qsizetype find(const QStringList& names) const
    {
        qsizetype at = from;
        return ItemPage::fnFirstPos(search, at, end, names) ? at : 0;
    }

    // The value's cell after the first of `names` found: from inside the next "<TD" up to its "</TD",
    // which ends it. Nothing when no label is found.
    std::optional<QString> cell(const QStringList& names) const
    {
        qsizetype at = find(names);
        if (at == 0)
            return std::nullopt;
        return ItemPage::fnMidText(search, at, QStringLiteral("<TD"), QStringLiteral("</TD")) +
               QStringLiteral("</TD");
    }
};

} // namespace

bool ItemPage::Parse(Auction& auction, const QString& sHTML)
{
    QString page;
    QString search;
    try {
        page = sHTML;
        page.remove(QLatin1Char('\''));
        page.remove(QLatin1Char('"'));
        page.replace(QLatin1String("&AMP;"), QLatin1String("&"), Qt::CaseInsensitive);
        page.replace(QLatin1String("&NBSP;"), QLatin1String(" "), Qt::CaseInsensitive);
        // Upper case one code unit at a time, so that every position in one text holds in the other.
        search = page;
        for (QChar& c : search)
            c = c.toUpper();
    } catch (const std::bad_alloc&) {
        throw OrvError(OrvError::OutOfMemory, errorSource, QStringLiteral("Out of memory"));
    }

    const ItemTitle title = itemTitleStart(search);
    resumeNext(lcPage,
               [&] { auction.Description = trimBlanks(mid(page, title.start, title.mark - title.start)); });
    // A time that does not read leaves the one known before: an unknown end time must never look like
    // an auction that ended long ago.
    resumeNext(lcPage, [&] {
        const qsizetype p = title.endTime + 9;
        const qsizetype q = inStr(p, search, u")") - 4;
        const QDateTime endTime = fnGetDateFormat(mid(search, p, q - p));
        if (!DateTimes::isZero(endTime))
            auction.EndTime = endTime;
    });
    const Labels labels{search, title.mark, inStr(title.mark, search, u"<A NAME=DESCRIPTION>") + 1};

    resumeNext(lcPage, [&] {
        std::optional<QString> cell = labels.cell(
            {QStringLiteral("CURRENT BID:"), QStringLiteral("STARTING BID:"), QStringLiteral("PRICE:"),
             QStringLiteral("WINNING BID:"), QStringLiteral("SOLD FOR:")});
        if (!cell)
            return;
        qsizetype from = 1;
        *cell = fnMidData(*cell, from);
        auction.Price = fnNumber(*cell);
        qsizetype b = inStr(1, *cell, u" ");
        if (b == 0)
            b = inStr(1, *cell, u"\u00a0");
        auction.CurrencyTxt = left(*cell, b - 1);
    });
    resumeNext(lcPage, [&] {
        std::optional<QString> cell = labels.cell({QStringLiteral("START TIME:")});
        if (!cell) {
            auction.StartTime = DateTimes::zero();
            return;
        }
        qsizetype from = 1;
        *cell = fnMidData(*cell, from);
        const QDateTime startTime = fnGetDateFormat(left(*cell, cell->size() - 4));
        if (!DateTimes::isZero(startTime))
            auction.StartTime = startTime;
    });
    resumeNext(lcPage, [&] {
        std::optional<QString> cell = labels.cell({QStringLiteral("QUANTITY:")});
        if (!cell) {
            auction.Quantity = 1;
            return;
        }
        auction.Quantity = wholeNumber(fnNumber(*cell));
    });
    resumeNext(lcPage, [&] {
        const qsizetype l = labels.find({QStringLiteral("HISTORY:")});
        if (l == 0)
            return;
        qsizetype at = l + 20;
        QString cell = fnMidData(search, at);
        auction.Bids = wholeNumber(fnNumber(cell));
    });
    resumeNext(lcPage, [&] {
        const qsizetype l = labels.find({QStringLiteral("ITEM LOCATION:")});
        if (l == 0)
            return;
        qsizetype f = inStr(l, search, u"?VIEWFEEDBACK");
        if (f > 0 && f < labels.end)
            auction.Seller = trimBlanks(fnMidData(search, f));
    });
    resumeNext(lcPage, [&] {
        if (auction.Quantity > 1) {
            auction.HighBidder = QStringLiteral("DUTCH");
        } else if (auction.Bids == 0) {
            auction.HighBidder = QStringLiteral("NO BIDS");
        } else if (const qsizetype l =
                       labels.find({QStringLiteral("HIGH BIDDER:"), QStringLiteral("WINNING BIDDER:"),
                                    QStringLiteral("BUYER:")})) {
            qsizetype h = inStr(l, search, u"<TD");
            auction.HighBidder = trimBlanks(fnMidData(search, h));
        }
    });
    resumeNext(lcPage, [&] {
        auction.Updated();
        auction.Changed();
    });
    return true;
}

bool ItemPage::fnFirstPos(const QString& sBody, qsizetype& lStart, qsizetype lEnd,
                          const QStringList& vntArray)
{
    const qsizetype from = qMax<qsizetype>(lStart, 1) - 1;
    for (const QString& label : vntArray) {
        const qsizetype p = sBody.indexOf(label, from) + 1;
        if (p > 0 && p < lEnd) {
            lStart = p;
            return true;
        }
    }
    return false;
}

QString ItemPage::fnMidData(const QString& sBody, qsizetype& lStart)
{
    const qsizetype q = inStr(lStart, sBody, u"</");
    if (q == 0)
        return {};
    lStart = sBody.lastIndexOf(QLatin1Char('>'), q - 1) + 2;
    return mid(sBody, lStart, q - lStart);
}

QString ItemPage::fnMidText(const QString& sBody, qsizetype& lStart, const QString& sStart,
                            const QString& Send)
{
    lStart = inStr(lStart, sBody, sStart) + 1;
    const qsizetype q = inStr(lStart, sBody, Send);
    return mid(sBody, lStart, q - lStart);
}

QDateTime ItemPage::fnGetDateFormat(const QString& vInDate)
{
    return UsDateReader::read(vInDate);
}

double ItemPage::fnNumber(QString& sNumber)
{
    sNumber.remove(QLatin1Char(','));
    return firstPositiveReading(sNumber);
}
