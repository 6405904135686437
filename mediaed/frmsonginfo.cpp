#include "mediaed/frmsonginfo.h"

#include "mediaed/catalogue.h"
#include "widgets/winlook.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace mediaed {

namespace {

QPlainTextEdit* entry(QWidget* parent, const QString& objectName, QRect geometry) {
    auto* edit = new QPlainTextEdit(parent);
    ovra::look::place(edit, objectName, geometry);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    edit->setPalette(pal);
    // Tab moves on to the next control, as in the rest of the dialog; Enter still starts a
    // new line, since a name may span several.
    edit->setTabChangesFocus(true);
    return edit;
}

// The text exactly as typed: toPlainText() would turn non-breaking spaces into blanks.
QString wholeText(const QPlainTextEdit* edit) {
    QString text = edit->document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    return text;
}

} // namespace

FrmSongInfo::FrmSongInfo(QWidget* parent) : QWidget(parent) {
    using namespace ovra::look;
    setupFixedWindow(this, QStringLiteral("frmSongInfo"), QStringLiteral("Song Info"), 4680, 3195);

    songNameBox_ = entry(this, QStringLiteral("RichTextBox1"), twipsRect(240, 720, 4215, 615));
    okButton_ = new QPushButton(QStringLiteral("OK"), this);
    place(okButton_, QStringLiteral("Command1"), twipsRect(1560, 2760, 1575, 375));
    // Enter on the focused button presses it, as in a dialog.
    okButton_->setAutoDefault(true);
    okButton_->setDefault(true);
    artistBox_ = entry(this, QStringLiteral("RichTextBox2"), twipsRect(240, 1920, 4215, 615));
    label(this, QStringLiteral("Label2"), QStringLiteral("Artist"), twipsRect(120, 1440, 1575, 375),
          12.0);
    label(this, QStringLiteral("Label1"), QStringLiteral("Song Name"),
          twipsRect(120, 240, 1575, 375), 12.0);

    setTabOrder(okButton_, songNameBox_);
    setTabOrder(songNameBox_, artistBox_);
    okButton_->setFocus();

    connect(okButton_, &QPushButton::clicked, this, &FrmSongInfo::ok);
}

void FrmSongInfo::ok() {
    emit accepted(songCaption(wholeText(songNameBox_), wholeText(artistBox_)));
    close();
}

} // namespace mediaed
