#include "tricked/frmovra3tricked.h"

#include "tricked/infowindows.h"
#include "tricked/trickedlog.h"
#include "widgets/dialogs.h"
#include "widgets/dirinfo/directoryinfo.h"
#include "widgets/progressbar.h"
#include "widgets/winlook.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>

namespace tricked {

namespace {

// Client area of the window, in twips.
constexpr int kClientWidth = 5685;
constexpr int kClientHeight = 2640;

const QString kSelectATrick = QStringLiteral("Select a trick");
const QString kStatusText = QStringLiteral("Ovra3TrickEd - by kickturn");

// The message for CD trick files whose names cannot be held: they shift every position after
// theirs, which must never happen silently.
QString undecodableMessage(const QStringList& lost) {
    constexpr int shown = 20;
    QString text = QStringLiteral("These trick files on the CD have names that cannot be read, "
                                  "and are left out of the trick list:\n");
    for (const QString& name : lost.mid(0, shown))
        text += QStringLiteral("\n    ") + name;
    if (lost.size() > shown)
        text += QStringLiteral("\n    and %1 more").arg(lost.size() - shown);
    return text + QStringLiteral("\n\nThe tricks after them in the list are at other positions "
                                 "than on other players' computers, so a Trick Config shared "
                                 "with other players may swap other tricks than its maker "
                                 "meant.");
}

} // namespace

FrmOvra3TrickEd::FrmOvra3TrickEd(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir), core_(programDir) {
    ovra::look::setupFixedWindow(this, QStringLiteral("frmOvra3TrickEd"),
                                 QStringLiteral("Ovra 3 Trick Editor"), kClientWidth,
                                 kClientHeight);
    buildControls();
    buildMenus();
    // The geometry is the client area's; the menu bar comes on top of it.
    setFixedSize(ovra::look::px(kClientWidth),
                 ovra::look::px(kClientHeight) + menuBar()->sizeHint().height());
    startUp();
    cboReplace_->setFocus();
}

FrmOvra3TrickEd::~FrmOvra3TrickEd() {
    // The ownerless windows end with the program.
    for (QWidget* window :
         {instructions_.data(), about_.data(), history_.data(), directoryInfo_.data()})
        delete window;
}

void FrmOvra3TrickEd::buildControls() {
    using ovra::look::twipsRect;
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ovra::look::px(kClientWidth), ovra::look::px(kClientHeight));
    ovra::look::paintBlack(client);
    setCentralWidget(client);

    // Back to front, as the window lists them.
    restoreBar_ = new ovra::ProgressBar(client);
    ovra::look::place(restoreBar_, QStringLiteral("ProgressBar1"), twipsRect(120, 2040, 5415, 255));

    auto* statusBar1 = new ovra::ClockStatusBar(client, kStatusText);
    statusBar1->setGeometry(twipsRect(0, 2385, 5685, 255));

    auto* cmdTransform = new QPushButton(QStringLiteral("Transform it!"), client);
    ovra::look::place(cmdTransform, QStringLiteral("cmdTransform"),
                      twipsRect(120, 1320, 5415, 615));
    ovra::look::standardColours(cmdTransform);
    connect(cmdTransform, &QPushButton::clicked, this,
            [this] { transform(cboReplace_->currentText(), cboWith_->currentText()); });

    using ovra::look::Suggestions;
    cboWith_ = ovra::look::pickList(client, QStringLiteral("cboWith"), kSelectATrick,
                                    twipsRect(120, 840, 5415, 315), Suggestions::Popup);
    cboReplace_ = ovra::look::pickList(client, QStringLiteral("cboReplace"), kSelectATrick,
                                       twipsRect(120, 240, 5415, 315), Suggestions::Popup);
    ovra::look::label(client, QStringLiteral("lblWith"), QStringLiteral("With"),
                      twipsRect(120, 600, 2055, 255));
    ovra::look::label(client, QStringLiteral("lblReplace"), QStringLiteral("Replace"),
                      twipsRect(120, 0, 1695, 255));

    setTabOrder(cboReplace_, cboWith_);
    setTabOrder(cboWith_, cmdTransform);
}

void FrmOvra3TrickEd::buildMenus() {
    using ovra::look::showSingle;
    QMenuBar* bar = menuBar();
    ovra::look::standardColours(bar);
    bar->setFont(ovra::look::font());
    ovra::look::addMenu(
        bar, QStringLiteral("mnuFile"), QStringLiteral("&File"),
        {{QStringLiteral("mnuNew"), QStringLiteral("New Trick Config"),
          [this] { core_.newConfig(); }},
         {QStringLiteral("mnuOpen"), QStringLiteral("Open and Restore Trick Config"),
          [this] { openConfig(); }},
         {QStringLiteral("mnuSave"), QStringLiteral("Save Trick Config"), [this] { saveConfig(); }},
         {QStringLiteral("mnuSpecifyDir"), QStringLiteral("Specify Directory Information"),
          [this] {
              showSingle(directoryInfo_, [this] {
                  return ovra::createDirectoryInfo(ovra::DirectoryInfoCopy::TrickEditor,
                                                   programDir_, kProgramTitle);
              });
          }},
         {QStringLiteral("mnuRestore"), QStringLiteral("Restore Originals"),
          [this] { restoreOriginals(); }},
         // At once: no close step runs and nothing is saved.
         {QStringLiteral("mnuExit"), QStringLiteral("Exit"), [] { QCoreApplication::exit(0); }}});
    ovra::look::addMenu(
        bar, QStringLiteral("mnuHelp"), QStringLiteral("Help"),
        {{QStringLiteral("mnuInstructions"), QStringLiteral("Instructions"),
          [this] {
              showSingle(instructions_,
                         [] { return ovra::look::buildInfoWindow(instructionsWindow()); });
          }},
         {QStringLiteral("mnuAbout"), QStringLiteral("About"),
          [this] {
              showSingle(about_, [] { return ovra::look::buildInfoWindow(aboutWindow()); });
          }},
         {QStringLiteral("mnuHistory"), QStringLiteral("History and Info"), [this] {
              showSingle(history_, [] { return ovra::look::buildInfoWindow(historyWindow()); });
          }}});
}

void FrmOvra3TrickEd::startUp() {
    // The first failure is reported once and ends the start-up; the window opens regardless,
    // with whatever was filled.
    const TrickCore::Loaded loaded = core_.load();
    if (!loaded.undecodable.isEmpty())
        showProblem(undecodableMessage(loaded.undecodable));
    const QStringList names = core_.offered();
    for (QComboBox* combo : {cboReplace_, cboWith_})
        ovra::look::fillPickList(combo, names);
    if (!loaded.ok)
        ovra::showInstallationError(this, kProgramTitle);
}

void FrmOvra3TrickEd::transform(const QString& replacefile, const QString& withfile) {
    if (const ovra::CopyResult done = core_.transform(replacefile, withfile); !done)
        ovra::showInstallationError(this, kProgramTitle);
}

void FrmOvra3TrickEd::saveConfig() {
    const auto chosen = ovra::dialogs().saveFile(this, kTrickConfigFilter, lastConfigFile_);
    if (!chosen)
        return;
    lastConfigFile_ = *chosen;
    if (const ovra::CopyResult saved = core_.saveConfig(*chosen); !saved)
        showProblem(QStringLiteral("The Trick Config could not be saved to \"%1\": %2")
                        .arg(QDir::toNativeSeparators(*chosen), saved.reason));
}

void FrmOvra3TrickEd::openConfig() {
    const auto chosen = ovra::dialogs().openFile(this, kTrickConfigFilter, lastConfigFile_);
    if (!chosen)
        return;
    lastConfigFile_ = *chosen;
    applyConfig(*chosen);
}

void FrmOvra3TrickEd::applyConfig(const QString& path) {
    const TrickCore::Opened opened = core_.openConfig(path, [this](const ovra::CopyResult&) {
        ovra::showInstallationError(this, kProgramTitle);
    });
    const QString shown = QDir::toNativeSeparators(path);
    switch (opened.outcome) {
    case TrickCore::Opened::Applied:
        break;
    case TrickCore::Opened::Unreadable:
        showProblem(QStringLiteral("The Trick Config \"%1\" could not be read: %2\nNo trick was "
                                   "changed.")
                        .arg(shown, opened.error));
        break;
    case TrickCore::Opened::Refused:
        showProblem(QStringLiteral("\"%1\" is not a Trick Config that can be used here.\n%2\nNo "
                                   "trick was changed.")
                        .arg(shown, opened.error));
        break;
    case TrickCore::Opened::Stopped:
        ovra::showInstallationError(this, kProgramTitle);
        break;
    }
}

void FrmOvra3TrickEd::offerToApply(const QString& path) {
    qCDebug(lcTrickEd, "Asking whether to apply %s", qUtf8Printable(path));
    if (ovra::dialogs().question(this, kProgramTitle,
                                 QStringLiteral("Apply the swaps of %1 to the installed tricks?")
                                     .arg(QFileInfo(path).fileName())))
        applyConfig(path);
}

void FrmOvra3TrickEd::restoreOriginals() {
    const ovra::RestoreResult result = core_.restoreOriginals([this](int done, int total) {
        // The value trails the work by one file and ends near 99.848, never 100.
        restoreBar_->setExact(100, float((done - 1) * (100.0 / total)));
    });
    if (!result.ok)
        ovra::showInstallationError(this, kProgramTitle);
}

void FrmOvra3TrickEd::showProblem(const QString& text) {
    ovra::dialogs().message(this, kProgramTitle, text);
}

} // namespace tricked
