#include "cli/report.h"

#include "installation/logging.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>

namespace cli {

namespace {

constexpr std::array kTrickStates{TrickState::Stock, TrickState::Holds, TrickState::Changed,
                                  TrickState::Missing};
constexpr std::array kMediaStates{MediaState::Stock, MediaState::Replaced, MediaState::Missing};

template <class Entries, class State> int count(const Entries& entries, State state) {
    return int(std::count_if(entries.begin(), entries.end(),
                             [state](const auto& e) { return e.state == state; }));
}

struct MediaKind {
    const char* key; // in JSON and the summary
    const char* heading;
    const QList<MediaEntry>& entries;
};

std::array<MediaKind, 2> mediaKinds(const Inventory& inventory) {
    return {MediaKind{"music", "Music", inventory.music},
            MediaKind{"movies", "Movies", inventory.movies}};
}

QString trickLine(const Inventory& inventory, const TrickEntry& e, qsizetype width) {
    QString line =
        QStringLiteral("%1  %2  ").arg(e.position, 5).arg(ovra::printable(e.name), -int(width));
    if (e.state != TrickState::Holds)
        return line + stateName(e.state);
    return line + QStringLiteral("holds CD trick %1 (%2)")
                      .arg(e.holds)
                      .arg(ovra::printable(inventory.tricks.value(e.holds).name));
}

} // namespace

QString stateName(TrickState state) {
    switch (state) {
    case TrickState::Stock:
        return QStringLiteral("stock");
    case TrickState::Holds:
        return QStringLiteral("holds");
    case TrickState::Changed:
        return QStringLiteral("changed");
    case TrickState::Missing:
        break;
    }
    return QStringLiteral("missing");
}

QString stateName(MediaState state) {
    switch (state) {
    case MediaState::Stock:
        return QStringLiteral("stock");
    case MediaState::Replaced:
        return QStringLiteral("replaced");
    case MediaState::Missing:
        break;
    }
    return QStringLiteral("missing");
}

bool allStock(const Inventory& inventory) {
    return count(inventory.tricks, TrickState::Stock) == inventory.tricks.size() &&
           count(inventory.music, MediaState::Stock) == inventory.music.size() &&
           count(inventory.movies, MediaState::Stock) == inventory.movies.size();
}

QString textReport(const Inventory& inventory, bool differencesOnly) {
    QString text;
    qsizetype width = 0;
    for (const TrickEntry& e : inventory.tricks)
        width = std::max(width, ovra::printable(e.name).size());
    for (const MediaKind& kind : mediaKinds(inventory))
        for (const MediaEntry& e : kind.entries)
            width = std::max(width, ovra::printable(e.name).size());

    QString lines;
    for (const TrickEntry& e : inventory.tricks)
        if (!differencesOnly || e.state != TrickState::Stock)
            lines += trickLine(inventory, e, width) + u'\n';
    if (!lines.isEmpty())
        text += QStringLiteral("Tricks\n") + lines;
    for (const MediaKind& kind : mediaKinds(inventory)) {
        lines.clear();
        for (const MediaEntry& e : kind.entries)
            if (!differencesOnly || e.state != MediaState::Stock)
                lines += QStringLiteral("%1  %2  %3\n")
                             .arg(QString(), 5)
                             .arg(ovra::printable(e.name), -int(width))
                             .arg(stateName(e.state));
        if (!lines.isEmpty())
            text += QLatin1String(kind.heading) + u'\n' + lines;
    }
    return text + summaryLine(inventory) + u'\n';
}

QString summaryLine(const Inventory& inventory) {
    const auto& t = inventory.tricks;
    QString line = QStringLiteral("Summary: tricks %1 stock, %2 holding other CD tricks, "
                                  "%3 changed, %4 missing")
                       .arg(count(t, TrickState::Stock))
                       .arg(count(t, TrickState::Holds))
                       .arg(count(t, TrickState::Changed))
                       .arg(count(t, TrickState::Missing));
    for (const MediaKind& kind : mediaKinds(inventory))
        line += QStringLiteral("; %1 %2 stock, %3 replaced, %4 missing")
                    .arg(QLatin1String(kind.key))
                    .arg(count(kind.entries, MediaState::Stock))
                    .arg(count(kind.entries, MediaState::Replaced))
                    .arg(count(kind.entries, MediaState::Missing));
    return line;
}

QByteArray jsonReport(const Inventory& inventory) {
    QJsonObject summary;
    QJsonArray tricks;
    QJsonObject trickCounts;
    for (const TrickEntry& e : inventory.tricks) {
        QJsonObject o{{"position", e.position}, {"name", e.name}, {"state", stateName(e.state)}};
        if (e.state == TrickState::Holds) {
            o.insert("holds", e.holds);
            o.insert("holdsName", inventory.tricks.value(e.holds).name);
        }
        tricks.push_back(o);
    }
    for (const TrickState state : kTrickStates)
        trickCounts.insert(stateName(state), count(inventory.tricks, state));
    summary.insert("tricks", trickCounts);

    QJsonObject document{{"format", 1},
                         {"game", inventory.gameDirectory},
                         {"cd", inventory.cdDrive},
                         {"tricks", tricks}};
    for (const MediaKind& kind : mediaKinds(inventory)) {
        QJsonArray entries;
        for (const MediaEntry& e : kind.entries)
            entries.push_back(QJsonObject{{"name", e.name}, {"state", stateName(e.state)}});
        QJsonObject counts;
        for (const MediaState state : kMediaStates)
            counts.insert(stateName(state), count(kind.entries, state));
        document.insert(QLatin1String(kind.key), entries);
        summary.insert(QLatin1String(kind.key), counts);
    }
    document.insert("summary", summary);
    return QJsonDocument(document).toJson(QJsonDocument::Indented);
}

} // namespace cli
