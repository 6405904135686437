#pragma once

// Every window of both programs, once, as data: where each control stands (twips: left, top,
// width, height) and the text, font size and paint that are checked. tst_programwindows checks
// the real windows against it, and every window against the rules in check::window.
#include <QList>
#include <QMetaType>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

namespace layouts {

struct Control {
    enum Paint {
        Any,          // not checked
        GreenOnBlack, // a label: green text on black, drawn so
        GreenList,    // a list drawn green on black
        Green,        // a separator line
        Standard,     // the toolkit's colours, not the black window's
        Entry,        // a white field that takes typing
    };
    Control() = default;
    Control(QString name, QRect twips, QString text = {}, double points = 0, Paint paint = Any)
        : name(std::move(name)), twips(twips), text(std::move(text)), points(points), paint(paint) {
    }

    QString name;
    QRect twips;       // a null rectangle: the control must not exist
    QString text;      // caption or initial text; a null string: not checked
    double points = 0; // font size; 0: not checked
    Paint paint = Any;
};

struct Window {
    QString program = {}; // "media" or "trick"
    QString name = {};    // object name
    QString opener = {};  // the menu item that opens it, "transform" (a music replacement), or
                          // empty: it opens with the program
    QString caption = {};
    QSize twips = {}; // the client area
    QList<Control> controls = {};
    QStringList tabOrder = {};
    // Where the window breaks the rules, as it has always done: controls that overlap ("A/B"),
    // that reach past its edge, and labels whose text it cuts off.
    QStringList overlapping = {};
    QStringList pastTheEdge = {};
    QStringList cutOff = {};
    int textSlack = 0;      // pixels by which a text may be wider than its label
    bool frameless = false; // no frame, so no frame's buttons to check
};

inline const QList<Window>& windows() {
    using C = Control;
    const QString song = QStringLiteral("Select a song"), movie = QStringLiteral("Select a movie"),
                  trick = QStringLiteral("Select a trick"), go = QStringLiteral("Transform it!");
    const QString directoryText = QStringLiteral(
        "Specify your Ovra3 Directory and CD Drive and click OK. Make sure that when you choose "
        "your Ovra3 directory, that the icon is showing that the Ovra3 folder is open and it's "
        "subfolders are displayed.");
    static const QList<Window> all = {
        {.program = "media",
         .name = "frmOvra3MedEd",
         .caption = "Ovra 3 Media Editor",
         .twips = {8055, 7755},
         .controls = {{"Combo1", {4200, 720, 3735, 315}, movie, 8, C::Standard},
                      {"Command3", {4200, 2520, 3735, 615}, go, 8, C::Standard},
                      {"Command2", {4200, 1320, 3735, 375}, movie, 8, C::Standard},
                      {"Command1", {120, 1320, 3855, 375}, song, 8, C::Standard},
                      {"ProgressBar1", {120, 3240, 7815, 255}, {}, 8, C::Standard},
                      {"StatusBar1", {0, 7500, 8055, 255}, {}, 8, C::Standard},
                      {"cmdTransform", {120, 2520, 3855, 615}, go, 8, C::Standard},
                      {"cboReplace", {120, 720, 3855, 315}, song, 8, C::Standard},
                      {"Label8", {4200, 3600, 2535, 255}, "Preview Movie", 8, C::GreenOnBlack},
                      {"MediaPlayer2", {4200, 3960, 3735, 3375}, {}, 8},
                      {"Label7", {5160, 120, 2055, 375}, "Movie Editor", 13.5, C::GreenOnBlack},
                      {"Label6", {1080, 120, 2055, 375}, "Music Editor", 13.5, C::GreenOnBlack},
                      {"Line1", {4080, 120, 15, 3000}, {}, 8, C::Green},
                      {"Label5", {120, 3600, 2535, 255}, "Preview Music", 8, C::GreenOnBlack},
                      {"MediaPlayer1", {120, 3960, 3855, 3375}, {}, 8},
                      {"Label4", {4200, 1800, 3975, 615}, "", 8, C::GreenOnBlack},
                      {"Label3", {4200, 480, 1695, 255}, "Replace", 8, C::GreenOnBlack},
                      {"Label2", {4200, 1080, 2055, 255}, "With", 8, C::GreenOnBlack},
                      {"Label1", {120, 1800, 3975, 615}, "", 8, C::GreenOnBlack},
                      {"lblWith", {120, 1080, 2055, 255}, "With", 8, C::GreenOnBlack},
                      {"lblReplace", {120, 480, 1695, 255}, "Replace", 8, C::GreenOnBlack}},
         // The players' own buttons lie between a player and the next control.
         .tabOrder = {"cboReplace", "cmdTransform", "Command1", "Command2", "Command3", "Combo1",
                      "MediaPlayer1", "MediaPlayer2"},
         .overlapping = {"Combo1/Label3", "Command2/Label2", "Command1/lblWith",
                         "cboReplace/lblReplace", "Label7/Label3", "Label6/lblReplace",
                         "Line1/Label1"},
         .pastTheEdge = {"Label4"}},
        {.program = "media",
         .name = "frmAbout",
         .opener = "mnuAbout",
         .caption = "About",
         .twips = {4020, 5550},
         .controls = {{"Label1", {0, 120, 3975, 495}, "Ovra3 Music Ed", 19.5, C::GreenOnBlack},
                      {"Label2", {240, 720, 3615, 975}, {}, 8, C::GreenOnBlack},
                      {"Image1", {600, 1800, 2895, 1455}},
                      {"Image2", {600, 3360, 2895, 1095}},
                      {"Label3", {240, 4680, 3855, 975}, {}, 8, C::GreenOnBlack}},
         .pastTheEdge = {"Label3"}},
        {.program = "media",
         .name = "frmInstructions",
         .opener = "mnuInstructions",
         .caption = "Instructions",
         .twips = {2550, 2430},
         .controls = {{"Label1",
                       {120, 120, 2295, 3495},
                       "To use Ovra3 Media Ed follow these directions: 1. Pick the song or movie "
                       "you want to replace in the Replace combo box, 2. Pick the song or movie  "
                       "you want to write over the file you picked previously, and 3. Press "
                       "Transform It! on the correct side. It's that simple. For legal and "
                       "contact information, see the About box.",
                       8,
                       C::GreenOnBlack}},
         .pastTheEdge = {"Label1"},
         .cutOff = {"Label1"}},
        {.program = "media",
         .name = "frmSoundtrack",
         .caption = "Current Soundtrack",
         .twips = {7005, 7710},
         // The captions are what the slot files hold: the suite starts the program on empty ones.
         .controls = {{"Label4", {120, 0, 6735, 375}, "Current Soundtrack", 13.5, C::GreenOnBlack},
                      {"Line1", {3480, 480, 15, 7080}, {}, 0, C::Green},
                      {"Label2_0", {480, 480, 3000, 645}, "", 12, C::GreenOnBlack},
                      {"Label2_9", {480, 6960, 3000, 645}, "", 12, C::GreenOnBlack},
                      {"Label2_10", {3960, 480, 3000, 645}, "", 12, C::GreenOnBlack},
                      {"Label2_18", {3960, 6240, 3000, 645}, "", 12, C::GreenOnBlack},
                      {"Label1", {120, 480, 255, 645}, "1", 12, C::GreenOnBlack},
                      {"Label9", {120, 3360, 255, 645}, "5", 12, C::GreenOnBlack},
                      {"Label19", {120, 6960, 255, 645}, "10", 12, C::GreenOnBlack},
                      {"Label21", {3600, 480, 255, 645}, "11", 12, C::GreenOnBlack},
                      {"Label37", {3600, 6240, 255, 645}, "19", 12, C::GreenOnBlack}},
         .textSlack = 1, // the numbers from 10 on are a pixel wider than their labels
         .frameless = true},
        {.program = "media",
         .name = "frmSongInfo",
         .opener = "transform",
         .caption = "Song Info",
         .twips = {4680, 3195},
         .controls = {{"Label1", {120, 240, 1575, 375}, "Song Name", 12, C::GreenOnBlack},
                      {"Label2", {120, 1440, 1575, 375}, "Artist", 12, C::GreenOnBlack},
                      {"RichTextBox1", {240, 720, 4215, 615}, {}, 8, C::Entry},
                      {"RichTextBox2", {240, 1920, 4215, 615}, {}, 8, C::Entry},
                      {"Command1", {1560, 2760, 1575, 375}, "OK", 8, C::Standard}}},
        {.program = "media",
         .name = "frmDirectoryInfo",
         .opener = "mnuDirectory",
         .caption = "Directory and Drive Info",
         .twips = {4050, 3420},
         .controls = {{"Label1", {120, 120, 3735, 975}, directoryText, 8, C::GreenOnBlack},
                      {"Dir1", {120, 1200, 3735, 990}, {}, 0, C::GreenList},
                      {"Drive2", {120, 2160, 3735, 315}},
                      {"Line1", {120, 2520, 3720, 15}, {}, 0, C::Green},
                      {"Drive1", {120, 2640, 3735, 315}, {}, 0, C::GreenList},
                      {"Command1", {120, 3120, 3735, 255}, "OK", 8, C::Standard}},
         .tabOrder = {"Dir1", "Drive1", "Command1", "Drive2"},
         .overlapping = {"Dir1/Drive2"}},
        {.program = "trick",
         .name = "frmOvra3TrickEd",
         .caption = "Ovra 3 Trick Editor",
         .twips = {5685, 2640},
         .controls = {{"lblReplace", {120, 0, 1695, 255}, "Replace", 8, C::GreenOnBlack},
                      {"cboReplace", {120, 240, 5415, 315}, trick, 8, C::Standard},
                      {"lblWith", {120, 600, 2055, 255}, "With", 8, C::GreenOnBlack},
                      {"cboWith", {120, 840, 5415, 315}, trick, 8, C::Standard},
                      {"cmdTransform", {120, 1320, 5415, 615}, go, 8, C::Standard},
                      {"ProgressBar1", {120, 2040, 5415, 255}, {}, 0, C::Standard},
                      {"StatusBar1", {0, 2385, 5685, 255}, {}, 0, C::Standard}},
         .tabOrder = {"cboReplace", "cboWith", "cmdTransform"},
         .overlapping = {"lblReplace/cboReplace", "lblWith/cboWith"}},
        {.program = "trick",
         .name = "frmInstructions",
         .opener = "mnuInstructions",
         .caption = "Instructions",
         .twips = {2550, 3570},
         .controls = {{"Label1",
                       {120, 120, 2295, 3495},
                       "To use Ovra3 Trick Ed follow these directions: 1. Pick the trick you want "
                       "to replace in the Replace combo box, 2. Pick the trick you want to write "
                       "over the file you picked previously, and 3. Press Transform It! It's that "
                       "simple. To make a trick configuration file: 1. Select File...New Trick "
                       "Config File. 2. Make your changes. 3 Select File...Save Trick Config "
                       "File. You can distribute these so other people can experience your "
                       "creative genius. For legal and contact information, see the About box.",
                       8,
                       C::GreenOnBlack}},
         .pastTheEdge = {"Label1"}},
        // Its text is checked with the trick editor's own tests.
        {.program = "trick",
         .name = "frmHistory",
         .opener = "mnuHistory",
         .caption = "History and Info",
         .twips = {2640, 3930},
         .controls = {{"Label1", {120, 120, 2415, 3735}, {}, 8, C::GreenOnBlack}}},
        {.program = "trick",
         .name = "frmAbout",
         .opener = "mnuAbout",
         .caption = "About",
         .twips = {4020, 5550},
         .controls = {{"Label1", {0, 120, 3975, 495}, "Ovra3 Trick Ed", 19.5, C::GreenOnBlack},
                      {"Label2", {240, 660, 3615, 960}, {}, 8, C::GreenOnBlack},
                      {"Image1", {600, 1680, 2895, 1455}},
                      {"Image2", {600, 3360, 2895, 1095}},
                      {"Label3", {240, 4680, 3855, 975}, {}, 8, C::GreenOnBlack}},
         .pastTheEdge = {"Label3"}},
        {.program = "trick",
         .name = "frmDirectoryInfo",
         .opener = "mnuSpecifyDir",
         .caption = "Directory and Drive Info",
         .twips = {4050, 3480},
         .controls = {{"Label1", {120, 120, 3735, 975}, directoryText, 8, C::GreenOnBlack},
                      {"Dir1", {120, 1200, 3735, 1215}, {}, 0, C::GreenList},
                      {"Drive2", {}},
                      {"Line1", {}},
                      {"Drive1", {120, 2640, 3735, 315}, {}, 0, C::GreenList},
                      {"Command1", {120, 3120, 3735, 255}, "OK", 8, C::Standard}},
         .tabOrder = {"Dir1", "Drive1", "Command1"}},
    };
    return all;
}

} // namespace layouts

Q_DECLARE_METATYPE(layouts::Control)
