#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <QTest>

namespace {

// Written out by hand rather than taken from the writer, so that a change to it shows.
const QByteArray kHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS "
    "Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}{\\f2\\fswiss MS Sans "
    "Serif;}}\r\n{\\colortbl\\red0\\green0\\blue0;}\r\n\\deflang1033\\pard\\plain"
    "\\f2\\fs17 ";
const QByteArray kTail = "\r\n\\par }\r\n";

// A literal's bytes, NULs included.
template <size_t N> QByteArray bytes(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

QByteArray nested(int depth) {
    return "{\\rtf1" + QByteArray(depth - 1, '{') + "x" + QByteArray(depth, '}');
}

// A Trick Config line: 659 records of 8 characters, digits padded with spaces.
QString trickConfigLine() {
    QString line;
    for (int i = 0; i < 659; ++i) {
        const QString field = QString::number(i).leftJustified(4);
        line += field + field;
    }
    return line;
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void writerBytes_data();
    void writerBytes();
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void longLineWrappedInSource();
};

void TestRtf::roundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("separator only") << QStringLiteral(" - ");
    QTest::newRow("caption") << QStringLiteral("Artist - Title");
    QTest::newRow("outer spaces") << QStringLiteral("  two  spaces  ");
    QTest::newRow("two lines") << QStringLiteral("one\ntwo");
    QTest::newRow("trailing newline") << QStringLiteral("line\n");
    QTest::newRow("newlines only") << QStringLiteral("\n\n");
    QTest::newRow("syntax characters") << QStringLiteral("\\{}");
    QTest::newRow("word-like text after backslash") << QStringLiteral("\\par\\u65?");
    QTest::newRow("emoji") << QStringLiteral("guitar 🎸 drum 🥁");
    QTest::newRow("tabs") << QStringLiteral("\ta\t\tb\t");
    QTest::newRow("carriage returns") << QStringLiteral("\r a\r\nb\r");
    QTest::newRow("digits and marks after escapes")
        << QStringLiteral("é5 €a 日? \t7 {1} \\2 \u00810 \u0080?");
    QTest::newRow("trick config line") << trickConfigLine();
    QTest::newRow("Polish") << QStringLiteral("Zażółć gęślą jaźń");
    QTest::newRow("Czech") << QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy");
    QTest::newRow("Russian") << QStringLiteral("Съешь же ещё этих мягких булок - Ёж");
    QTest::newRow("Greek") << QStringLiteral("Καλημέρα κόσμε - Ωδή");
    QTest::newRow("Turkish") << QStringLiteral("Pijamalı hasta yağız şoföre çabucak güvendi - İ");
    QTest::newRow("Japanese") << QStringLiteral("日本語の歌 - ｱｰﾃｨｽﾄ");

    QString all;
    for (int c = 0; c <= 0xffff; ++c)
        all += QChar(char16_t(c));
    QTest::newRow("every UTF-16 code unit") << all;
}

void TestRtf::roundTrip() {
    QFETCH(QString, text);
    const rtf::ReadResult result = rtf::read(rtf::write(text));
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.text, text);
}

void TestRtf::writerBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("one line") << QStringLiteral("Hello") << kHead + "Hello" + kTail;
    QTest::newRow("empty") << QString() << kHead + kTail;
    QTest::newRow("separator") << QStringLiteral(" - ") << kHead + " - " + kTail;
    QTest::newRow("two lines") << QStringLiteral("a\nb") << kHead + "a\r\n\\par b" + kTail;
    QTest::newRow("trailing newline") << QStringLiteral("a\n") << kHead + "a\r\n\\par " + kTail;
    QTest::newRow("escapes") << QStringLiteral("\\{}") << kHead + "\\\\\\{\\}" + kTail;
    QTest::newRow("tab") << QStringLiteral("a\tb") << kHead + "a\\tab b" + kTail;
    QTest::newRow("control characters")
        << QString::fromLatin1("\x01\x7f") << kHead + "\\'01\\'7f" + kTail;
    QTest::newRow("carriage return") << QStringLiteral("a\r") << kHead + "a\\'0d" + kTail;
    QTest::newRow("e acute, no-break space")
        << QStringLiteral("é\u00a0") << kHead + "\\'e9\\'a0" + kTail;
    QTest::newRow("euro") << QStringLiteral("€") << kHead + "\\'80" + kTail;
    QTest::newRow("CJK") << QStringLiteral("日") << kHead + "\\u26085?" + kTail;
    QTest::newRow("above 32767") << QStringLiteral("\uff21") << kHead + "\\u-223?" + kTail;
    QTest::newRow("surrogate pair") << QStringLiteral("🎸") << kHead + "\\u-10180?\\u-8264?" + kTail;
    QTest::newRow("unassigned in code page")
        << QStringLiteral("\u0081") << kHead + "\\u129?" + kTail;
}

void TestRtf::writerBytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(rtf::write(text), expected);
}

// Documents in the forms other programs write, and odd but harmless input.
void TestRtf::accepted_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("text");

    QTest::newRow("minimal") << QByteArray("{\\rtf1 Hello}") << "Hello";
    QTest::newRow("editor with generator and trailing NUL")
        << bytes("{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0"
                 "\\fnil\\fcharset0 Calibri;}}\r\n{\\*\\generator Writer 10.0.1;}\\viewkind4"
                 "\\uc1 \r\n\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 Caf\\'e9 au lait"
                 "\\par\r\nSecond line\\par\r\n}\r\n\0")
        << "Café au lait\nSecond line";
    QTest::newRow("word processor with tables of everything")
        << QByteArray("{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff0\\deff0{\\fonttbl"
                      "{\\f0\\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New "
                      "Roman;}{\\f1\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
                      "{\\*\\defchp \\fs22 }{\\stylesheet{\\ql \\f0 Normal;}{\\*\\cs10 Default "
                      "Paragraph Font;}}{\\*\\listtable{\\list\\listtemplateid1{\\listlevel"
                      "{\\leveltext\\'01\\u-3913 ?;}}}}{\\*\\rsidtbl \\rsid123}{\\info{\\title "
                      "Draft}{\\author Somebody}{\\creatim\\yr2024\\mo5\\dy1}}{\\header \\pard "
                      "page head\\par}{\\footer \\pard page foot\\par}{\\*\\themedata 504b0304}"
                      "\r\n\\pard\\plain \\ltrpar\\ql \\rtlch\\af0 \\ltrch\\f0 {\\b Caf\\uc1\\u233"
                      "? }{au lait}{\\super\\chftn}{\\footnote \\pard note text}\\par\r\n{\\field"
                      "{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\par\r\n{\\*\\datastore "
                      "0105}}")
        << "Café au lait\nlink";
    QTest::newRow("office suite with two-byte fallbacks")
        << QByteArray(
               "{\\rtf1\\ansi\\deff4\\adeflang1025\r\n{\\fonttbl{\\f0\\froman\\fprq2"
               "\\fcharset0 Serif;}}{\\colortbl;\\red0\\green0\\blue0;}{\\stylesheet{\\s0"
               "\\snext0 Normal;}}{\\*\\generator Suite/7.5}{\\info{\\creatim\\yr2024}}"
               "\\pard\\plain \\s0{\\rtlch \\ltrch\\loch\\uc2 \\u26085\\'93\\'fa one}\\par }")
        << "日 one";
    QTest::newRow("backslash before line end is a paragraph")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\xyzrtf2580\r\n{\\fonttbl\\f0\\fswiss "
                      "Helvetica;}\r\n\\pard\\tx566\\f0\\fs24 \\cf0 first\\\r\nsecond}")
        << "first\nsecond";
    QTest::newRow("line and paragraphs")
        << QByteArray("{\\rtf1 one\\line two\\par three\\par}") << "one\ntwo\nthree";
    QTest::newRow("line at the end is kept") << QByteArray("{\\rtf1 one\\line}") << "one\n";
    QTest::newRow("text after the last paragraph") << QByteArray("{\\rtf1 a\\par b}") << "a\nb";
    QTest::newRow("only one paragraph mark dropped") << QByteArray("{\\rtf1 a\\par\\par}") << "a\n";
    QTest::newRow("paragraph then empty destination")
        << QByteArray("{\\rtf1 a\\par{\\*\\x b}}") << "a";
    QTest::newRow("paragraph inside a destination")
        << QByteArray("{\\rtf1 a{\\*\\x b\\par}}") << "a";
    QTest::newRow("pard plain runs")
        << QByteArray("{\\rtf1{\\b bold}\\pard\\plain  plain}") << "bold plain";
    QTest::newRow("raw line breaks in the source")
        << QByteArray("{\\rtf1 spl\r\nit te\nxt \r\n  twice\r}") << "split text   twice";
    QTest::newRow("special symbols")
        << QByteArray("{\\rtf1 a\\~b\\-c\\_d\\emdash\\lquote}") << "a\u00a0bc\u2011d\u2014\u2018";
    QTest::newRow("tabs and table cells")
        << QByteArray("{\\rtf1 a\\tab b\tc\\cell d\\cell\\row}") << "a\tb\tc\td\t";
    QTest::newRow("binary data skipped") << bytes("{\\rtf1 a{\\pict\\bin5 {}\\\\\0}b}") << "ab";
    QTest::newRow("negative bin length") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
    QTest::newRow("code page 1252 bytes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252 \\'80\\'9F\\'E9\\'81}") << "€Ÿé\u0081";
    QTest::newRow("raw 8-bit bytes")
        << QByteArray("{\\rtf1\\ansicpg1252 caf\xe9 \x80}") << "café €";
    QTest::newRow("document code page, escaped and raw bytes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'e9\\'80 \xc0}") << "йЂ А";
    // Documents in other code pages, in the forms common editors write them.
    QTest::newRow("Polish, one font per character set")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0\\nouicompat\\deflang1045{\\fonttbl{\\f0"
                      "\\fnil\\fcharset238 Calibri;}}\r\n\\viewkind4\\uc1 \r\n\\pard\\sa200\\f0"
                      "\\fs22\\lang1045 Za\\'bf\\'f3\\'b3\\'e6 g\\'ea\\'9cl\\'b9 ja\\'9f\\'f1 - G"
                      "\\'ea\\'9c\\par\r\n}")
        << "Zażółć gęślą jaźń - Gęś";
    QTest::newRow("Russian, word processor")
        << QByteArray(
               "{\\rtf1\\adeflang1025\\ansi\\ansicpg1251\\uc1\\adeff0\\deff0{\\fonttbl{\\f0"
               "\\fbidi \\froman\\fcharset204\\fprq2{\\*\\panose 02020603050405020304}Times "
               "New Roman;}{\\f1\\fswiss\\fcharset204 Arial;}}\r\n\\pard\\plain \\f1\\lang1049 "
               "\\'d1\\'fa\\'e5\\'f8\\'fc \\'e6\\'e5 \\'e5\\'f9\\'b8, \\'a8\\'e6\\par}")
        << "Съешь же ещё, Ёж";
    QTest::newRow("Greek font mid-paragraph in a Western document")
        << QByteArray("{\\rtf1\\ansi\\deff3\\adeflang1025\r\n{\\fonttbl{\\f0\\froman\\fprq2"
                      "\\fcharset0 Serif;}{\\f1\\froman\\fprq2\\fcharset161 Serif Greek;}{\\f3"
                      "\\fswiss\\fprq2\\fcharset0 Sans;}}\\pard\\plain \\s0\\f3 Caf\\'e9 {\\f1 "
                      "\\'ca\\'e1\\'eb\\'e7\\'ec\\'dd\\'f1\\'e1} \\'e9t\\'e9 \\f1\\'d9\\'e4\\'de"
                      "\\plain\\'e9\\par }")
        << "Café Καλημέρα été Ωδήé";
    QTest::newRow("Turkish font in a Western document")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset162 "
                      "Sans;}}A\\'f0a\\'e7 \\'fd\\'fe\\'fdk \\'dd\\'de}")
        << "Ağaç ışık İŞ";
    QTest::newRow("font code page wins over its character set")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl\\f0\\fcharset0\\cpg1250 A;\\f1\\fcharset0 B;}\\f0 "
                      "P\\'f8\\'edli\\'9a \\'9elu\\'9dou\\'e8k\\'fd k\\'f9\\'f2\\f1 \\'e9}")
        << "Příliš žluťoučký kůňé";
    QTest::newRow("unknown character sets and code pages fall back")
        << QByteArray("{\\rtf1\\pca\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fcharset130 A;}{\\f1"
                      "\\fcharset2 Symbol;}{\\f2\\fcharset3\\cpg1361 B;}}\\'e9\\f1\\'e9\\f2\\'e9"
                      "{\\ansicpg1361\\'82}}")
        << "йййé";
    QTest::newRow("Japanese, Unicode with double-byte fallbacks")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932\\uc2\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                      "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\\pard\\f0\\fs21 \\u26085"
                      "\\'93\\'fa\\u26412\\'96\\'7b\\'8c\\'ea\\'82\\'c5\\'82\\'b7\\par}")
        << "日本語です";
    QTest::newRow("Japanese font, second bytes { and \\, pair across a line end")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Sans;}{\\f1"
                      "\\fnil\\fcharset128 Gothic;}}\\f1\\'93\\'fa\\'96\\'7b\\'95\\'5c\\'8e\r\n"
                      "\\'a6\\'b1\\f0  Caf\\'e9}")
        << "日本表示ｱ Café";
    QTest::newRow("raw double-byte text, second bytes as they stand or escaped")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \x83"
                      "A\x95\\'5c\x96\\{\x93\xfa}")
        << "ア表本日";
    QTest::newRow("first byte without its second")
        << QByteArray("{\\rtf1\\ansicpg932 \\'93 x\\'93\\'fa\\'93{\\'96\\'7b}\\'93}")
        << "\ufffd x日\ufffd本\ufffd";
    QTest::newRow("Mac, PC and PC-850 character sets")
        << QByteArray("{\\rtf1{\\mac Caf\\'8e \\'a5}{\\pc \\'82\\'9b\\'9d}{\\pca "
                      "\\'82\\'9b\\'9d}}")
        << "Café •é¢¥éøØ";
    QTest::newRow("code page inside a destination ignored")
        << QByteArray("{\\rtf1{\\*\\x\\ansicpg1251}\\'80}") << "€";
    QTest::newRow("fallback is a control word") << QByteArray("{\\rtf1\\u8364\\emdash x}") << "€x";
    QTest::newRow("fallback is a fallback count")
        << QByteArray("{\\rtf1\\u233\\uc0 x\\u233?}") << "éxé";
    QTest::newRow("fallback is a star") << QByteArray("{\\rtf1{\\u233\\*x}}") << "éx";
    QTest::newRow("fallback count per group") << QByteArray("{\\rtf1{\\uc0\\u233}\\u233?}") << "éé";
    QTest::newRow("opening brace ends the fallback")
        << QByteArray("{\\rtf1\\uc3\\u233{abc}}") << "éabc";
    QTest::newRow("closing brace ends the fallback")
        << QByteArray("{\\rtf1{\\uc3\\u233}abc\\u233}") << "éabcé";
    QTest::newRow("fallback count clamped high")
        << QByteArray("{\\rtf1\\uc99\\u233 abcdefghij}") << "éij";
    QTest::newRow("fallback count clamped low") << QByteArray("{\\rtf1\\uc-3\\u233?}") << "é?";
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10180?\\u-8264?}") << "🎸";
    QTest::newRow("unicode limits") << QByteArray("{\\rtf1\\u-32768?\\u65535?}") << "\u8000\uffff";
    QTest::newRow("unknown words and symbols")
        << QByteArray("{\\rtf1\\foo\\barbaz-12 a\\|b\\fs9999999999 c}") << "abc";
    QTest::newRow("every word of up to three letters but those that make text") << [] {
        QByteArray doc = "{\\rtf1";
        const auto add = [&](const QByteArray& word) {
            if (word != "u" && word != "par" && word != "row" && word != "tab")
                doc += "\\" + word + ' ';
        };
        for (char a = 'a'; a <= 'z'; ++a) {
            add(QByteArray(1, a));
            for (char b = 'a'; b <= 'z'; ++b) {
                add(QByteArray(1, a) + b);
                for (char c = 'a'; c <= 'z'; ++c)
                    add(QByteArray(1, a) + b + c);
            }
        }
        return doc + "x}";
    }() << "x";
    QTest::newRow("32-letter control word")
        << QByteArray("{\\rtf1\\abcdefghijklmnopqrstuvwxyzabcdef x}") << "x";
    QTest::newRow("unknown starred destination")
        << QByteArray("{\\rtf1 a{\\*\\dest hid}b}") << "ab";
    QTest::newRow("leading white space") << QByteArray(" \r\n\t{\\rtf1 a}") << "a";
    QTest::newRow("extra closing brace") << QByteArray("{\\rtf1 a}}") << "a";
    QTest::newRow("junk after the document") << QByteArray("{\\rtf1 a}b{{{\\'zz") << "a";
    QTest::newRow("nesting at the limit") << nested(256) << "x";
}

void TestRtf::accepted() {
    QFETCH(QByteArray, document);
    QFETCH(QString, text);
    const rtf::ReadResult result = rtf::read(document);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.text, text);
}

void TestRtf::refused_data() {
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("error");

    QTest::newRow("empty") << QByteArray() << "empty";
    QTest::newRow("plain text") << QByteArray("hello") << "not an RTF document";
    QTest::newRow("white space only") << QByteArray(" \r\n") << "not an RTF document";
    QTest::newRow("group never closed") << QByteArray("{\\rtf1 a") << "1 unclosed group";
    QTest::newRow("inner group never closed") << QByteArray("{\\rtf1 {a}{b") << "2 unclosed";
    QTest::newRow("nesting over the limit") << nested(257) << "nested deeper than 256";
    QTest::newRow("bin longer than the file")
        << QByteArray("{\\rtf1\\bin10 abc}") << "\\bin10 runs past the end";
    QTest::newRow("bin one byte too long") << QByteArray("{\\rtf1\\bin5 abc}") << "runs past";
    QTest::newRow("huge bin") << QByteArray("{\\rtf1\\bin9999999999 }") << "runs past the end";
    QTest::newRow("11-digit parameter")
        << QByteArray("{\\rtf1\\fs12345678901 a}") << "longer than 10 digits";
    QTest::newRow("11-digit negative parameter")
        << QByteArray("{\\rtf1\\li-00000000001 a}") << "longer than 10 digits";
    QTest::newRow("unicode above range") << QByteArray("{\\rtf1\\u70000?}") << "out of range";
    QTest::newRow("unicode just above range") << QByteArray("{\\rtf1\\u65536?}") << "out of range";
    QTest::newRow("unicode just below range") << QByteArray("{\\rtf1\\u-32769?}") << "out of range";
    QTest::newRow("unicode below range") << QByteArray("{\\rtf1\\u-40000?}") << "out of range";
    QTest::newRow("unicode range checked in a fallback")
        << QByteArray("{\\rtf1\\u233\\u70000}") << "out of range";
    QTest::newRow("unicode without a number") << QByteArray("{\\rtf1\\u}") << "\\u without";
    QTest::newRow("unicode at the end") << QByteArray("{\\rtf1 \\u233") << "unclosed";
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 \\'4") << "two hex digits";
    QTest::newRow("one hex digit") << QByteArray("{\\rtf1 \\'4}") << "two hex digits";
    QTest::newRow("not hex") << QByteArray("{\\rtf1 \\'zz}") << "two hex digits (at byte 9)";
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 a\\") << "after a backslash";
    QTest::newRow("33-letter control word")
        << QByteArray("{\\rtf1\\abcdefghijklmnopqrstuvwxyzabcdefg x}") << "longer than 32";
    QTest::newRow("NUL byte") << bytes("{\\rtf1 a\0b}") << "NUL byte, which is no text (at byte 8)";
    QTest::newRow("NUL after backslash") << bytes("{\\rtf1 a\\\0}") << "NUL byte";
    QTest::newRow("too many fonts") << [] {
        QByteArray doc = "{\\rtf1{\\fonttbl";
        for (int i = 0; i <= 4096; ++i)
            doc += "{\\f" + QByteArray::number(i) + "\\fcharset0 x;}";
        return doc + "}}";
    }() << "more than 4096 fonts";
    QTest::newRow("over the size limit")
        << "{\\rtf1 " + QByteArray(rtf::kMaxDocumentSize, 'a') + "}"
        << "too large";
}

void TestRtf::refused() {
    QFETCH(QByteArray, document);
    QFETCH(QString, error);
    const rtf::ReadResult result = rtf::read(document);
    QVERIFY(!result.ok);
    QVERIFY(result.text.isEmpty());
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
}

// Editors wrap long lines in the file anywhere, even inside runs of spaces; the breaks are
// not text.
void TestRtf::longLineWrappedInSource() {
    const QString line = trickConfigLine();
    QCOMPARE(line.size(), 5272);
    QByteArray body = line.toLatin1();
    for (qsizetype at = 253; at < body.size(); at += 255)
        body.insert(at, "\r\n");
    const QByteArray document =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern Courier New;}}\r\n\\pard\\f0\\fs20 " + body +
        "\r\n\\par\r\n}\r\n";
    const rtf::ReadResult result = rtf::read(document);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.text, line);
}

QTEST_GUILESS_MAIN(TestRtf)
#include "tst_rtf.moc"
