// The real message box behind the installation error: caption, text, one OK, no icon.
#include "dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestMessageBox : public QObject {
    Q_OBJECT

private slots:
    void realBox() {
        ovra::setDialogs(nullptr);
        QMessageBox* seen = nullptr;
        QString caption, text;
        int buttons = -1;
        QMessageBox::Icon icon = QMessageBox::Critical;
        // The box is modal: inspect it from the event loop it runs, then press OK.
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(seen);
            caption = seen->windowTitle();
            text = seen->text();
            buttons = int(seen->buttons().size());
            icon = seen->icon();
            QTest::mouseClick(seen->button(QMessageBox::Ok), Qt::LeftButton);
        });
        ovra::showInstallationError(nullptr, "Ovra3MediaEd");
        QVERIFY(seen);
        QCOMPARE(caption, QString("Ovra3MediaEd"));
        QCOMPARE(text, ovra::kInstallationError);
        QCOMPARE(buttons, 1);
        QCOMPARE(icon, QMessageBox::NoIcon);
    }
};

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
