// RTF reading throughput on large valid documents and on hostile documents at the size cap,
// each of which makes the reader walk all 16 MiB before refusing. Two ratios: against Qt's
// Latin-1 conversion of the same bytes (the least any reader must do), and the cost per MiB at
// 16 MiB against 1 MiB, near 1 for a linear reader. Where a case produces much text, the latter
// also counts fresh pages: the 16 MiB result is mapped anew on every run, while a 1 MiB one
// reuses freed heap.
#include "bench/benchutil.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QList>

namespace {

// `unit` repeated after `head` up to exactly `size` bytes, padded with text, with `tail`.
QByteArray fill(const QByteArray& head, const QByteArray& unit, qsizetype size,
                const QByteArray& tail = {}) {
    QByteArray doc = head;
    doc.reserve(size);
    while (doc.size() + unit.size() + tail.size() <= size)
        doc += unit;
    doc += QByteArray(size - doc.size() - tail.size(), 'x');
    return doc + tail;
}

struct Case {
    const char* label;
    bool valid;
    QByteArray (*make)(qsizetype size);
};

const Case kCases[] = {
    {"valid: formatted paragraphs", true,
     [](qsizetype size) {
         return fill("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Sans;}}\\pard ",
                     "{\\b Caf\\'e9} 12   34   \\u26085?\\tab text of a line\\par\r\n", size, "}");
     }},
    {"valid: our own slot-file form", true,
     [](qsizetype size) {
         const QString line = QStringLiteral("658 658 Artist - Title é€ 日本\n");
         const qsizetype perLine = rtf::write(line + line).size() - rtf::write(line).size();
         return rtf::write(line.repeated((size - rtf::write({}).size()) / perLine));
     }},
    {"valid: double-byte text in a font", true,
     [](qsizetype size) {
         return fill("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Sans;}{\\f1\\fcharset128 "
                     "Gothic;}}\\pard\\f1 ",
                     "\\'93\\'fa\\'96\\'7b\\'8c\\'ea\\'82\\'c5\\'82\\'b7 {\\f0 Caf\\'e9}\\par\r\n",
                     size, "}");
     }},
    {"hostile: text, never closed", false,
     [](qsizetype size) { return fill("{\\rtf1 ", "a", size); }},
    {"hostile: group churn at depth 256", false,
     [](qsizetype size) {
         return fill("{\\rtf1", QByteArray(255, '{') + QByteArray(255, '}'), size);
     }},
    {"hostile: short unknown words", false,
     [](qsizetype size) { return fill("{\\rtf1", "\\a", size); }},
    {"hostile: 32-letter words, 10 digits", false,
     [](qsizetype size) {
         return fill("{\\rtf1", "\\abcdefghijklmnopqrstuvwxyzabcdef-1234567890 ", size);
     }},
    {"hostile: unicode with fallback", false,
     [](qsizetype size) { return fill("{\\rtf1", "\\u-10180?", size); }},
    {"hostile: hex escapes", false, [](qsizetype size) { return fill("{\\rtf1", "\\'e9", size); }},
    {"hostile: short double-byte runs", false,
     [](qsizetype size) { return fill("{\\rtf1\\ansicpg932", "\\'93\\'fa ", size); }},
    {"hostile: zero-length bin", false,
     [](qsizetype size) { return fill("{\\rtf1", "\\bin0 ", size); }},
};

// Median milliseconds for one read, checking that it ends as the case expects.
double timeRead(const Case& c, const QByteArray& doc, int runs) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        rtf::ReadResult result;
        times.push_back(bench::millis([&] { result = rtf::read(doc); }));
        if (result.ok != c.valid)
            qFatal("%s: unexpected outcome: %s", c.label, qPrintable(result.error));
    }
    return bench::median(times);
}

double timeReference(const QByteArray& doc, int runs) {
    std::vector<double> times;
    for (int r = 0; r < runs; ++r)
        times.push_back(bench::millis([&] { (void)QString::fromLatin1(doc); }));
    return bench::median(times);
}

} // namespace

int main() {
    const int runs = 5;
    const qsizetype mib = 1024 * 1024;
    auto& o = bench::out();
    o << "RTF reading at the 16 MiB cap, median of " << runs << " runs\n";
    double worst = 1e300;
    for (const Case& c : kCases) {
        const QByteArray doc = c.make(rtf::kMaxDocumentSize);
        const QByteArray small = c.make(mib);
        const double ms = timeRead(c, doc, runs);
        const double perMib = ms / (double(doc.size()) / mib);
        const double smallPerMib = timeRead(c, small, runs) / (double(small.size()) / mib);
        const double rate = 1000.0 / perMib;
        if (!c.valid)
            worst = std::min(worst, rate);
        o << QString("  %1 %2 MiB/s  %3 ms  vs Latin-1 %4  per MiB vs 1 MiB %5\n")
                 .arg(QString::fromLatin1(c.label), -38)
                 .arg(rate, 6, 'f', 1)
                 .arg(ms, 6, 'f', 1)
                 .arg(ms / timeReference(doc, runs), 4, 'f', 2)
                 .arg(perMib / smallPerMib, 5, 'f', 2);
    }
    o << QString("  worst hostile case: %1 MiB/s\n").arg(worst, 0, 'f', 1);
    o.flush();
    return 0;
}
