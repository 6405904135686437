#include "mediaed/frmovra3meded.h"

#include "mediaed/frmsonginfo.h"
#include "mediaed/frmsoundtrack.h"
#include "mediaed/infowindows.h"
#include "mediaed/mediapreview.h"
#include "mediaed/soundtrack.h"
#include "mediaed/stocktable.h"
#include "widgets/dialogs.h"
#include "widgets/dirinfo/directoryinfo.h"
#include "widgets/progressbar.h"
#include "widgets/winlook.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
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

} // namespace

FrmOvra3MedEd::FrmOvra3MedEd(const QString& programDir, QWidget* parent)
    : QMainWindow(parent), programDir_(programDir), core_(programDir),
      soundtrack_(new Soundtrack(programDir, this)) {
    setObjectName(QStringLiteral("frmOvra3MedEd"));
    setWindowTitle(QStringLiteral("Ovra 3 Media Editor"));
    ovra::look::closeBoxOnly(this);
    setFont(ovra::look::font());
    buildControls();
    buildMenus();
    // The client area has a fixed size; the window is that plus the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    adjustSize(); // start-up docks against this size
    controls(Side::Music).target->setFocus();
    startUp();
}

FrmOvra3MedEd::~FrmOvra3MedEd() {
    // The ownerless windows end with the program; the catalogue window with its manager, which
    // saves nothing on the way.
    for (QWidget* window : {static_cast<QWidget*>(songInfo_.data()), about_.data(),
                            instructions_.data(), directoryInfo_.data()})
        delete window;
}

void FrmOvra3MedEd::buildControls() {
    auto* c = new ClientArea(this, [this] { dock(); });
    c->setFixedSize(ovra::look::px(8055), ovra::look::px(7755));
    setCentralWidget(c);
    using ovra::look::label;
    using ovra::look::pickList;
    SideControls& music = controls(Side::Music);
    SideControls& movies = controls(Side::Movies);

    // Created back to front.
    // 22 and 29 names: the drop-down shows them, no suggestions need cover the buttons below.
    movies.target = pickList(c, QStringLiteral("Combo1"), QStringLiteral("Select a movie"),
                             twipsRect(4200, 720, 3735, 315), ovra::look::Suggestions::None);
    movies.transform = button(c, QStringLiteral("Command3"), QStringLiteral("Transform it!"),
                              twipsRect(4200, 2520, 3735, 615));
    movies.select = button(c, QStringLiteral("Command2"), QStringLiteral("Select a movie"),
                           twipsRect(4200, 1320, 3735, 375));
    music.select = button(c, QStringLiteral("Command1"), QStringLiteral("Select a song"),
                          twipsRect(120, 1320, 3855, 375));
    restoreBar_ = new ovra::ProgressBar(c);
    ovra::look::place(restoreBar_, QStringLiteral("ProgressBar1"), twipsRect(120, 3240, 7815, 255));
    auto* statusBar1 = new ovra::ClockStatusBar(c, QStringLiteral("Ovra3MediaEd - by deckhand"));
    statusBar1->setGeometry(twipsRect(0, 7500, 8055, 255));
    music.transform = button(c, QStringLiteral("cmdTransform"), QStringLiteral("Transform it!"),
                             twipsRect(120, 2520, 3855, 615));
    music.target = pickList(c, QStringLiteral("cboReplace"), QStringLiteral("Select a song"),
                            twipsRect(120, 720, 3855, 315), ovra::look::Suggestions::None);
    label(c, QStringLiteral("Label8"), QStringLiteral("Preview Movie"),
          twipsRect(4200, 3600, 2535, 255));
    movies.preview = preview(c, QStringLiteral("MediaPlayer2"), twipsRect(4200, 3960, 3735, 3375));
    movies.preview->setExpectsPicture(true);
    label(c, QStringLiteral("Label7"), QStringLiteral("Movie Editor"),
          twipsRect(5160, 120, 2055, 375), 13.5, true);
    label(c, QStringLiteral("Label6"), QStringLiteral("Music Editor"),
          twipsRect(1080, 120, 2055, 375), 13.5, true);
    ovra::look::line(c, QStringLiteral("Line1"), 4080, 3120, 4080, 120);
    label(c, QStringLiteral("Label5"), QStringLiteral("Preview Music"),
          twipsRect(120, 3600, 2535, 255));
    music.preview = preview(c, QStringLiteral("MediaPlayer1"), twipsRect(120, 3960, 3855, 3375));
    movies.chosen = label(c, QStringLiteral("Label4"), QString(), twipsRect(4200, 1800, 3975, 615));
    label(c, QStringLiteral("Label3"), QStringLiteral("Replace"), twipsRect(4200, 480, 1695, 255));
    label(c, QStringLiteral("Label2"), QStringLiteral("With"), twipsRect(4200, 1080, 2055, 255));
    music.chosen = label(c, QStringLiteral("Label1"), QString(), twipsRect(120, 1800, 3975, 615));
    label(c, QStringLiteral("lblWith"), QStringLiteral("With"), twipsRect(120, 1080, 2055, 255));
    label(c, QStringLiteral("lblReplace"), QStringLiteral("Replace"),
          twipsRect(120, 480, 1695, 255));

    QWidget* order[] = {music.target,     music.transform, music.select,  movies.select,
                        movies.transform, movies.target,   music.preview, movies.preview};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (Side side : {Side::Music, Side::Movies}) {
        connect(controls(side).select, &QPushButton::clicked, this, [this, side] { select(side); });
        connect(controls(side).transform, &QPushButton::clicked, this,
                [this, side] { transform(side); });
    }
}

void FrmOvra3MedEd::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(ovra::look::font());
    ovra::look::addMenu(
        bar, QStringLiteral("mnuFile"), QStringLiteral("&File"),
        {{QStringLiteral("mnuDirectory"), QStringLiteral("Directory Info"),
          [this] {
              ovra::look::showSingle(directoryInfo_, [this] {
                  return ovra::createDirectoryInfo(ovra::DirectoryInfoCopy::MediaEditor,
                                                   programDir_, kProgramTitle);
              });
          }},
         {QStringLiteral("mnuRestore"), QStringLiteral("Restore Original Music"),
          [this] { restore(Side::Music); }},
         {QStringLiteral("mnuRestoreMovies"), QStringLiteral("Restore Original Movies"),
          [this] { restore(Side::Movies); }},
         // Straight out of the event loop: no window gets a close event, so nothing is hidden
         // or saved on the way.
         {QStringLiteral("mnuExit"), QStringLiteral("Exit"), [] { QCoreApplication::exit(0); }}});
    ovra::look::addMenu(
        bar, QStringLiteral("mnuHelp"), QStringLiteral("Help"),
        {{QStringLiteral("mnuAbout"), QStringLiteral("About"),
          [this] {
              ovra::look::showSingle(about_,
                                     [] { return ovra::look::buildInfoWindow(aboutWindow()); });
          }},
         {QStringLiteral("mnuInstructions"), QStringLiteral("Instructions"), [this] {
              ovra::look::showSingle(
                  instructions_, [] { return ovra::look::buildInfoWindow(instructionsWindow()); });
          }}});
}

void FrmOvra3MedEd::startUp() {
    // The catalogue window first (creating it loads the catalogue), then against our edge.
    soundtrack_->show();
    dock();
    for (Side side : {Side::Music, Side::Movies})
        controls(side).filter = sideTable(side).filter;
    const MediaCore::Loaded loaded = core_.load();
    // The names found before a failure stay offered.
    for (Side side : {Side::Music, Side::Movies})
        ovra::look::fillPickList(controls(side).target, loaded.offered[std::size_t(side)]);
    if (!loaded.ok)
        ovra::showInstallationError(this, kProgramTitle);
}

void FrmOvra3MedEd::dock() {
    const QScreen* where = screen();
    const QRect available = where ? where->availableGeometry() : QRect();
    if (!placed_) {
        // Still being placed: where neither edge has room, the pair is set side by side.
        const QRect frame = frameGeometry();
        const QPoint place = mainWindowPlace(frame, soundtrack_->window()->size(), available);
        if (place != frame.topLeft())
            move(pos() + (place - frame.topLeft()));
    }
    soundtrack_->dock(frameGeometry(), available);
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
        // After this event has been handled, when the platform window knows its frame (and the
        // window system has put the window where it wanted). From then on the main window
        // stays where the user puts it.
        QMetaObject::invokeMethod(
            this,
            [this] {
                dock();
                placed_ = true;
            },
            Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmOvra3MedEd::closeEvent(QCloseEvent* event) {
    // Hidden, not closed: the catalogue window's own closing step does not run here.
    soundtrack_->hide();
    event->accept();
}

void FrmOvra3MedEd::select(Side side) {
    SideControls& c = controls(side);
    // A cancelled dialog keeps the previous name, which is shown and played again.
    if (const std::optional<QString> chosen = ovra::dialogs().openFile(this, c.filter, c.choice))
        c.choice = *chosen;
    c.chosen->setText(c.choice);
    c.preview->setFile(c.chosen->text());
}

void FrmOvra3MedEd::transform(Side side) {
    const SideControls& c = controls(side);
    if (const ovra::CopyResult done =
            core_.replace(side, c.chosen->text(), c.target->currentText());
        !done) {
        ovra::showInstallationError(this, kProgramTitle);
        return;
    }
    if (side != Side::Music)
        return;
    ovra::look::showSingle(songInfo_, [this] {
        auto* dialog = new FrmSongInfo;
        connect(dialog, &FrmSongInfo::accepted, this, &FrmOvra3MedEd::nameSong);
        return dialog;
    });
}

void FrmOvra3MedEd::nameSong(const QString& caption) {
    // The selection counts as it stands now, not as it stood when the file was replaced.
    soundtrack_->nameSlot(slotOfStockFile(controls(Side::Music).target->currentText()), caption);
}

void FrmOvra3MedEd::restore(Side side) {
    // The loop runs on this thread, so the bar is repainted at once at every step; letting
    // events in instead would let other commands run in the middle of a restore.
    const ovra::RestoreResult result = core_.restore(side, [this](int done, int total) {
        restoreBar_->setExact(100, restoreProgress(done - 1, total - 1));
    });
    if (side == Side::Music) {
        // The files copied back hold their stock tracks again, whatever a slot said of them.
        // The file is the slot's whatever the letter case of its name on disk.
        QList<int> stock;
        for (const QString& name : core_.list(side).names().mid(0, result.restored))
            if (const int slot = slotOfStockFile(name, Qt::CaseInsensitive); slot >= 0)
                stock << slot;
        soundtrack_->showStock(stock);
    }
    if (!result.ok)
        ovra::showInstallationError(this, kProgramTitle);
}

} // namespace mediaed
