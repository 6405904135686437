#include "tricked/trickconfig.h"

#include <limits>

namespace tricked {

namespace {

// A field as a whole number: blanks before and after the digits do not count, a sign is read
// so that "-1" is reported as a position rather than as garbage. Nothing for anything else.
std::optional<int> fieldValue(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    bool negative = false;
    if (begin < end && (text[begin] == u'-' || text[begin] == u'+'))
        negative = text[begin++] == u'-';
    if (begin == end)
        return std::nullopt;
    int value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0'); // at most four digits: no overflow
    }
    return negative ? -value : value;
}

QString refusal(int record, QStringView recordText, const QString& why) {
    return QStringLiteral("Record %1 (\"%2\"): %3").arg(record + 1).arg(recordText).arg(why);
}

} // namespace

std::optional<QString> field(int position) {
    if (position < 0 || position > 9999)
        return std::nullopt;
    return QString::number(position).leftJustified(kFieldLength, u' ');
}

std::optional<QString> record(int replaced, int with) {
    const auto first = field(replaced), second = field(with);
    if (!first || !second)
        return std::nullopt;
    return *first + *second;
}

QString unchangedConfig() {
    QString text;
    text.reserve(kConfigLength);
    for (int i = 0; i < kTrickCount; ++i)
        text += *record(i, i);
    return text;
}

std::optional<qint16> recordOffset(int position) {
    constexpr int lowest = std::numeric_limits<qint16>::min();
    constexpr int highest = std::numeric_limits<qint16>::max();
    if (position < lowest || position > highest)
        return std::nullopt;
    const int offset = position * kRecordLength; // cannot overflow an int from 16-bit input
    if (offset < lowest || offset > highest)
        return std::nullopt;
    return qint16(offset);
}

bool replaceRecord(QString& config, int replaced, int with) {
    const auto offset = recordOffset(replaced);
    const auto text = record(replaced, with);
    if (!offset || !text || *offset < 0 || *offset + kRecordLength > config.size())
        return false;
    config.replace(*offset, kRecordLength, *text);
    return true;
}

ParseResult parseOpened(const QString& text, int positions) {
    ParseResult result;
    if (text.size() > kMaxOpenedLength) {
        result.error = QStringLiteral("The text is %1 characters long; a Trick Config has %2, and "
                                      "texts longer than %3 characters are not read.")
                           .arg(text.size())
                           .arg(kConfigLength)
                           .arg(kMaxOpenedLength);
        return result;
    }
    const qsizetype records = text.size() / kFieldLength / 2;
    QList<Swap> swaps;
    for (qsizetype r = 0; r < records; ++r) {
        const QStringView recordText = QStringView(text).mid(r * kRecordLength, kRecordLength);
        const QStringView first = recordText.first(kFieldLength);
        const QStringView second = recordText.last(kFieldLength);
        // Fields equal as text mean "unchanged": skipped before any number is read, so that
        // blanks at the end or unchanged records past a short trick list are no fault.
        // "5   " and "   5" differ and make a copy.
        if (first == second)
            continue;
        int values[2] = {};
        for (int f = 0; f < 2; ++f) {
            const QStringView part = f == 0 ? first : second;
            const auto value = fieldValue(part);
            if (!value) {
                result.error =
                    refusal(int(r), recordText,
                            QStringLiteral("\"%1\" is not a whole number.").arg(part.toString()));
                return result;
            }
            if (*value < 0 || *value >= positions) {
                result.error = refusal(
                    int(r), recordText,
                    positions > 0
                        ? QStringLiteral("trick position %1 is not in the trick list (0 to %2).")
                              .arg(*value)
                              .arg(positions - 1)
                        : QStringLiteral("trick position %1 is not in the trick list, which is "
                                         "empty.")
                              .arg(*value));
                return result;
            }
            values[f] = *value;
        }
        swaps.append({int(r), values[0], values[1]});
    }
    result.ok = true;
    result.swaps = std::move(swaps);
    return result;
}

} // namespace tricked
