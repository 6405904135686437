#pragma once

#include <QListWidget>

namespace ovra {

// A directory list: the open directory's ancestors from the root down and its subfolders, each
// level indented one step more. A double click (or Enter) opens the entry under it; a single
// click only highlights. The value is the open directory, never a merely highlighted entry.
class DirListBox : public QListWidget {
    Q_OBJECT
public:
    // Starts at the current directory.
    explicit DirListBox(QWidget* parent = nullptr);

    // The open directory: full path in the platform's notation, no trailing separator except
    // at a root.
    QString path() const { return path_; }

    // Opens a directory (a drive's root value such as "/media/cdrom/" too). False, and nothing
    // changes, when it is not a directory that can be listed.
    bool setPath(const QString& path);

signals:
    // The user tried to open an entry that cannot be listed (gone, no permission).
    void openFailed(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEntry(QListWidgetItem* item);
    void fill();

    QIcon openIcon_;
    QIcon closedIcon_;
    QString path_;
};

} // namespace ovra
