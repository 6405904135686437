#pragma once

#include <QString>
#include <functional>

// The one loop over a directory's entries, for every listing of the installation layer: names
// as the system gives them, each entry looked at no further than a caller asks.
namespace ovra::detail {

class DirEntry {
public:
    struct Data; // what the platform's listing gives for one entry

    explicit DirEntry(const Data& data) : d_(data) {}
    // The name as UTF-8, or its bytes read as Latin-1 where they are not UTF-8.
    const QString& name() const;
    // The name is UTF-8 (always where names are text, as on Windows).
    bool decodes() const;
    // A leading dot; the hidden attribute on Windows.
    bool hidden() const;
    // A symbolic link (or a junction), or an entry whose type the listing does not tell.
    bool mayBeLink() const;
    // A regular file or a link to one; looks at the entry only when the listing did not tell.
    bool isRegular() const;
    // Where a link leads, without links; empty when it leads nowhere.
    QString target() const;

private:
    const Data& d_;
};

// Calls `each` for every entry of the directory `host` but "." and "..", in the order the file
// system gives them. False when the directory cannot be opened or read to its end.
bool forEachEntry(const QString& host, const std::function<void(const DirEntry&)>& each);

} // namespace ovra::detail
