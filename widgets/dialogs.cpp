#include "widgets/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

namespace ovra {

Q_LOGGING_CATEGORY(lcWidgets, "ovra.widgets")

const QString kInstallationError = QStringLiteral(
    "There is an error! Is your Ovra3 CD in your CD drive? Is your Ovra3 directory specified "
    "and correct? Is your drive letter specified and correct?");

QString qtFilter(const QString& pipeFilter) {
    const QStringList parts = pipeFilter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // The description is shown; the pattern after the bar is what matches.
        QString description = parts[i];
        const QString pattern = parts[i + 1];
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0)
            description.truncate(open);
        filters << description.trimmed() + QStringLiteral(" (") +
                       QString(pattern).replace(u';', u' ') + u')';
    }
    return filters.join(QStringLiteral(";;"));
}

QMessageBox* createMessageBox(QWidget* parent, const QString& caption, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("messageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    // A file named "<img width=2000000000 ...>.tcg" would otherwise be read as markup.
    box->setTextFormat(Qt::PlainText);
    return box;
}

QMessageBox* createQuestionBox(QWidget* parent, const QString& caption, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Question, caption, text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    box->setObjectName(QStringLiteral("questionBox"));
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setDefaultButton(QMessageBox::No);
    box->setTextFormat(Qt::PlainText);
    return box;
}

namespace {

class RealDialogs final : public Dialogs {
public:
    void message(QWidget* parent, const QString& caption, const QString& text) override {
        std::unique_ptr<QMessageBox> box(createMessageBox(parent, caption, text));
        box->exec();
    }

    bool question(QWidget* parent, const QString& caption, const QString& text) override {
        std::unique_ptr<QMessageBox> box(createQuestionBox(parent, caption, text));
        return box->exec() == QMessageBox::Yes;
    }

    std::optional<QString> openFile(QWidget* parent, const QString& filter,
                                    const QString& previous) override {
        const QString name =
            QFileDialog::getOpenFileName(parent, QString(), previous, qtFilter(filter));
        if (name.isEmpty())
            return std::nullopt;
        return name;
    }

    std::optional<QString> saveFile(QWidget* parent, const QString& filter,
                                    const QString& previous) override {
        const QString name =
            QFileDialog::getSaveFileName(parent, QString(), previous, qtFilter(filter));
        if (name.isEmpty())
            return std::nullopt;
        return name;
    }
};

RealDialogs realDialogs;
Dialogs* current = nullptr;

} // namespace

Dialogs& dialogs() {
    return current ? *current : realDialogs;
}

void setDialogs(Dialogs* replacement) {
    current = replacement;
}

void showInstallationError(QWidget* parent, const QString& programTitle) {
    dialogs().message(parent, programTitle, kInstallationError);
}

} // namespace ovra
