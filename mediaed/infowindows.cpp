#include "mediaed/infowindows.h"

namespace mediaed {

using Item = ovra::look::InfoItem;

ovra::look::InfoWindow aboutWindow() {
    return {QStringLiteral("frmAbout"),
            QStringLiteral("About"),
            4020,
            5550,
            {{Item::Text,
              QStringLiteral("Label3"),
              QStringLiteral("For more programs and modifications for Ovra3, visit "
                             "www.ovra3-workshop.example. For the latest news about Ovra3, visit "
                             "www.ovra3-news.example."),
              {240, 4680, 3855, 975}},
             {Item::Picture,
              QStringLiteral("Image2"),
              QStringLiteral(":/pictures/about.gif"),
              {600, 3360, 2895, 1095}},
             {Item::Picture,
              QStringLiteral("Image1"),
              QStringLiteral(":/pictures/about.bmp"),
              {600, 1800, 2895, 1455}},
             {Item::Text,
              QStringLiteral("Label1"),
              QStringLiteral("Ovra3 Music Ed"),
              {0, 120, 3975, 495},
              19.5,
              true},
             {Item::Text,
              QStringLiteral("Label2"),
              QStringLiteral("Version 2.00. Free software made by players for players; it is not "
                             "made or supported by the makers of the game. It overwrites game "
                             "files: keep your game CD at hand to restore them. Use it at your own "
                             "risk."),
              {240, 720, 3615, 975}}}};
}

ovra::look::InfoWindow instructionsWindow() {
    // The label is taller than the window, which cuts its last lines off.
    return {QStringLiteral("frmInstructions"),
            QStringLiteral("Instructions"),
            2550,
            2430,
            {{Item::Text,
              QStringLiteral("Label1"),
              QStringLiteral("To use Ovra3 Media Ed follow these directions: 1. Pick the song or "
                             "movie you want to replace in the Replace combo box, 2. Pick the song "
                             "or movie  you want to write over the file you picked previously, and "
                             "3. Press Transform It! on the correct side. It's that simple. For "
                             "legal and contact information, see the About box."),
              {120, 120, 2295, 3495}}}};
}

} // namespace mediaed
