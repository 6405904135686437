#include "frmovra3tricked.h"

#include "dialogs.h"
#include "directoryinfo.h"
#include "filecopy.h"
#include "installsettings.h"
#include "paths.h"
#include "rtfreader.h"
#include "rtfwriter.h"
#include "trickconfig.h"
#include "infowindows.h"
#include "winlook.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

namespace tricked {

namespace {

// Client area of the window, in twips.
constexpr int kClientWidth = 5685;
constexpr int kClientHeight = 2640;

// The bar holds integers; the restore's values are fractions, drawn on a finer scale.
constexpr int kProgressScale = 1000;

const QString kStatusText = QStringLiteral("Ovra3TrickEd - by kickturn");

// Controls that keep the toolkit's standard colours must not inherit the black window:
// setting every role makes none of them inherited.
QComboBox* trickCombo(QWidget* parent, const QString& name, QRect geometry) {
    auto* combo = new QComboBox(parent);
    ovra::look::place(combo, name, geometry);
    combo->setEditable(true);
    // Enter must not add what was typed to the list.
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Suggestions in a popup only, and exact in case: the text stays as typed until the user
    // picks a suggestion, and leaving the field never swaps in a differently spelled entry.
    auto* completer = new QCompleter(combo->model(), combo);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    combo->setCompleter(completer);
    combo->setEditText(kSelectATrick);
    ovra::look::standardColours(combo);
    return combo;
}

} // namespace

frmOvra3TrickEd::frmOvra3TrickEd(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir), trickList_(QStringLiteral("*.ska")) {
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

frmOvra3TrickEd::~frmOvra3TrickEd() {
    // The ownerless windows end with the program.
    delete instructions_;
    delete about_;
    delete history_;
    delete directoryInfo_;
}

void frmOvra3TrickEd::buildControls() {
    using ovra::look::twipsRect;
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ovra::look::px(kClientWidth), ovra::look::px(kClientHeight));
    ovra::look::paintBlack(client);
    setCentralWidget(client);

    // Back to front, as the window lists them.
    progressBar_ = new QProgressBar(client);
    ovra::look::place(progressBar_, QStringLiteral("ProgressBar1"),
                      twipsRect(120, 2040, 5415, 255));
    progressBar_->setTextVisible(false);
    progressBar_->setFocusPolicy(Qt::NoFocus);
    ovra::look::standardColours(progressBar_);
    setProgress(100, 0.0f);

    statusBar_ = new ovra::ClockStatusBar(client, kStatusText);
    statusBar_->setGeometry(twipsRect(0, 2385, 5685, 255));
    statusBar_->setAutoFillBackground(true); // its panels' dark text needs a light ground

    cmdTransform_ = new QPushButton(QStringLiteral("Transform it!"), client);
    ovra::look::place(cmdTransform_, QStringLiteral("cmdTransform"),
                      twipsRect(120, 1320, 5415, 615));
    ovra::look::standardColours(cmdTransform_);
    connect(cmdTransform_, &QPushButton::clicked, this,
            [this] { transform(cboReplace_->currentText(), cboWith_->currentText()); });

    cboWith_ = trickCombo(client, QStringLiteral("cboWith"), twipsRect(120, 840, 5415, 315));
    cboReplace_ = trickCombo(client, QStringLiteral("cboReplace"), twipsRect(120, 240, 5415, 315));
    ovra::look::label(client, QStringLiteral("lblWith"), QStringLiteral("With"),
                      twipsRect(120, 600, 2055, 255));
    ovra::look::label(client, QStringLiteral("lblReplace"), QStringLiteral("Replace"),
                      twipsRect(120, 0, 1695, 255));

    setTabOrder(cboReplace_, cboWith_);
    setTabOrder(cboWith_, cmdTransform_);
}

void frmOvra3TrickEd::buildMenus() {
    QMenuBar* bar = menuBar();
    ovra::look::standardColours(bar);
    bar->setFont(ovra::look::font());
    auto item = [this](QMenu* menu, const char* name, const QString& caption, auto slot) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->menuAction()->setObjectName(QStringLiteral("mnuFileAction"));
    item(file, "mnuNew", QStringLiteral("New Trick Config"), &frmOvra3TrickEd::newConfig);
    item(file, "mnuOpen", QStringLiteral("Open and Restore Trick Config"),
         &frmOvra3TrickEd::openConfig);
    item(file, "mnuSave", QStringLiteral("Save Trick Config"), &frmOvra3TrickEd::saveConfig);
    item(file, "mnuSpecifyDir", QStringLiteral("Specify Directory Information"),
         &frmOvra3TrickEd::specifyDirectory);
    item(file, "mnuRestore", QStringLiteral("Restore Originals"),
         &frmOvra3TrickEd::restoreOriginals);
    item(file, "mnuExit", QStringLiteral("Exit"), &frmOvra3TrickEd::exitProgram);
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->menuAction()->setObjectName(QStringLiteral("mnuHelpAction"));
    item(help, "mnuInstructions", QStringLiteral("Instructions"),
         &frmOvra3TrickEd::showInstructions);
    item(help, "mnuAbout", QStringLiteral("About"), &frmOvra3TrickEd::showAbout);
    item(help, "mnuHistory", QStringLiteral("History and Info"), &frmOvra3TrickEd::showHistory);
    for (QMenu* menu : {file, help})
        menu->setFont(ovra::look::font());
}

void frmOvra3TrickEd::startUp() {
    filter_ = kTrickConfigFilter;
    // The first failure is reported once and ends the start-up; the window opens regardless,
    // with whatever was filled.
    gameDirectory_ = ovra::readSettingFile(programDir_, QLatin1String(ovra::kGameDirectoryFile));
    if (!gameDirectory_)
        return ovra::showInstallationError(this, kProgramTitle);
    // A copy killed part-way leaves its temporary file beside the installed tricks: clear it.
    ovra::removeStaleTemporaries(
        ovra::paths::hostPath(ovra::paths::trickDirectory(*gameDirectory_)));
    cdDrive_ = ovra::readSettingFile(programDir_, QLatin1String(ovra::kCdDriveFile));
    if (!cdDrive_)
        return ovra::showInstallationError(this, kProgramTitle);
    if (!trickList_.setPath(ovra::paths::cdTrickFolder(*cdDrive_)))
        return ovra::showInstallationError(this, kProgramTitle);
    // Files the list cannot hold shift every position after theirs: never silently.
    if (const QStringList& lost = trickList_.undecodable(); !lost.isEmpty()) {
        constexpr int shown = 20;
        QString text = QStringLiteral("These trick files on the CD have names that cannot be "
                                      "read, and are left out of the trick list:\n");
        for (const QString& name : lost.mid(0, shown))
            text += QStringLiteral("\n    ") + name;
        if (lost.size() > shown)
            text += QStringLiteral("\n    and %1 more").arg(lost.size() - shown);
        text += QStringLiteral("\n\nThe tricks after them in the list are at other positions "
                               "than on other players' computers, so a Trick Config shared with "
                               "other players may swap other tricks than its maker meant.");
        showProblem(text);
    }

    const int available = std::min(trickList_.count(), kTrickCount);
    QStringList names = trickList_.names().mid(0, available);
    for (int i = 0; i < available; ++i)
        positions_.insert(names[i], i);
    // Adding the first entry makes it current and replaces the edit text: put the prompt back.
    for (QComboBox* combo : {cboReplace_, cboWith_}) {
        combo->addItems(names);
        combo->setCurrentIndex(-1);
        combo->setEditText(kSelectATrick);
    }
    if (available < kTrickCount)
        ovra::showInstallationError(this, kProgramTitle);
}

int frmOvra3TrickEd::offeredCount() const {
    return int(positions_.size());
}

int frmOvra3TrickEd::position(const QString& name) const {
    return positions_.value(name, -1);
}

void frmOvra3TrickEd::transform(const QString& replacefile, const QString& withfile) {
    // Only names on offer have a position: anything else (a typed name, "Select a trick") is
    // refused before a file is written, so records only ever hold positions on offer.
    const int p = position(replacefile);
    const int q = position(withfile);
    if (p < 0 || q < 0 || !gameDirectory_)
        return ovra::showInstallationError(this, kProgramTitle);

    const auto from = ovra::paths::hostFileIn(trickList_.path(), withfile);
    const auto to =
        ovra::paths::hostFileIn(ovra::paths::trickDirectory(*gameDirectory_), replacefile);
    if (!from || !to || !ovra::replaceFile(*from, *to))
        return ovra::showInstallationError(this, kProgramTitle);

    if (currentConfig_.isEmpty())
        return;
    if (!replaceRecord(currentConfig_, p, q))
        ovra::showInstallationError(this, kProgramTitle);
}

void frmOvra3TrickEd::newConfig() {
    currentConfig_ = unchangedConfig();
}

void frmOvra3TrickEd::saveConfig() {
    const auto chosen = ovra::dialogs().saveFile(this, filter_, lastConfigFile_);
    if (!chosen)
        return;
    lastConfigFile_ = *chosen;
    const ovra::CopyResult saved = ovra::writeFileAtomically(*chosen, rtf::write(currentConfig_));
    if (!saved) {
        showProblem(QStringLiteral("The Trick Config could not be saved to \"%1\": %2")
                        .arg(QDir::toNativeSeparators(*chosen), saved.reason));
    }
}

void frmOvra3TrickEd::openConfig() {
    const auto chosen = ovra::dialogs().openFile(this, filter_, lastConfigFile_);
    if (!chosen)
        return;
    lastConfigFile_ = *chosen;
    const QString shown = QDir::toNativeSeparators(*chosen);
    // Files from strangers: a FIFO or a device typed into the dialog is refused unopened.
    const ovra::ReadFileResult file = ovra::readRegularFile(*chosen, rtf::kMaxDocumentSize);
    const rtf::ReadResult read =
        file.ok ? rtf::read(file.bytes) : rtf::ReadResult{false, {}, file.error};
    if (!read.ok) {
        showProblem(QStringLiteral("The Trick Config \"%1\" could not be read: %2\nNo trick "
                                   "was changed.")
                        .arg(shown, read.error));
        return;
    }
    openedConfig_ = read.text;

    // Every record is checked before the first copy, so a damaged file changes nothing.
    const ParseResult parsed = parseOpened(openedConfig_, offeredCount());
    if (!parsed.ok) {
        showProblem(QStringLiteral("\"%1\" is not a Trick Config that can be used here.\n%2\nNo "
                                   "trick was changed.")
                        .arg(shown, parsed.error));
        return;
    }
    const QStringList& names = trickList_.names();
    for (const Swap& swap : parsed.swaps)
        transform(names[swap.replaced], names[swap.with]);
}

void frmOvra3TrickEd::restoreOriginals() {
    for (int i = 0; i < kTrickCount; ++i) {
        const std::optional<QString> name = trickList_.entry(i);
        if (!name || !gameDirectory_)
            return ovra::showInstallationError(this, kProgramTitle);
        const auto from = ovra::paths::hostFileIn(trickList_.path(), *name);
        const auto to =
            ovra::paths::hostFileIn(ovra::paths::trickDirectory(*gameDirectory_), *name);
        if (!from || !to || !ovra::replaceFile(*from, *to))
            return ovra::showInstallationError(this, kProgramTitle);
        // The value trails the work by one file and ends near 99.848, never 100.
        setProgress(100, float(i * (100.0 / kTrickCount)));
        progressBar_->repaint();
    }
}

void frmOvra3TrickEd::setProgress(int maximum, float value) {
    progressMaximum_ = maximum;
    progressValue_ = value;
    progressBar_->setRange(0, maximum * kProgressScale);
    progressBar_->setValue(qRound(double(value) * kProgressScale));
    progressBar_->setProperty("preciseValue", value);
}

void frmOvra3TrickEd::showProblem(const QString& text) {
    ovra::dialogs().message(this, kProgramTitle, text);
}

void frmOvra3TrickEd::showInstructions() {
    ovra::look::showSingle(instructions_, [] { return ovra::look::buildInfoWindow(instructionsWindow()); });
}
void frmOvra3TrickEd::showAbout() {
    ovra::look::showSingle(about_, [] { return ovra::look::buildInfoWindow(aboutWindow()); });
}
void frmOvra3TrickEd::showHistory() {
    ovra::look::showSingle(history_, [] { return ovra::look::buildInfoWindow(historyWindow()); });
}

void frmOvra3TrickEd::specifyDirectory() {
    ovra::look::showSingle(directoryInfo_, [this] {
        return ovra::createDirectoryInfo(ovra::DirectoryInfoCopy::TrickEditor, programDir_,
                                         kProgramTitle);
    });
}

void frmOvra3TrickEd::exitProgram() {
    // At once: no close step runs and nothing is saved.
    QCoreApplication::exit(0);
}

void frmOvra3TrickEd::closeEvent(QCloseEvent* event) {
    event->accept();
    // Windows without owner (information, directory dialog) must not keep the program alive.
    QCoreApplication::quit();
}

} // namespace tricked
