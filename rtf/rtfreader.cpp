#include "rtf/rtfreader.h"

#include "rtf/codepages.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace rtf {

namespace {

constexpr int kMaxDepth = 256;
constexpr qsizetype kMaxWordLength = 32;
constexpr int kMaxDigits = 10;
constexpr int kMaxFallback = 8;
constexpr qsizetype kMaxFonts = 4096;

enum class Kind {
    ParagraphMark,
    Char,
    Destination,
    Unicode,
    FallbackCount,
    Bin,
    CodePage,
    CharacterSet,
    FontTable,
    Font,
    FontCharset,
    FontCodePage,
    DefaultFont,
    Plain,
};

struct Word {
    std::string_view name;
    Kind kind;
    char16_t ch = 0;
    int codePage = 0; // of a character set word
};

// In alphabetical order, each once. Destinations hold no body text: tables, metadata,
// pictures, headers and footers, notes, and the text other readers show instead of a list
// number or an object.
constexpr auto kWords = std::to_array<Word>({
    {"annotation", Kind::Destination},
    {"ansi", Kind::CharacterSet, 0, 1252},
    {"ansicpg", Kind::CodePage},
    {"atnauthor", Kind::Destination},
    {"atnid", Kind::Destination},
    {"bin", Kind::Bin},
    {"bullet", Kind::Char, 0x2022},
    {"cell", Kind::Char, u'\t'},
    {"colortbl", Kind::Destination},
    {"comment", Kind::Destination},
    {"cpg", Kind::FontCodePage},
    {"datastore", Kind::Destination},
    {"deff", Kind::DefaultFont},
    {"emdash", Kind::Char, 0x2014},
    {"emspace", Kind::Char, 0x2003},
    {"endash", Kind::Char, 0x2013},
    {"enspace", Kind::Char, 0x2002},
    {"f", Kind::Font},
    {"fcharset", Kind::FontCharset},
    {"fldinst", Kind::Destination},
    {"fonttbl", Kind::FontTable},
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
    {"mac", Kind::CharacterSet, 0, 10000},
    {"nonshppict", Kind::Destination},
    {"object", Kind::Destination},
    {"par", Kind::ParagraphMark},
    {"pc", Kind::CharacterSet, 0, 437},
    {"pca", Kind::CharacterSet, 0, 850},
    {"pict", Kind::Destination},
    {"plain", Kind::Plain},
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

static_assert(std::adjacent_find(kWords.begin(), kWords.end(), [](const Word& a, const Word& b) {
                  return a.name >= b.name;
              }) == kWords.end());

// Words are found through a hash of their letters, taken while they are read, in a table where
// no two words share a slot: one comparison per control word, whatever the document holds. Most
// words of a document are formatting that the table does not hold; a hostile one may hold nothing
// else.
constexpr int kSlotBits = 9;
using WordTable = std::array<quint8, 1 << kSlotBits>; // each a word's index + 1; 0 for none
static_assert(kWords.size() < 256);

constexpr quint32 nextHash(quint32 hash, quint32 factor, char letter) {
    return hash * factor + quint8(letter);
}

constexpr quint32 slotOf(quint32 hash) {
    return (hash * 0x9e3779b1u) >> (32 - kSlotBits); // the high bits mix every letter
}

// The table for that hash factor, or none where two words would share a slot.
constexpr std::optional<WordTable> wordTable(quint32 factor) {
    WordTable table{};
    for (size_t i = 0; i < kWords.size(); ++i) {
        quint32 hash = 0;
        for (const char letter : kWords[i].name)
            hash = nextHash(hash, factor, letter);
        quint8& slot = table[slotOf(hash)];
        if (slot != 0)
            return std::nullopt;
        slot = quint8(i + 1);
    }
    return table;
}

// The first odd factor that gives every word a slot of its own, found while compiling.
constexpr quint32 kHashFactor = [] {
    for (quint32 factor = 31; factor < 8192; factor += 2) {
        if (wordTable(factor))
            return factor;
    }
    return 0u;
}();
static_assert(kHashFactor != 0, "no hash factor separates the words: widen kSlotBits");
constexpr WordTable kWordTable = *wordTable(kHashFactor);

const Word* findWord(std::string_view name, quint32 hash) {
    const int slot = kWordTable[slotOf(hash)];
    if (slot == 0)
        return nullptr;
    const Word& word = kWords[slot - 1];
    return word.name == name ? &word : nullptr;
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
        : begin_(document.constData()), pos_(begin_), end_(begin_ + document.size()), runs_(text_) {
    }

    ReadResult run(qsizetype start) {
        if (!parse(start))
            return failure(error_);
        return ReadResult{true, text_, {}};
    }

private:
    struct Group {
        bool skip = false;      // inside a destination that holds no body text
        bool fontTable = false; // inside the font table: \f names the entry that follows
        int fallback = 1;       // characters after \uN that stand in for it
        qint64 font = -1;       // the font in force; -1 for the default font
    };

    struct Font {
        qint64 charset = -1;
        qint64 codePage = 0; // \cpg, which wins over the character set
    };

    struct ControlWord {
        const Word* word = nullptr; // null for the words we do not know
        bool hasParameter = false;
        qint64 parameter = 0;
    };

    bool parse(qsizetype start);
    bool controlSequence();
    bool readWord(ControlWord& read);
    bool applyWord(const ControlWord& read);
    void character(char16_t c);
    void byte(quint8 b);
    void asciiRun();
    void paragraphMark();
    bool setFont(qint64 font, Kind property, qint64 value);
    const CodePage& codePage();
    const CodePage& lookUpCodePage() const;
    // Of the next `count` characters, how many stand in for the \uN before them: those are
    // dropped. Every kind of character counts, control words and symbols too.
    qsizetype skipFallback(qsizetype count = 1) {
        const qsizetype skipped = std::min<qsizetype>(pendingFallback_, count);
        pendingFallback_ -= int(skipped);
        return skipped;
    }
    bool fail(const QString& what);
    qsizetype offset() const { return pos_ - begin_; }

    const char* begin_;
    const char* pos_;
    const char* end_;
    std::vector<Group> groups_;
    QHash<qint64, Font> fonts_; // only the entries that name a character set or code page
    qint64 defaultFont_ = -1;
    qint64 ansiCodePage_ = 0;
    int characterSet_ = 1252;            // of \ansi, \mac, \pc, \pca
    const CodePage* codePage_ = nullptr; // in force; null when it must be looked up again
    int pendingFallback_ = 0;
    qsizetype paragraphEnd_ = -1; // text length right after the last paragraph mark
    QString text_;
    RunDecoder runs_; // double-byte runs, decoded onto text_
    QString error_;
};

bool Parser::fail(const QString& what) {
    error_ = QStringLiteral("%1 (at byte %2)").arg(what).arg(offset());
    return false;
}

void Parser::character(char16_t c) {
    if (!skipFallback() && !groups_.back().skip)
        text_ += QChar(c);
}

// A byte of text, written as \'hh or standing in the file, in the code page in force.
void Parser::byte(quint8 b) {
    if (skipFallback() || groups_.back().skip)
        return;
    if (runs_.continues(b)) {
        runs_.feed(b);
        return;
    }
    runs_.end();
    if (b < 0x80) {
        text_ += QChar(b);
        return;
    }
    const CodePage& page = codePage();
    if (!page.lead[b - 0x80]) {
        text_ += QChar(page.high[b - 0x80]);
        return;
    }
    runs_.start(page, b);
}

const CodePage& Parser::codePage() {
    if (!codePage_)
        codePage_ = &lookUpCodePage();
    return *codePage_;
}

// The current font's code page, else its character set's, else the document's; each only
// where we can decode it.
const CodePage& Parser::lookUpCodePage() const {
    const qint64 number = groups_.back().font >= 0 ? groups_.back().font : defaultFont_;
    const auto font = fonts_.constFind(number);
    const bool known = font != fonts_.cend();
    const qint64 candidates[] = {known ? font->codePage : 0,
                                 known ? charsetCodePage(font->charset) : 0, ansiCodePage_,
                                 characterSet_, 1252};
    for (const qint64 candidate : candidates) {
        if (const CodePage* page = findCodePage(candidate))
            return *page;
    }
    return latin1();
}

bool Parser::setFont(qint64 font, Kind property, qint64 value) {
    auto entry = fonts_.find(font);
    if (entry == fonts_.end()) {
        if (fonts_.size() == kMaxFonts)
            return fail(QStringLiteral("more than %1 fonts in the font table").arg(kMaxFonts));
        entry = fonts_.insert(font, Font{});
    }
    (property == Kind::FontCharset ? entry->charset : entry->codePage) = value;
    codePage_ = nullptr;
    return true;
}

// Plain text a run at a time: most of any document, and of a hostile one.
void Parser::asciiRun() {
    if (runs_.continues(quint8(*pos_))) {
        byte(quint8(*pos_++)); // the second byte of a pair, written as it stands
        return;
    }
    runs_.end();
    const char* run = pos_;
    while (pos_ < end_ && isPlainAscii(*pos_))
        ++pos_;
    const qsizetype fallback = skipFallback(pos_ - run);
    if (!groups_.back().skip)
        text_ += QLatin1StringView(run + fallback, pos_ - run - fallback);
}

void Parser::paragraphMark() {
    if (!skipFallback() && !groups_.back().skip) {
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
            runs_.end();
            groups_.push_back(groups_.empty() ? Group{} : groups_.back());
            pendingFallback_ = 0;
            ++pos_;
            break;
        case '}': {
            runs_.end();
            const qint64 font = groups_.back().font;
            groups_.pop_back();
            pendingFallback_ = 0;
            ++pos_;
            if (!groups_.empty() && groups_.back().font != font)
                codePage_ = nullptr;
            if (groups_.empty()) {
                // Whatever follows the document's closing brace is not part of it.
                if (paragraphEnd_ == text_.size())
                    text_.chop(1);
                return true;
            }
            break;
        }
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
                byte(quint8(*pos_));
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
    const bool escapedByte =
        c == '\'' || (runs_.leadPending() && (c == '\\' || c == '{' || c == '}'));
    if (!escapedByte)
        runs_.end();
    if (isLetter(c)) {
        ControlWord word;
        return readWord(word) && applyWord(word);
    }
    ++pos_;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        if (escapedByte)
            byte(quint8(c)); // the second byte of a pair
        else
            character(char16_t(c));
        break;
    case '\'': {
        const int high = end_ - pos_ >= 2 ? hexValue(pos_[0]) : -1;
        const int low = high >= 0 ? hexValue(pos_[1]) : -1;
        if (low < 0)
            return fail(QStringLiteral("\\' not followed by two hex digits"));
        pos_ += 2;
        byte(quint8(high * 16 + low));
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
        if (!skipFallback())
            groups_.back().skip = true;
        break;
    case '\0':
        --pos_;
        return fail(QStringLiteral("NUL byte, which is no text"));
    default:
        // \- (an optional hyphen, invisible unless a line breaks there) and the rare symbols
        // with no text of their own.
        skipFallback();
        break;
    }
    return true;
}

// The name, the parameter and the delimiter, and the data of \bin; whatever a word's reading
// refuses ends the document, also in a fallback or a destination we skip.
bool Parser::readWord(ControlWord& read) {
    const char* nameStart = pos_;
    quint32 hash = 0;
    while (pos_ < end_ && isLetter(*pos_)) {
        if (pos_ - nameStart == kMaxWordLength)
            return fail(QStringLiteral("control word longer than %1 letters").arg(kMaxWordLength));
        hash = nextHash(hash, kHashFactor, *pos_++);
    }
    const std::string_view name(nameStart, size_t(pos_ - nameStart));

    qint64 parameter = 0;
    const bool negative = end_ - pos_ >= 2 && pos_[0] == '-' && isDigit(pos_[1]);
    if (negative)
        ++pos_;
    int digits = 0;
    for (; pos_ < end_ && isDigit(*pos_); ++digits, ++pos_) {
        if (digits == kMaxDigits)
            return fail(QStringLiteral("numeric parameter longer than %1 digits").arg(kMaxDigits));
        parameter = parameter * 10 + (*pos_ - '0');
    }
    const bool hasParameter = digits > 0;
    if (negative)
        parameter = -parameter;
    if (pos_ < end_ && *pos_ == ' ')
        ++pos_; // the delimiter belongs to the word

    const Word* word = findWord(name, hash);
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
    read = ControlWord{word, hasParameter, parameter};
    return true;
}

// A word in a fallback stands in for the \uN before it and has no effect.
bool Parser::applyWord(const ControlWord& read) {
    if (skipFallback())
        return true;
    const auto& [word, hasParameter, parameter] = read;
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
        if (!group.skip) {
            ansiCodePage_ = parameter;
            codePage_ = nullptr;
        }
        break;
    case Kind::CharacterSet:
        if (!group.skip) {
            characterSet_ = word->codePage;
            codePage_ = nullptr;
        }
        break;
    case Kind::FontTable:
        // One inside a destination we skip is not the document's.
        group.fontTable = !group.skip;
        group.skip = true;
        group.font = -1; // no entry until its \f
        codePage_ = nullptr;
        break;
    case Kind::Font:
        if (hasParameter && parameter >= 0) {
            group.font = parameter;
            codePage_ = nullptr;
        }
        break;
    case Kind::FontCharset:
    case Kind::FontCodePage:
        if (group.fontTable && group.font >= 0 && hasParameter)
            return setFont(group.font, word->kind, parameter);
        break;
    case Kind::DefaultFont:
        if (!group.skip && hasParameter && parameter >= 0) {
            defaultFont_ = parameter;
            codePage_ = nullptr;
        }
        break;
    case Kind::Plain:
        group.font = -1;
        codePage_ = nullptr;
        break;
    case Kind::Bin:
        break; // its data went with the reading
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

} // namespace rtf
