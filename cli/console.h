#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTextStream>

// Standard output for results, standard error for errors, and a single updating progress line
// on standard error while a long command runs, only when standard error is a terminal.
namespace cli {

class Console {
public:
    Console();

    QTextStream& out() { return out_; }
    // One line on standard error: "ovra3: <text>".
    void error(const QString& text);
    void warning(const QString& text);
    // Replaces the progress line, a few times a second at most (the last step always shows).
    void progress(const QString& label, int done, int total);
    // Removes the progress line.
    void endProgress();

private:
    void say(const QString& line);

    QTextStream out_;
    QTextStream err_;
    bool showProgress_;
    bool progressShown_ = false;
    QElapsedTimer sinceShown_;
};

} // namespace cli
