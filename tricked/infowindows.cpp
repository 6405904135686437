#include "tricked/infowindows.h"

namespace tricked {

const QString kInstructionsText = QStringLiteral(
    "To use Ovra3 Trick Ed follow these directions: 1. Pick the trick you want to replace in "
    "the Replace combo box, 2. Pick the trick you want to write over the file you picked "
    "previously, and 3. Press Transform It! It's that simple. To make a trick configuration "
    "file: 1. Select File...New Trick Config File. 2. Make your changes. 3 Select File...Save "
    "Trick Config File. You can distribute these so other people can experience your creative "
    "genius. For legal and contact information, see the About box.");

QString historyText() {
    const auto blanks = [](int n) { return QString(n, u' '); };
    return QStringLiteral("I started making this program because I noticed that it was easier "
                          "to edit tricks than in Ovra2PC and nobody had made a program to do "
                          "this. I recently came up with the idea of creating tcg (Trick "
                          "Config) files that were distributable so that people could share "
                          "their trick configs.") +
           blanks(37) + QStringLiteral("History") + blanks(24) +
           QStringLiteral("Version 0.1b - there is nothing but combo boxes with the trick names "
                          "in them.") +
           blanks(39) + QStringLiteral("Version 1 - able to copy tricks, but no tcg files yet.") +
           blanks(31) + QStringLiteral("Version 1.5 - tcg files have arrived!") + blanks(43) +
           QStringLiteral("Thanks to RampNet & O3Zone!");
}

using Item = ovra::look::InfoItem;

ovra::look::InfoWindow instructionsWindow() {
    return {QStringLiteral("frmInstructions"),
            QStringLiteral("Instructions"),
            2550,
            3570,
            {{Item::Text, QStringLiteral("Label1"), kInstructionsText, {120, 120, 2295, 3495}}}};
}

ovra::look::InfoWindow historyWindow() {
    return {
        QStringLiteral("frmHistory"),
        QStringLiteral("History and Info"),
        2640,
        3930,
        {{Item::BlankRunText, QStringLiteral("Label1"), historyText(), {120, 120, 2415, 3735}}}};
}

ovra::look::InfoWindow aboutWindow() {
    return {QStringLiteral("frmAbout"),
            QStringLiteral("About"),
            4020,
            5550,
            {{Item::Text,
              QStringLiteral("Label1"),
              QStringLiteral("Ovra3 Trick Ed"),
              {0, 120, 3975, 495},
              19.5,
              true},
             {Item::Text,
              QStringLiteral("Label2"),
              QStringLiteral("Version 1.05. A free tool made by players, not by the makers of "
                             "Ovra3. It copies files into your game; keep your game CD at hand to "
                             "restore them. Use at your own risk."),
              {240, 660, 3615, 960}},
             {Item::Picture,
              QStringLiteral("Image1"),
              QStringLiteral(":/pictures/about.bmp"),
              {600, 1680, 2895, 1455}},
             {Item::Picture,
              QStringLiteral("Image2"),
              QStringLiteral(":/pictures/about.gif"),
              {600, 3360, 2895, 1095}},
             {Item::Text,
              QStringLiteral("Label3"),
              QStringLiteral("For more programs and modifications for Ovra3, visit "
                             "rampnet.example. For news about Ovra3, visit o3zone.example."),
              {240, 4680, 3855, 975}}}};
}

} // namespace tricked
