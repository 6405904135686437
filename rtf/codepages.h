#pragma once

// The code pages the reader decodes bytes in, and the decoder of runs in double-byte ones.

#include <QString>
#include <QStringDecoder>

#include <array>
#include <bitset>
#include <memory>
#include <utility>
#include <vector>

namespace rtf {

// What a code page makes of the upper half of the bytes, taken once from its decoder and shared
// by every read. The lower half is ASCII in all of them. The decoders are Qt's ICU-backed ones;
// on Windows, where Qt has no code pages, the system's own conversion.
struct CodePage {
    const char* name = nullptr;       // null when the decoder is not available
    int number = 0;                   // as Windows numbers it
    std::array<char16_t, 128> high{}; // the character of each byte 0x80..0xFF standing alone
    std::bitset<128> lead; // the bytes 0x80..0xFF that begin a pair (double-byte code pages)
};

// The code page of that number, or null when we have no decoder for it.
const CodePage* findCodePage(qint64 number);

// The last resort where not even Windows-1252 can be decoded: bytes as Latin-1.
const CodePage& latin1();

// The code page of a Windows character set number in a font table; 0 for the document's own.
int charsetCodePage(qint64 charset);

// A byte that may stand second in a pair of any of our double-byte code pages, and that the
// document can hold as it stands or with a backslash (\\, \{, \}).
inline bool isTrailAscii(quint8 b) {
    return b >= 0x40 && b <= 0x7e;
}

// A run of bytes in a double-byte code page, decoded together onto the text because the two
// bytes of a character come apart in the document. One decoder per code page, created on first
// use and kept for the whole read.
class RunDecoder {
public:
    explicit RunDecoder(QString& text) : text_(text) {}

    bool active() const { return page_ != nullptr; }
    // The last byte of the run begins a pair.
    bool leadPending() const { return leadPending_; }
    // The byte belongs to the run in progress.
    bool continues(quint8 b) const {
        return page_ && (b >= 0x80 || (leadPending_ && isTrailAscii(b)));
    }
    // Begins a run in that code page with a byte that begins a pair.
    void start(const CodePage& page, quint8 lead);
    void feed(quint8 b) {
        leadPending_ = !leadPending_ && b >= 0x80 && page_->lead[b - 0x80];
        bytes_[length_++] = char(b);
        if (length_ == int(bytes_.size()) - 1) // one place stays free for finish's line feed
            decode();
    }
    // Anything else than a byte that continues it ends a run.
    void end() {
        if (page_)
            finish();
    }

private:
    qsizetype decode();
    void finish();

    QString& text_;
    const CodePage* page_ = nullptr; // of the run in progress; null between runs
    QStringDecoder* decoder_ = nullptr;
    bool leadPending_ = false;
    std::array<char, 256> bytes_{};
    int length_ = 0;
    std::vector<std::pair<const CodePage*, std::unique_ptr<QStringDecoder>>> decoders_;
};

} // namespace rtf
