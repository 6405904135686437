#include "cli/console.h"

#include "installation/logging.h"

#include <cstdio>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#include <windows.h>
#endif

namespace cli {

namespace {

bool stderrIsTerminal() {
#if defined(Q_OS_UNIX)
    return ::isatty(STDERR_FILENO) == 1;
#elif defined(Q_OS_WIN)
    // Our text is UTF-8 whatever code page the console was opened with.
    SetConsoleOutputCP(CP_UTF8);
    // The progress line redraws itself with terminal sequences, which a console understands
    // only once asked to.
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return _isatty(_fileno(stderr)) && GetConsoleMode(console, &mode) &&
           SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
#else
    return false; // no progress line: output stays clean where it cannot be told
#endif
}

} // namespace

Console::Console() : out_(stdout), err_(stderr), showProgress_(stderrIsTerminal()) {}

void Console::say(const QString& line) {
    endProgress();
    out_.flush();
    // Messages name files and folders from strangers: nothing in them may drive the terminal.
    err_ << "ovra3: " << ovra::printable(line) << '\n';
    err_.flush();
}

void Console::error(const QString& text) {
    say(QStringLiteral("error: ") + text);
}

void Console::warning(const QString& text) {
    say(QStringLiteral("warning: ") + text);
}

void Console::progress(const QString& label, int done, int total) {
    if (!showProgress_)
        return;
    if (progressShown_ && done < total && sinceShown_.isValid() && sinceShown_.elapsed() < 100)
        return;
    sinceShown_.start();
    progressShown_ = true;
    err_ << '\r' << label << ": " << done << '/' << total << "\x1b[K";
    err_.flush();
}

void Console::endProgress() {
    if (!progressShown_)
        return;
    progressShown_ = false;
    err_ << "\r\x1b[K";
    err_.flush();
}

} // namespace cli
