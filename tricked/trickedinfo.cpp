#include "trickedinfo.h"

#include "winlook.h"

#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>

namespace tricked {

using ovra::look::twipsRect;

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

frmInstructions::frmInstructions(QWidget* parent) : QWidget(parent) {
    ovra::look::setupFixedWindow(this, QStringLiteral("frmInstructions"),
                                 QStringLiteral("Instructions"), 2550, 3570);
    ovra::look::label(this, QStringLiteral("Label1"), kInstructionsText,
                      twipsRect(120, 120, 2295, 3495));
}

frmHistory::frmHistory(QWidget* parent) : QWidget(parent) {
    ovra::look::setupFixedWindow(this, QStringLiteral("frmHistory"),
                                 QStringLiteral("History and Info"), 2640, 3930);
    auto* label = new BlankRunLabel(historyText(), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(twipsRect(120, 120, 2415, 3735));
    label->setFont(ovra::look::font());
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, ovra::look::kBlack);
    pal.setColor(QPalette::WindowText, ovra::look::kGreen);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

frmAbout::frmAbout(QWidget* parent) : QWidget(parent) {
    ovra::look::setupFixedWindow(this, QStringLiteral("frmAbout"), QStringLiteral("About"), 4020,
                                 5550);
    ovra::look::label(this, QStringLiteral("Label1"), QStringLiteral("Ovra3 Trick Ed"),
                      twipsRect(0, 120, 3975, 495), 19.5, true);
    ovra::look::label(this, QStringLiteral("Label2"),
                      QStringLiteral("Version 1.05. A free tool made by players, not by the "
                                     "makers of Ovra3. It copies files into your game; keep "
                                     "your game CD at hand to restore them. Use at your own "
                                     "risk."),
                      twipsRect(240, 660, 3615, 960));
    const auto picture = [this](const char* name, const QString& resource, QRect geometry) {
        auto* image = new QLabel(this);
        image->setObjectName(QLatin1String(name));
        image->setGeometry(geometry);
        image->setPixmap(QPixmap(resource));
        image->setScaledContents(true); // stretched to fill, as the pictures were placed
    };
    picture("Image1", QStringLiteral(":/pictures/about.bmp"), twipsRect(600, 1680, 2895, 1455));
    picture("Image2", QStringLiteral(":/pictures/about.gif"), twipsRect(600, 3360, 2895, 1095));
    QLabel* sites = ovra::look::label(
        this, QStringLiteral("Label3"),
        QStringLiteral("For more programs and modifications for Ovra3, visit rampnet.example. For "
                       "news about Ovra3, visit o3zone.example."),
        twipsRect(240, 4680, 3855, 975));
    // The label reaches past the window's right edge: wrap its text where the window ends.
    sites->setContentsMargins(0, 0, std::max(0, sites->geometry().right() + 1 - width()), 0);
}

QString BlankRunLabel::displayedText() const {
    static const QRegularExpression run(QStringLiteral(" {2,}"));
    return text().replace(run, QString(QChar::LineSeparator));
}

void BlankRunLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(contentsRect(), int(alignment()) | Qt::TextWordWrap, displayedText());
}

} // namespace tricked
