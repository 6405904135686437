#pragma once

#include "widgets/dialogs.h"

#include <QQueue>
#include <QStringList>

// A scripted stand-in for the program's message boxes and file dialogs: it records every
// message, and answers file dialogs from a queue (an empty optional means "cancelled").
class ScriptedDialogs : public ovra::Dialogs {
public:
    struct Message {
        QString caption;
        QString text;
    };

    ScriptedDialogs() { ovra::setDialogs(this); }
    ~ScriptedDialogs() override { ovra::setDialogs(nullptr); }

    void message(QWidget*, const QString& caption, const QString& text) override {
        messages.push_back({caption, text});
    }
    bool question(QWidget*, const QString& caption, const QString& text) override {
        questions.push_back({caption, text});
        return !yesNo.isEmpty() && yesNo.dequeue();
    }
    std::optional<QString> openFile(QWidget*, const QString& filter,
                                    const QString& previous) override {
        filters << filter;
        previousNames << previous;
        return next();
    }
    std::optional<QString> saveFile(QWidget*, const QString& filter,
                                    const QString& previous) override {
        filters << filter;
        previousNames << previous;
        return next();
    }

    void answer(const QString& fileName) { answers.enqueue(fileName); }
    void cancel() { answers.enqueue(std::nullopt); }
    int count(const QString& text) const {
        int n = 0;
        for (const auto& m : messages)
            n += m.text == text;
        return n;
    }
    int installationErrors() const { return count(ovra::kInstallationError); }

    QVector<Message> messages;
    QVector<Message> questions;
    QQueue<bool> yesNo; // answers to questions, in order; No once it runs out
    QStringList filters;
    QStringList previousNames;
    QQueue<std::optional<QString>> answers;

private:
    std::optional<QString> next() { return answers.isEmpty() ? std::nullopt : answers.dequeue(); }
};
