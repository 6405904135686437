#include "cli/setuppack.h"

#include "installation/logging.h"
#include "installation/paths.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace cli {

namespace {

constexpr qsizetype kMaxCaptionLength = 255;

const std::pair<PackKind, const char*> kKinds[] = {
    {PackKind::Tricks, "tricks"}, {PackKind::Music, "music"}, {PackKind::Movies, "movies"}};

ovra::Failure refused(const QString& why) {
    return ovra::failed(QStringLiteral("the manifest %1").arg(why));
}

bool isHash(const QString& text) {
    if (text.size() != 64)
        return false;
    for (const QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

bool hasControl(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

} // namespace

QString kindWord(PackKind kind) {
    for (const auto& [k, word] : kKinds)
        if (k == kind)
            return QLatin1String(word);
    return {};
}

QString memberPath(const PackMember& member) {
    return kindWord(member.kind) + u'/' + member.name;
}

QByteArray manifestJson(const PackManifest& manifest) {
    QJsonArray members;
    for (const PackMember& m : manifest.members)
        members.append(QJsonObject{{QStringLiteral("kind"), kindWord(m.kind)},
                                   {QStringLiteral("name"), m.name},
                                   {QStringLiteral("size"), double(m.size)},
                                   {QStringLiteral("sha256"), QString::fromLatin1(m.sha256)}});
    QJsonObject o{{QStringLiteral("format"), manifest.format},
                  {QStringLiteral("program"), manifest.program},
                  {QStringLiteral("members"), members}};
    if (!manifest.captions.isEmpty())
        o.insert(QStringLiteral("captions"), QJsonArray::fromStringList(manifest.captions));
    return QJsonDocument(o).toJson();
}

ovra::Result<PackManifest> readManifest(const QByteArray& json) {
    if (json.size() > kMaxManifestSize)
        return refused(QStringLiteral("is larger than %1 bytes").arg(kMaxManifestSize));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return refused(QStringLiteral("is not JSON (%1 at byte %2)")
                           .arg(error.errorString())
                           .arg(error.offset));
    if (!document.isObject())
        return refused(QStringLiteral("is not a JSON object"));
    const QJsonObject o = document.object();

    PackManifest manifest;
    const QJsonValue format = o.value(QStringLiteral("format"));
    if (!format.isDouble() || format.toDouble() != format.toInt())
        return refused(QStringLiteral("has no format version"));
    if (format.toInt() != kPackFormat)
        return refused(QStringLiteral("has format %1; this version reads format %2 (a newer "
                                      "version of ovra3 may read it)")
                           .arg(format.toInt())
                           .arg(kPackFormat));
    const QJsonValue program = o.value(QStringLiteral("program"));
    if (!program.isString())
        return refused(QStringLiteral("does not say which program wrote it"));
    manifest.program = program.toString();

    const QJsonValue captions = o.value(QStringLiteral("captions"));
    if (!captions.isUndefined()) {
        const QJsonArray list = captions.toArray();
        if (!captions.isArray() || list.size() != kPackSlots)
            return refused(QStringLiteral("has captions that are not %1 texts").arg(kPackSlots));
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString caption = list.at(i).toString();
            if (!list.at(i).isString() || caption.size() > kMaxCaptionLength || hasControl(caption))
                return refused(QStringLiteral("has a caption for slot %1 that is not one line of "
                                              "at most %2 characters")
                                   .arg(i + 1)
                                   .arg(kMaxCaptionLength));
            manifest.captions << caption;
        }
    }

    const QJsonValue members = o.value(QStringLiteral("members"));
    if (!members.isArray())
        return refused(QStringLiteral("has no list of members"));
    const QJsonArray list = members.toArray();
    if (list.size() > kMaxPackMembers)
        return refused(
            QStringLiteral("lists %1 members, more than %2").arg(list.size()).arg(kMaxPackMembers));
    QSet<QString> seen;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject m = list.at(i).toObject();
        const QString name = m.value(QStringLiteral("name")).toString();
        const QString what = name.isEmpty()
                                 ? QStringLiteral("member %1").arg(i + 1)
                                 : QStringLiteral("member \"%1\"").arg(ovra::printable(name));
        const auto bad = [&](const QString& why) { return refused(what + u' ' + why); };
        if (!list.at(i).isObject())
            return bad(QStringLiteral("is not a JSON object"));
        PackMember member;
        const QString kind = m.value(QStringLiteral("kind")).toString();
        bool known = false;
        for (const auto& [k, word] : kKinds)
            if (kind == QLatin1String(word)) {
                member.kind = k;
                known = true;
            }
        if (!known)
            return bad(QStringLiteral("is not of the kind tricks, music or movies"));
        if (!ovra::paths::isPlainFileName(name))
            return bad(QStringLiteral("has a name that is no plain file name a Windows folder can "
                                      "hold"));
        member.name = name;
        if (member.kind == PackKind::Tricks &&
            !name.endsWith(QLatin1String(".tcg"), Qt::CaseInsensitive))
            return bad(QStringLiteral("is of the kind tricks but is no Trick Config (.tcg)"));
        const QJsonValue size = m.value(QStringLiteral("size"));
        const double bytes = size.toDouble(-1);
        if (!size.isDouble() || bytes < 0 || bytes > double(kMaxPackMemberSize) ||
            bytes != double(qint64(bytes)))
            return bad(
                QStringLiteral("has no size, or a size over %1 bytes").arg(kMaxPackMemberSize));
        member.size = qint64(bytes);
        const QString hash = m.value(QStringLiteral("sha256")).toString();
        if (!isHash(hash))
            return bad(QStringLiteral("has no SHA-256 (64 hexadecimal digits in lower case)"));
        member.sha256 = hash.toLatin1();
        // Windows folders, and the installed folders matched without regard to case, hold one
        // file for both spellings; every pack holds one Trick Config at most.
        const QString key = member.kind == PackKind::Tricks ? QStringLiteral("tricks")
                                                            : memberPath(member).toCaseFolded();
        if (seen.contains(key))
            return bad(member.kind == PackKind::Tricks
                           ? QStringLiteral("is a second Trick Config")
                           : QStringLiteral("is listed twice (letter case aside)"));
        seen.insert(key);
        manifest.members << member;
    }
    return manifest;
}

} // namespace cli
