#include "frmovra3meded.h"

#include "dialogs.h"
#include "directoryinfo.h"
#include "floatprogressbar.h"
#include "infowindows.h"
#include "mediapreview.h"
#include "songinfo.h"
#include "soundtrack.h"
#include "winlook.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>
#include <functional>

namespace mediaed {

using ovra::look::twipsRect;

namespace {

// The window's own surface: black, and it reports pointer moves that are not over a control.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, std::function<void()> pointerMoved)
        : QWidget(parent), pointerMoved_(std::move(pointerMoved)) {
        setObjectName(QStringLiteral("client"));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), ovra::look::kBlack); }
    void mouseMoveEvent(QMouseEvent* event) override {
        // Moves over a label reach here too (labels pass them on); they are not the surface.
        if (!childAt(event->position().toPoint()))
            pointerMoved_();
        QWidget::mouseMoveEvent(event);
    }

private:
    std::function<void()> pointerMoved_;
};

QComboBox* pickList(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
    auto* combo = new QComboBox(parent);
    ovra::look::place(combo, name, geometry);
    combo->setEditable(true);
    // Enter must not add the typed text to the list, and nothing may complete what is typed:
    // the text is a file name as the user means it.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setEditText(text);
    return combo;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text, QRect geometry) {
    auto* b = new QPushButton(text, parent);
    ovra::look::place(b, name, geometry);
    return b;
}

MediaPreview* preview(QWidget* parent, const QString& name, QRect geometry) {
    auto* p = new MediaPreview(parent);
    ovra::look::place(p, name, geometry);
    return p;
}

// After filling, no entry is chosen and the initial text shows again (adding the first entry
// made it current and replaced the text).
void fill(QComboBox* combo, const QStringList& names) {
    const QString text = combo->currentText();
    combo->addItems(names);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

} // namespace

FrmOvra3MedEd::FrmOvra3MedEd(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir), soundtrack_(new Soundtrack(programDir, this)),
      songInfo_(new SongInfo(
          *soundtrack_, [this] { return cboReplace_->currentText(); }, this)) {
    setObjectName(QStringLiteral("frmOvra3MedEd"));
    setWindowTitle(QStringLiteral("Ovra 3 Media Editor"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFont(ovra::look::font());
    buildControls();
    buildMenus();
    // The client area has a fixed size; the window is that plus the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize(); // start-up docks against this size
    cboReplace_->setFocus();
    startUp();
}

FrmOvra3MedEd::~FrmOvra3MedEd() {
    // The dialog refers to the catalogue window's owner, so it goes first.
    delete songInfo_;
    delete soundtrack_;
    delete about_.data();
    delete instructions_.data();
}

void FrmOvra3MedEd::buildControls() {
    client_ = new ClientArea(this, [this] { dock(); });
    client_->setFixedSize(ovra::look::px(8055), ovra::look::px(7755));
    setCentralWidget(client_);
    QWidget* c = client_;
    using ovra::look::label;

    // Created back to front.
    Combo1_ = pickList(c, QStringLiteral("Combo1"), QStringLiteral("Select a movie"),
                       twipsRect(4200, 720, 3735, 315));
    Command3_ = button(c, QStringLiteral("Command3"), QStringLiteral("Transform it!"),
                       twipsRect(4200, 2520, 3735, 615));
    Command2_ = button(c, QStringLiteral("Command2"), QStringLiteral("Select a movie"),
                       twipsRect(4200, 1320, 3735, 375));
    Command1_ = button(c, QStringLiteral("Command1"), QStringLiteral("Select a song"),
                       twipsRect(120, 1320, 3855, 375));
    ProgressBar1_ = new FloatProgressBar(c);
    ovra::look::place(ProgressBar1_, QStringLiteral("ProgressBar1"),
                      twipsRect(120, 3240, 7815, 255));
    StatusBar1_ = new ovra::ClockStatusBar(c, QStringLiteral("Ovra3MediaEd - by deckhand"));
    StatusBar1_->setGeometry(twipsRect(0, 7500, 8055, 255));
    cmdTransform_ = button(c, QStringLiteral("cmdTransform"), QStringLiteral("Transform it!"),
                           twipsRect(120, 2520, 3855, 615));
    cboReplace_ = pickList(c, QStringLiteral("cboReplace"), QStringLiteral("Select a song"),
                           twipsRect(120, 720, 3855, 315));
    label(c, QStringLiteral("Label8"), QStringLiteral("Preview Movie"),
          twipsRect(4200, 3600, 2535, 255));
    MediaPlayer2_ = preview(c, QStringLiteral("MediaPlayer2"), twipsRect(4200, 3960, 3735, 3375));
    MediaPlayer2_->setExpectsPicture(true);
    label(c, QStringLiteral("Label7"), QStringLiteral("Movie Editor"),
          twipsRect(5160, 120, 2055, 375), 13.5, true);
    label(c, QStringLiteral("Label6"), QStringLiteral("Music Editor"),
          twipsRect(1080, 120, 2055, 375), 13.5, true);
    ovra::look::line(c, QStringLiteral("Line1"), 4080, 3120, 4080, 120);
    label(c, QStringLiteral("Label5"), QStringLiteral("Preview Music"),
          twipsRect(120, 3600, 2535, 255));
    MediaPlayer1_ = preview(c, QStringLiteral("MediaPlayer1"), twipsRect(120, 3960, 3855, 3375));
    Label4_ = label(c, QStringLiteral("Label4"), QString(), twipsRect(4200, 1800, 3975, 615));
    label(c, QStringLiteral("Label3"), QStringLiteral("Replace"), twipsRect(4200, 480, 1695, 255));
    label(c, QStringLiteral("Label2"), QStringLiteral("With"), twipsRect(4200, 1080, 2055, 255));
    Label1_ = label(c, QStringLiteral("Label1"), QString(), twipsRect(120, 1800, 3975, 615));
    label(c, QStringLiteral("lblWith"), QStringLiteral("With"), twipsRect(120, 1080, 2055, 255));
    label(c, QStringLiteral("lblReplace"), QStringLiteral("Replace"),
          twipsRect(120, 480, 1695, 255));

    // Labels and the line are drawn on the window's surface, beneath every button, list and
    // pane they overlap (the "Replace" labels reach onto the pick lists); among themselves they
    // keep their order.
    const QList<QWidget*> controls = c->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (auto it = controls.rbegin(); it != controls.rend(); ++it)
        if (qobject_cast<QLabel*>(*it) || (*it)->objectName() == QStringLiteral("Line1"))
            (*it)->lower();

    QWidget* order[] = {cboReplace_, cmdTransform_, Command1_,     Command2_,
                        Command3_,   Combo1_,       MediaPlayer1_, MediaPlayer2_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(Command1_, &QPushButton::clicked, this, [this] { select(Side::Music); });
    connect(Command2_, &QPushButton::clicked, this, [this] { select(Side::Movies); });
    connect(cmdTransform_, &QPushButton::clicked, this, [this] { transform(Side::Music); });
    connect(Command3_, &QPushButton::clicked, this, [this] { transform(Side::Movies); });
}

void FrmOvra3MedEd::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(ovra::look::font());
    auto item = [this](QMenu* menu, const QString& name, const QString& text, auto handler) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
    };
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    file->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    item(file, QStringLiteral("mnuDirectory"), QStringLiteral("Directory Info"),
         [this] { showDirectoryInfo(); });
    item(file, QStringLiteral("mnuRestore"), QStringLiteral("Restore Original Music"),
         [this] { restore(Side::Music); });
    item(file, QStringLiteral("mnuRestoreMovies"), QStringLiteral("Restore Original Movies"),
         [this] { restore(Side::Movies); });
    item(file, QStringLiteral("mnuExit"), QStringLiteral("Exit"), [this] { exitProgram(); });
    QMenu* help = bar->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    item(help, QStringLiteral("mnuAbout"), QStringLiteral("About"), [this] { showAbout(); });
    item(help, QStringLiteral("mnuInstructions"), QStringLiteral("Instructions"),
         [this] { showInstructions(); });
}

void FrmOvra3MedEd::startUp() {
    // The catalogue window first (creating it loads the catalogue), then against our edge.
    soundtrack_->show();
    dock();
    songFilter_ = kSongFilter;
    movieFilter_ = kMovieFilter;
    const LoadResult loaded = loadInstallation(programDir_, installation_);
    // The names found before a failure stay offered.
    fill(cboReplace_, loaded.musicNames);
    fill(Combo1_, loaded.movieNames);
    if (!loaded.ok)
        ovra::showInstallationError(this, kProgramTitle);
}

void FrmOvra3MedEd::dock() {
    soundtrack_->dock(frameGeometry());
}

void FrmOvra3MedEd::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous() || shown_)
        return;
    // Docking at start-up ran before the window had a place on the screen. The window system
    // places it (and puts its frame around it) before it first exposes it: dock then once more.
    shown_ = true;
    dock();
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

bool FrmOvra3MedEd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose &&
        windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        // After this event has been handled, when the platform window knows its frame.
        QMetaObject::invokeMethod(this, &FrmOvra3MedEd::dock, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmOvra3MedEd::closeEvent(QCloseEvent* event) {
    // Hidden, not closed: the catalogue window's own closing step does not run here.
    soundtrack_->hide();
    event->accept();
}

void FrmOvra3MedEd::select(Side side) {
    const bool music = side == Side::Music;
    QString& choice = music ? songChoice_ : movieChoice_;
    // A cancelled dialog keeps the previous name, which is shown and played again.
    if (const std::optional<QString> chosen =
            ovra::dialogs().openFile(this, music ? songFilter_ : movieFilter_, choice))
        choice = *chosen;
    QLabel* label = music ? Label1_ : Label4_;
    label->setText(choice);
    (music ? MediaPlayer1_ : MediaPlayer2_)->setFile(label->text());
}

void FrmOvra3MedEd::transform(Side side) {
    const bool music = side == Side::Music;
    const QString source = (music ? Label1_ : Label4_)->text();
    const QString target = (music ? cboReplace_ : Combo1_)->currentText();
    if (!replaceInstalled(source, installation_.list(side), target)) {
        ovra::showInstallationError(this, kProgramTitle);
        return;
    }
    if (!music)
        return;
    songInfo_->show();
    if (QWidget* dialog = songInfo_->existing())
        dialog->setAttribute(Qt::WA_QuitOnClose, false);
}

void FrmOvra3MedEd::restore(Side side) {
    // The loop runs on this thread, so the bar is repainted at once at every step; letting
    // events in instead would let other commands run in the middle of a restore.
    const RestoreResult result = restoreStock(side, installation_, [this](float value) {
        ProgressBar1_->setExactMaximum(100);
        ProgressBar1_->setExactValue(value);
        ProgressBar1_->repaint();
    });
    if (!result.ok)
        ovra::showInstallationError(this, kProgramTitle);
}

void FrmOvra3MedEd::showAbout() {
    ovra::look::showSingle(about_);
}

void FrmOvra3MedEd::showInstructions() {
    ovra::look::showSingle(instructions_);
}

void FrmOvra3MedEd::showDirectoryInfo() {
    ovra::showDirectoryInfo(ovra::DirectoryInfoCopy::MediaEditor, programDir_, kProgramTitle);
}

void FrmOvra3MedEd::exitProgram() {
    // Straight out of the event loop: no window gets a close event, so nothing is hidden or
    // saved on the way.
    QCoreApplication::exit(0);
}

} // namespace mediaed
