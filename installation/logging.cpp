#include "installation/logging.h"

namespace ovra {
Q_LOGGING_CATEGORY(lcInstallation, "ovra.installation")

QString printable(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char32_t code = c.unicode();
        // A whole surrogate pair is one character and is judged as one.
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t full = QChar::surrogateToUcs4(c, text[i + 1]);
            if (QChar::isPrint(full)) {
                out += c;
                out += text[++i];
                continue;
            }
            out += QStringLiteral("\\u{%1}").arg(uint(full), 0, 16);
            ++i;
            continue;
        }
        if (c == u' ' || (c.isPrint() && !c.isSurrogate())) {
            out += c;
            continue;
        }
        switch (code) {
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case 0x1b:
            out += QStringLiteral("\\e");
            break;
        default:
            out += code < 0x100
                       ? QStringLiteral("\\x%1").arg(uint(code), 2, 16, QLatin1Char('0'))
                       : QStringLiteral("\\u{%1}").arg(uint(code), 4, 16, QLatin1Char('0'));
        }
    }
    return out;
}

} // namespace ovra
