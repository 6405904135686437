#include "rtf/rtfwriter.h"

#include "rtf/codepages.h"

#include <QHash>
#include <QList>

namespace rtf {

namespace {

const char kHeader[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}"
    "{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss MS Sans Serif;}}\r\n"
    "{\\colortbl\\red0\\green0\\blue0;}\r\n"
    "\\deflang1033\\pard\\plain\\f2\\fs17 ";

// The Windows-1252 byte of each character outside ASCII that the code page assigns, taken once
// from its table. Its five unassigned bytes decode to C1 controls: those characters are no
// Windows-1252 characters and go out as \uN. Without the decoder, everything outside ASCII does.
const QHash<char16_t, quint8>& windows1252() {
    static const QHash<char16_t, quint8> bytes = [] {
        QHash<char16_t, quint8> map;
        const CodePage* page = findCodePage(1252);
        if (!page)
            return map;
        for (int byte = 0x80; byte <= 0xff; ++byte) {
            const char16_t c = page->high[byte - 0x80];
            if (c > 0x9f && c != QChar::ReplacementCharacter)
                map.insert(c, quint8(byte));
        }
        return map;
    }();
    return bytes;
}

void appendHexByte(QByteArray& out, int byte) {
    static const char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out += kDigits[(byte >> 4) & 0xf];
    out += kDigits[byte & 0xf];
}

void appendEscaped(QByteArray& out, QStringView line) {
    for (const QChar ch : line) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20 || c == 0x7f) {
            // Other control characters (a CR, say) are kept as bytes so that they survive.
            appendHexByte(out, c);
        } else if (c < 0x80) {
            out += char(c);
        } else if (const auto byte = windows1252().constFind(c); byte != windows1252().cend()) {
            appendHexByte(out, *byte);
        } else {
            // \u takes a signed 16-bit number; '?' is the fallback for readers without \u.
            out += "\\u";
            out += QByteArray::number(c > 32767 ? int(c) - 65536 : int(c));
            out += '?';
        }
    }
}

} // namespace

QByteArray write(const QString& text) {
    QByteArray out(kHeader);
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        appendEscaped(out, lines[i]);
        out += i + 1 < lines.size() ? "\r\n\\par " : "\r\n\\par }\r\n";
    }
    return out;
}

} // namespace rtf
