#include "rtfreader.h"

#include "cp1252.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace rtf {

namespace {

constexpr int kMaxDepth = 256;
constexpr qsizetype kMaxWordLength = 32;
constexpr int kMaxDigits = 10;
constexpr int kMaxFallback = 8;

enum class Kind { ParagraphMark, Char, Destination, Unicode, FallbackCount, Bin, CodePage };

struct Word {
    std::string_view name;
    Kind kind;
    char16_t ch = 0;
};

// Sorted by name for binary search. Destinations hold no body text: tables, metadata,
// pictures, headers and footers, notes, and the text other readers show instead of a list
// number or an object.
constexpr auto kWords = std::to_array<Word>({
    {"annotation", Kind::Destination},
    {"ansicpg", Kind::CodePage},
    {"atnauthor", Kind::Destination},
    {"atnid", Kind::Destination},
    {"bin", Kind::Bin},
    {"bullet", Kind::Char, 0x2022},
    {"cell", Kind::Char, u'\t'},
    {"colortbl", Kind::Destination},
    {"comment", Kind::Destination},
    {"datastore", Kind::Destination},
    {"emdash", Kind::Char, 0x2014},
    {"emspace", Kind::Char, 0x2003},
    {"endash", Kind::Char, 0x2013},
    {"enspace", Kind::Char, 0x2002},
    {"fldinst", Kind::Destination},
    {"fonttbl", Kind::Destination},
    {"footer", Kind::Destination},
    {"footerf", Kind::Destination},
    {"footerl", Kind::Destination},
    {"footerr", Kind::Destination},
    {"footnote", Kind::Destination},
    {"generator", Kind::Destination},
    {"header", Kind::Destination},
    {"headerf", Kind::Destination},
    {"headerl", Kind::Destination},
    {"headerr", Kind::Destination},
    {"info", Kind::Destination},
    {"ldblquote", Kind::Char, 0x201c},
    {"line", Kind::Char, u'\n'},
    {"listoverridetable", Kind::Destination},
    {"listtable", Kind::Destination},
    {"listtext", Kind::Destination},
    {"lquote", Kind::Char, 0x2018},
    {"nonshppict", Kind::Destination},
    {"object", Kind::Destination},
    {"par", Kind::ParagraphMark},
    {"pict", Kind::Destination},
    {"pntext", Kind::Destination},
    {"private", Kind::Destination},
    {"rdblquote", Kind::Char, 0x201d},
    {"revtbl", Kind::Destination},
    {"row", Kind::ParagraphMark},
    {"rquote", Kind::Char, 0x2019},
    {"rsidtbl", Kind::Destination},
    {"stylesheet", Kind::Destination},
    {"tab", Kind::Char, u'\t'},
    {"template", Kind::Destination},
    {"themedata", Kind::Destination},
    {"u", Kind::Unicode},
    {"uc", Kind::FallbackCount},
    {"xmlnstbl", Kind::Destination},
});

static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const Word& a, const Word& b) { return a.name < b.name; }));

const Word* findWord(std::string_view name) {
    const auto it = std::lower_bound(kWords.begin(), kWords.end(), name,
                                     [](const Word& w, std::string_view n) { return w.name < n; });
    return it != kWords.end() && it->name == name ? &*it : nullptr;
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// ASCII that is text as it stands: no syntax, no line end, no NUL.
bool isPlainAscii(char c) {
    return quint8(c) < 0x80 && c != '\\' && c != '{' && c != '}' && c != '\r' && c != '\n' &&
           c != '\0';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

ReadResult failure(const QString& error) {
    return ReadResult{false, {}, error};
}

QString limitText() {
    return QStringLiteral("%1 MiB").arg(kMaxDocumentSize / (1024 * 1024));
}

// One pass over the bytes with the groups on an explicit stack, so that neither time nor
// memory depends on anything but the document's length.
class Parser {
public:
    explicit Parser(const QByteArray& document)
        : begin_(document.constData()), pos_(begin_), end_(begin_ + document.size()) {}

    ReadResult run(qsizetype start) {
        if (!parse(start))
            return failure(error_);
        return ReadResult{true, text_, {}};
    }

private:
    struct Group {
        bool skip = false; // inside a destination that holds no body text
        int fallback = 1;  // characters after \uN that stand in for it
    };

    bool parse(qsizetype start);
    bool controlSequence();
    bool controlWord();
    void character(char16_t c);
    void asciiRun();
    void paragraphMark();
    bool fail(const QString& what);
    qsizetype offset() const { return pos_ - begin_; }
    char16_t decode(char byte) const {
        const auto b = quint8(byte);
        return b >= 0x80 && codePage_ == 1252 ? cp1252::decode(b) : b;
    }

    const char* begin_;
    const char* pos_;
    const char* end_;
    std::vector<Group> groups_;
    qint64 codePage_ = 1252;
    int pendingFallback_ = 0;
    qsizetype paragraphEnd_ = -1; // text length right after the last paragraph mark
    QString text_;
    QString error_;
};

bool Parser::fail(const QString& what) {
    error_ = QStringLiteral("%1 (at byte %2)").arg(what).arg(offset());
    return false;
}

// Every kind of character counts once against the fallback of a preceding \uN.
void Parser::character(char16_t c) {
    if (pendingFallback_ > 0)
        --pendingFallback_;
    else if (!groups_.back().skip)
        text_ += QChar(c);
}

// Plain text a run at a time: most of any document, and of a hostile one.
void Parser::asciiRun() {
    const char* run = pos_;
    while (pos_ < end_ && isPlainAscii(*pos_))
        ++pos_;
    const qsizetype fallback = std::min<qsizetype>(pendingFallback_, pos_ - run);
    pendingFallback_ -= int(fallback);
    if (!groups_.back().skip)
        text_ += QLatin1StringView(run + fallback, pos_ - run - fallback);
}

void Parser::paragraphMark() {
    if (pendingFallback_ > 0) {
        --pendingFallback_;
    } else if (!groups_.back().skip) {
        text_ += u'\n';
        paragraphEnd_ = text_.size();
    }
}

bool Parser::parse(qsizetype start) {
    groups_.reserve(kMaxDepth);
    pos_ = begin_ + start;
    while (pos_ < end_) {
        switch (*pos_) {
        case '{':
            if (groups_.size() == kMaxDepth)
                return fail(QStringLiteral("groups nested deeper than %1").arg(kMaxDepth));
            groups_.push_back(groups_.empty() ? Group{} : groups_.back());
            pendingFallback_ = 0;
            ++pos_;
            break;
        case '}':
            groups_.pop_back();
            pendingFallback_ = 0;
            ++pos_;
            if (groups_.empty()) {
                // Whatever follows the document's closing brace is not part of it.
                if (paragraphEnd_ == text_.size())
                    text_.chop(1);
                return true;
            }
            break;
        case '\\':
            if (!controlSequence())
                return false;
            break;
        case '\r':
        case '\n':
            // Line ends in the file only wrap the source; they are not text.
            ++pos_;
            break;
        case '\0':
            return fail(QStringLiteral("NUL byte, which is no text"));
        default:
            if (quint8(*pos_) >= 0x80) {
                character(decode(*pos_));
                ++pos_;
            } else {
                asciiRun();
            }
        }
    }
    return fail(
        QStringLiteral("the document ends inside %1 unclosed group(s)").arg(groups_.size()));
}

bool Parser::controlSequence() {
    ++pos_; // the backslash
    if (pos_ == end_)
        return fail(QStringLiteral("the document ends after a backslash"));
    const char c = *pos_;
    if (isLetter(c))
        return controlWord();
    ++pos_;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        character(char16_t(c));
        break;
    case '\'': {
        const int high = end_ - pos_ >= 2 ? hexValue(pos_[0]) : -1;
        const int low = high >= 0 ? hexValue(pos_[1]) : -1;
        if (low < 0)
            return fail(QStringLiteral("\\' not followed by two hex digits"));
        pos_ += 2;
        character(decode(char(high * 16 + low)));
        break;
    }
    case '\r':
    case '\n':
        // A backslash before a line end is a paragraph mark.
        paragraphMark();
        break;
    case '~':
        character(0x00a0);
        break;
    case '_':
        character(0x2011);
        break;
    case '*':
        // A destination other readers may not know: its content is never body text.
        if (pendingFallback_ > 0)
            --pendingFallback_;
        else
            groups_.back().skip = true;
        break;
    case '\0':
        --pos_;
        return fail(QStringLiteral("NUL byte, which is no text"));
    default:
        // \- (an optional hyphen, invisible unless a line breaks there) and the rare symbols
        // with no text of their own.
        if (pendingFallback_ > 0)
            --pendingFallback_;
        break;
    }
    return true;
}

bool Parser::controlWord() {
    const char* nameStart = pos_;
    while (pos_ < end_ && isLetter(*pos_)) {
        if (pos_ - nameStart == kMaxWordLength)
            return fail(QStringLiteral("control word longer than %1 letters").arg(kMaxWordLength));
        ++pos_;
    }
    const std::string_view name(nameStart, size_t(pos_ - nameStart));

    bool hasParameter = false;
    qint64 parameter = 0;
    const bool negative = end_ - pos_ >= 2 && pos_[0] == '-' && isDigit(pos_[1]);
    if (negative)
        ++pos_;
    for (int digits = 0; pos_ < end_ && isDigit(*pos_); ++digits, ++pos_) {
        if (digits == kMaxDigits)
            return fail(QStringLiteral("numeric parameter longer than %1 digits").arg(kMaxDigits));
        parameter = parameter * 10 + (*pos_ - '0');
        hasParameter = true;
    }
    if (negative)
        parameter = -parameter;
    if (pos_ < end_ && *pos_ == ' ')
        ++pos_; // the delimiter belongs to the word

    const Word* word = findWord(name);
    if (word && word->kind == Kind::Bin) {
        // The data is skipped, never copied: only its length is checked.
        const qint64 length = std::max<qint64>(parameter, 0);
        if (length > end_ - pos_)
            return fail(QStringLiteral("\\bin%1 runs past the end of the document").arg(length));
        pos_ += length;
    }
    if (word && word->kind == Kind::Unicode) {
        if (!hasParameter)
            return fail(QStringLiteral("\\u without a number"));
        if (parameter < -32768 || parameter > 65535)
            return fail(QStringLiteral("\\u%1 out of range").arg(parameter));
    }
    if (pendingFallback_ > 0) {
        --pendingFallback_;
        return true;
    }
    if (!word)
        return true; // formatting and whatever else carries no text
    Group& group = groups_.back();
    switch (word->kind) {
    case Kind::ParagraphMark:
        paragraphMark();
        break;
    case Kind::Char:
        character(word->ch);
        break;
    case Kind::Destination:
        group.skip = true;
        break;
    case Kind::Unicode:
        character(char16_t(parameter < 0 ? parameter + 65536 : parameter));
        pendingFallback_ = group.fallback;
        break;
    case Kind::FallbackCount:
        if (hasParameter)
            group.fallback = int(std::clamp<qint64>(parameter, 0, kMaxFallback));
        break;
    case Kind::CodePage:
        if (!group.skip)
            codePage_ = parameter;
        break;
    case Kind::Bin:
        break;
    }
    return true;
}

} // namespace

ReadResult read(const QByteArray& document) {
    if (document.isEmpty())
        return failure(QStringLiteral("the document is empty"));
    if (document.size() > kMaxDocumentSize)
        return failure(QStringLiteral("the document is too large (%1 bytes; the limit is %2)")
                           .arg(document.size())
                           .arg(limitText()));
    qsizetype start = 0;
    while (start < document.size() && QByteArrayView(" \t\r\n").contains(document[start]))
        ++start;
    if (!QByteArrayView(document).sliced(start).startsWith("{\\rtf"))
        return failure(QStringLiteral("not an RTF document (it does not start with {\\rtf)"));
    return Parser(document).run(start);
}

ReadResult readFile(const QString& hostPath) {
    const QString name = QDir::toNativeSeparators(hostPath);
    QFile file(hostPath);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("cannot open %1: %2").arg(name, file.errorString()));
    if (file.size() > kMaxDocumentSize)
        return failure(QStringLiteral("%1 is too large (%2 bytes; the limit is %3)")
                           .arg(name)
                           .arg(file.size())
                           .arg(limitText()));
    // One byte more than the limit tells a file that grew, or a device, from one at the limit.
    const qint64 wanted = file.isSequential() || file.size() == 0 ? kMaxDocumentSize : file.size();
    const QByteArray data = file.read(wanted + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
    if (data.size() > kMaxDocumentSize)
        return failure(QStringLiteral("%1 is too large (over %2)").arg(name, limitText()));
    return read(data);
}

} // namespace rtf
