#include "rtf/codepages.h"

#include <algorithm>
#include <mutex>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace rtf {

namespace {

// The code pages we decode and the names the ICU-backed decoder knows them by. Any other number
// falls back to the next code page in force.
constexpr std::pair<int, const char*> kCodePages[] = {
    {437, "IBM437"},        {850, "IBM850"},        {874, "windows-874"},   {932, "cp932"},
    {936, "windows-936"},   {949, "windows-949"},   {950, "windows-950"},   {1250, "windows-1250"},
    {1251, "windows-1251"}, {1252, "windows-1252"}, {1253, "windows-1253"}, {1254, "windows-1254"},
    {1255, "windows-1255"}, {1256, "windows-1256"}, {1257, "windows-1257"}, {1258, "windows-1258"},
    {10000, "macintosh"},
};

#ifdef Q_OS_WIN
QString windowsDecode(int codePage, QByteArrayView bytes) {
    if (bytes.isEmpty())
        return QString(QLatin1String(""));
    const int size = int(bytes.size());
    const int needed = MultiByteToWideChar(UINT(codePage), 0, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
        return {};
    QString text(needed, Qt::Uninitialized);
    MultiByteToWideChar(UINT(codePage), 0, bytes.data(), size,
                        reinterpret_cast<wchar_t*>(text.data()), needed);
    return text;
}

CodePage loadCodePage(int number, const char* name) {
    CodePage page;
    if (!IsValidCodePage(UINT(number)))
        return page;
    for (int byte = 0x80; byte <= 0xff; ++byte) {
        const char c = char(byte);
        page.lead[byte - 0x80] = IsDBCSLeadByteEx(UINT(number), BYTE(byte));
        const QString decoded =
            page.lead[byte - 0x80] ? QString() : windowsDecode(number, QByteArrayView(&c, 1));
        page.high[byte - 0x80] =
            decoded.size() == 1 ? decoded[0].unicode() : char16_t(QChar::ReplacementCharacter);
    }
    page.name = name;
    page.number = number;
    return page;
}
#else
CodePage loadCodePage(int number, const char* name) {
    CodePage page;
    QStringDecoder decoder(name);
    if (!decoder.isValid())
        return page;
    for (int byte = 0x80; byte <= 0xff; ++byte) {
        const char c = char(byte);
        const QString decoded = decoder.decode(QByteArrayView(&c, 1));
        page.lead[byte - 0x80] = decoded.isEmpty(); // the decoder waits for a second byte
        page.high[byte - 0x80] =
            decoded.size() == 1 ? decoded[0].unicode() : char16_t(QChar::ReplacementCharacter);
        decoder.resetState();
    }
    page.name = name;
    page.number = number;
    return page;
}
#endif

// Windows character set numbers in font tables and their code pages. Character sets 1 (default)
// and 2 (symbol) stand for the document's own code page, as do those not listed.
constexpr std::pair<int, int> kCharsets[] = {
    {0, 1252},   {77, 10000}, {128, 932},  {129, 949},  {134, 936},  {136, 950},
    {161, 1253}, {162, 1254}, {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257},
    {204, 1251}, {222, 874},  {238, 1250}, {254, 437},  {255, 850},
};

} // namespace

const CodePage* findCodePage(qint64 number) {
    constexpr size_t count = std::size(kCodePages);
    static std::array<std::once_flag, count> loaded;
    static std::array<CodePage, count> pages;
    for (size_t i = 0; i < count; ++i) {
        if (kCodePages[i].first == number) {
            std::call_once(loaded[i], [i] {
                pages[i] = loadCodePage(kCodePages[i].first, kCodePages[i].second);
            });
            return pages[i].name ? &pages[i] : nullptr;
        }
    }
    return nullptr;
}

const CodePage& latin1() {
    static const CodePage page = [] {
        CodePage p;
        for (int i = 0; i < 128; ++i)
            p.high[i] = char16_t(0x80 + i);
        return p;
    }();
    return page;
}

int charsetCodePage(qint64 charset) {
    for (const auto& [set, codePage] : kCharsets) {
        if (set == charset)
            return codePage;
    }
    return 0;
}

void RunDecoder::start(const CodePage& page, quint8 lead) {
    page_ = &page;
#ifndef Q_OS_WIN
    const auto known = std::find_if(decoders_.begin(), decoders_.end(),
                                    [&](const auto& d) { return d.first == &page; });
    decoder_ = known != decoders_.end()
                   ? known->second.get()
                   : decoders_.emplace_back(&page, std::make_unique<QStringDecoder>(page.name))
                         .second.get();
#endif
    feed(lead);
}

// Decodes the bytes held so far onto the text; returns where their characters begin.
qsizetype RunDecoder::decode() {
    const qsizetype start = text_.size();
#ifdef Q_OS_WIN
    // The system's conversion keeps no state: a first byte whose second is still to come waits
    // for the next bytes.
    const int keep = leadPending_ ? 1 : 0;
    text_ += windowsDecode(page_->number, QByteArrayView(bytes_.data(), length_ - keep));
    if (keep)
        bytes_[0] = bytes_[length_ - 1];
    length_ = keep;
    return start;
#endif
    text_.resize(start + decoder_->requiredSpace(length_));
    const QChar* end =
        decoder_->appendToBuffer(text_.data() + start, QByteArrayView(bytes_.data(), length_));
    text_.resize(end - text_.constData());
    length_ = 0;
    return start;
}

// A line feed, which no pair holds, goes after the run: the decoder gives up on an incomplete
// pair and starts the next run afresh.
void RunDecoder::finish() {
#ifdef Q_OS_WIN
    // A first byte without its second becomes the replacement character.
    const bool alone = leadPending_;
    leadPending_ = false;
    length_ -= alone ? 1 : 0;
    decode();
    if (alone)
        text_ += QChar::ReplacementCharacter;
#else
    if (length_ == 1 && leadPending_) {
        // A first byte alone, after nothing the decoder still holds: no need to ask it.
        text_ += QChar::ReplacementCharacter;
        length_ = 0;
    } else {
        bytes_[length_++] = '\n';
        const qsizetype start = decode();
        if (text_.size() > start && text_.back() == u'\n')
            text_.chop(1);
        if (leadPending_) {
            // A first byte without its second: whatever the decoder put for it (decoders differ)
            // becomes the replacement character.
            if (text_.size() > start &&
                (text_.back() == QChar::ReplacementCharacter || text_.back() == u'\x1a'))
                text_.back() = QChar::ReplacementCharacter;
            else
                text_ += QChar::ReplacementCharacter;
        }
    }
#endif
    page_ = nullptr;
    decoder_ = nullptr;
    leadPending_ = false;
}

} // namespace rtf
